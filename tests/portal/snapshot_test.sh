#!/usr/bin/env bash
# scripts/portal-snapshot.sh, as scripts/run-portal.sh runs it where no display
# is set: it returns by itself, names the calendar it saw open, and the
# picture it prints is a PNG that holds the whole calendar window.
#   snapshot_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY

fail() {
  echo "FAIL: $*" >&2
  echo "--- snapshot output ---" >&2
  cat "$work/out" >&2 || true
  exit 1
}

status=0
AGENDIA_BUILD_DIR=$build timeout 60 "$here/../../scripts/portal-snapshot.sh" "$work/shot/portal.png" \
  --db "Provider=SQLite;Data Source=$work/VXSystem.db" --create --user demo --lang en-us \
  --day 2024-03-01 >"$work/out" 2>&1 || status=$?
cat "$work/out"
[ "$status" -eq 0 ] || fail "the snapshot ended with status $status"

grep -q '^calendar: "Calendar Memos" (window [0-9]* over the portal'"'"'s [0-9]*)$' "$work/out" ||
  fail "it did not name the English calendar window it saw open"
picture=$(sed -n 's/^picture: \(.*\) ([0-9]*x[0-9]*)$/\1/p' "$work/out")
[ "$picture" = "$work/shot/portal.png" ] || fail "it printed the picture's path as '$picture'"
[ -f "$picture" ] || fail "no picture at $picture"

# A PNG starts with its signature, then the IHDR chunk with the width and the
# height as big-endian 32-bit numbers.
signature=$(head -c 8 "$picture" | od -An -tx1 | tr -d ' \n')
[ "$signature" = 89504e470d0a1a0a ] || fail "the picture is not a PNG (starts with $signature)"
read -r width height < <(od -An -tu1 -j16 -N8 "$picture" |
  awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4, $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }')
size=$(sed -n 's/^picture: .* (\([0-9]*x[0-9]*\))$/\1/p' "$work/out")
[ "${width}x${height}" = "$size" ] || fail "the PNG is ${width}x${height}, the script said $size"
# The calendar window is at least its minimum size of 600x400 or so; the
# picture holds it and the portal beside it.
(( width >= 600 && height >= 400 )) || fail "the picture is only ${width}x${height}"
# A picture of drawn windows with text does not compress to almost nothing
# the way an empty screen does.
bytes=$(stat -c %s "$picture")
(( bytes > 8000 )) || fail "the picture has only $bytes bytes: nothing drawn?"
echo "ok: ${width}x${height}, $bytes bytes"
