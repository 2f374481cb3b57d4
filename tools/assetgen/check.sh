#!/usr/bin/env bash
# Checks that the committed assets are exactly what the generator makes.
#
#   tools/assetgen/check.sh               regenerate into a temporary folder and compare
#                                         every file byte for byte (about two minutes)
#   tools/assetgen/check.sh --sums        only compare the committed files with SHA256SUMS
#   tools/assetgen/check.sh --update-sums record the committed files' checksums in SHA256SUMS
#
# The comparison holds on one machine; other versions of numpy, Pillow,
# ImageMagick or lame may round differently and give other bytes.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
sums="$here/SHA256SUMS"

# The files the generator owns, relative to assets/.
list_generated() {
  (cd "$1" && find icons models sounds textures tutorial -type f | LC_ALL=C sort)
}

case "${1:-}" in
  --update-sums)
    (cd "$root/assets" && list_generated . | xargs sha256sum) > "$sums"
    echo "recorded $(wc -l < "$sums") checksums in $sums"
    exit 0 ;;
  --sums)
    (cd "$root/assets" && sha256sum --quiet -c "$sums") && echo "committed assets match SHA256SUMS"
    exit 0 ;;
  "") ;;
  *) echo "usage: $0 [--sums | --update-sums]" >&2; exit 2 ;;
esac

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
python3 "$here/generate.py" --out "$tmp"
status=0
for f in $(list_generated "$tmp"); do
  if ! cmp -s "$tmp/$f" "$root/assets/$f"; then
    echo "differs from a fresh run: assets/$f"
    status=1
  fi
done
if [ "$(list_generated "$tmp")" != "$(list_generated "$root/assets")" ]; then
  echo "the committed asset list differs from what the generator makes"
  status=1
fi
(cd "$root/assets" && sha256sum --quiet -c "$sums") || status=1
if [ $status -eq 0 ]; then
  echo "every generated asset matches the committed file"
fi
exit $status
