#!/usr/bin/env bash
# Writes a Windows icon file from PNG images of the same picture, one entry
# per image, each stored as PNG (as Windows Vista and later read them).
#   make-ico.sh OUT.ico IMAGE.png...   (square images, 256 pixels at most)
set -euo pipefail
out=$1; shift
le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16 & 65535)); }
png_width() { # bytes 16..19 of a PNG: the width, big-endian
  local hex; hex=$(od -An -tx1 -j16 -N4 "$1" | tr -d ' \n'); echo $((16#$hex))
}
tmp=$out.tmp
{
  le16 0; le16 1; le16 $#                       # reserved, type icon, count
  offset=$((6 + 16 * $#))
  for png in "$@"; do
    width=$(png_width "$png")
    [ "$width" -ge 1 ] && [ "$width" -le 256 ] || { echo "make-ico.sh: $png is $width pixels wide" >&2; exit 1; }
    size=$(stat -c %s "$png")
    byte=$((width == 256 ? 0 : width))
    printf "\\x$(printf %02x $byte)\\x$(printf %02x $byte)\\x00\\x00"   # width, height, palette, reserved
    le16 1; le16 32; le32 "$size"; le32 "$offset"                     # planes, bits, bytes, where
    offset=$((offset + size))
  done
  cat "$@"
} > "$tmp"
mv "$tmp" "$out"
