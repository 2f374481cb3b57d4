#!/usr/bin/env bash
# The bad-input matrix: every file the game reads, broken in every way we
# know (missing, a directory, empty, cut short, random bytes, another format,
# absurd header values), one headless run each. Each run must end as the
# game promises for that file, and the outcomes must match the committed
# table in docs/bad-inputs.md (see its header to regenerate it).
source "$(dirname "$0")/lib.sh"

python=/usr/bin/python3
[ -x "$python" ] || python=python3
"$python" "$SOURCE_DIR/tests/process/badinputs/matrix.py" --binary "$VELTRA" --source "$SOURCE_DIR" \
    --check "$SOURCE_DIR/docs/bad-inputs.md" >"$WORK/matrix.log" 2>&1
status=$?
tail -n 5 "$WORK/matrix.log"
[ "$status" -eq 0 ] || fail "bad-input matrix: $(grep -c '^FAIL' "$WORK/matrix.log") failures
$(grep -A 20 '^FAIL' "$WORK/matrix.log" | head -n 200)"
echo "PASS"
