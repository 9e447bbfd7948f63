#!/usr/bin/env bash
# Renders the icon's PNG (48 px, for the hicolor theme) and the Windows
# installer's .ico from the SVG. The results are kept in the repository, so a
# build needs neither renderer; run this again after changing the drawing.
# Needs rsvg-convert (librsvg2-bin) and, for the .ico, ImageMagick's convert.
set -euo pipefail
cd "$(dirname "$0")"
svg=com.example.PoreskeGrupe.svg
rsvg-convert -w 48 -h 48 "$svg" -o com.example.PoreskeGrupe-48.png
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for size in 16 32 48 256; do
  rsvg-convert -w "$size" -h "$size" "$svg" -o "$tmp/$size.png"
done
convert "$tmp"/16.png "$tmp"/32.png "$tmp"/48.png "$tmp"/256.png ../windows/poreske-grupe.ico
