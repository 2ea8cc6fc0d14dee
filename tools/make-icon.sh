#!/usr/bin/env bash
# Makes the program's icons from the logo asset: its "Q" on black.
#   app/win32/quillmoor.ico             the Windows program's, at 32 x 32 and 16 x 16
#   packaging/icons/quillmoor-N.png     the Linux package's, for the hicolor icon theme
# The icons are committed (no build needs ImageMagick); run this again after
# the logo changes. Needs ImageMagick (Debian: imagemagick).
set -euo pipefail
cd "$(dirname "$0")/.."
# The logo's "Q" is 80 x 172 pixels at (17, 34); centred on a black square.
square=(assets/quillmoor_cut2_632x246x8.bmp -crop 80x172+17+34 +repage
  -background black -gravity center -extent 172x172)
convert "${square[@]}" -define icon:auto-resize=32,16 app/win32/quillmoor.ico
# -strip: no time stamps in the files, so that the same logo makes the same bytes.
for size in 16 32 48 64 128 256; do
  convert "${square[@]}" -resize "${size}x${size}" -strip "packaging/icons/quillmoor-${size}.png"
done
