#!/usr/bin/env bash
# Renders the program's icon, packaging/icons/wordlark.svg, into the PNG sizes that the desktop's icon
# theme and the windows use. The PNGs are committed, so building needs no SVG renderer; run this after
# changing the SVG (needs rsvg-convert from librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"

for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" wordlark.svg --output "wordlark-$size.png"
done
