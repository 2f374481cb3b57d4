#!/usr/bin/env bash
# Every key in docs/keys.tsv is listed by README.md, the man page, the
# Windows README.txt and the tutorial picture's generator, so a key cannot be
# added in one place and forgotten in another.
source "$(dirname "$0")/lib.sh"

/usr/bin/python3 "$SOURCE_DIR/tools/check-key-lists.py" "$SOURCE_DIR" >"$WORK/keys.log" 2>&1 ||
    fail "a key list lacks keys: $(grep lacks "$WORK/keys.log" | tr '\n' ' ')"
echo "PASS"
