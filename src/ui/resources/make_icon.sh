#!/usr/bin/env bash
# Draws the program icon (a terminal screen with a prompt and a quill pen) at
# 256 x 256 and scales it to the sizes installed. Run it again after a change
# and commit the PNG files it writes beside it.
set -euo pipefail
cd "$(dirname "$0")"

convert -size 256x256 xc:none \
    -fill '#1f2a44' -draw 'roundrectangle 12,28 243,227 22,22' \
    -fill '#3a4d7a' -draw 'roundrectangle 12,28 243,70 22,22' \
    -draw 'rectangle 12,50 243,70' \
    -fill '#e06c5a' -draw 'circle 38,46 45,46' \
    -fill '#e5c15a' -draw 'circle 62,46 69,46' \
    -fill '#6cc070' -draw 'circle 86,46 93,46' \
    -fill none -stroke '#7ee08a' -strokewidth 14 \
    -draw 'stroke-linecap round stroke-linejoin round polyline 40,104 72,130 40,156' \
    -stroke none -fill '#7ee08a' -draw 'roundrectangle 86,150 134,162 3,3' \
    -fill '#f4f1e8' -stroke '#b8b09a' -strokewidth 3 \
    -draw 'path "M 238,74 C 200,84 160,124 140,194 L 150,196 C 175,154 205,124 238,74 Z"' \
    -stroke none -fill '#b8b09a' -draw 'path "M 140,194 L 133,218 L 150,196 Z"' \
    -depth 8 quillterm-256.png

for size in 16 24 32 48 64 128; do
    convert quillterm-256.png -resize "${size}x${size}" -depth 8 "quillterm-${size}.png"
done
