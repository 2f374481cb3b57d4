#!/usr/bin/env bash
# Fails when a C++ file of the game, its tests, benchmarks or tools differs
# from what clang-format makes of it with .clang-format. --fix rewrites them.
# Usage: tools/check-format.sh [--fix]
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-packages.sh clang-format
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
if ! clang-format --dry-run -Werror "${files[@]}" 2>"${TMPDIR:-/tmp}/veltra-format.txt"; then
  grep -o '^[^:]*\.\(cpp\|h\)' "${TMPDIR:-/tmp}/veltra-format.txt" | sort -u | sed 's/^/differs from .clang-format: /' >&2
  echo "check-format.sh: run tools/check-format.sh --fix" >&2
  exit 1
fi
echo "check-format.sh: ${#files[@]} files match .clang-format"
