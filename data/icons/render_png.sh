#!/bin/sh
# Renders ekoto.svg into the PNG sizes that are installed (needs rsvg-convert
# from librsvg2-bin). Run from anywhere; the PNGs are committed.
set -eu
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
  mkdir -p "$size"
  rsvg-convert -w "$size" -h "$size" ekoto.svg -o "$size/ekoto.png"
done
