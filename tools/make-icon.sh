#!/usr/bin/env bash
# Makes the Windows program's icon, app/win32/quillmoor.ico, from the logo
# asset: its "Q" on black, at 32 x 32 and 16 x 16. The icon is committed (a
# Windows build needs no ImageMagick); run this again after the logo changes.
# Needs ImageMagick (Debian: imagemagick).
set -euo pipefail
cd "$(dirname "$0")/.."
# The logo's "Q" is 80 x 172 pixels at (17, 34); centred on a black square.
convert assets/quillmoor_cut2_632x246x8.bmp -crop 80x172+17+34 +repage \
  -background black -gravity center -extent 172x172 \
  -define icon:auto-resize=32,16 app/win32/quillmoor.ico
