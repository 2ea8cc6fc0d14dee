#!/usr/bin/env bash
# Seed corpora for the fuzz targets, made from the repo's generated assets:
# each asset whole, cut short, and (for the song) its first frames alone.
#   tests/fuzz/make-seeds.sh OUTDIR
set -euo pipefail
cd "$(dirname "$0")/../.."
out=$1
rm -rf "$out" && mkdir -p "$out"/{song_fuzz,font_fuzz,logo_fuzz}
a=assets

if [ -f $a/ZEB_27.DMP ]; then
  cp $a/ZEB_27.DMP "$out/song_fuzz/whole"
  head -c 200 $a/ZEB_27.DMP >"$out/song_fuzz/start"
  head -c 33 $a/ZEB_27.DMP >"$out/song_fuzz/one-byte-past-header"
fi
printf 'YMDX%028d' 0 >"$out/song_fuzz/header-only"
head -c 42 /dev/zero >"$out/song_fuzz/raw-three-frames"

# The font target splits its input: two bytes of table length, the table, then the glyphs.
if [ -f $a/FNT1616.FTB ] && [ -f $a/FNT1616.GFX ]; then
  { printf '\x02\x00'; cat $a/FNT1616.FTB $a/FNT1616.GFX; } >"$out/font_fuzz/whole"
  { printf '\x02\x00'; cat $a/FNT1616.FTB; head -c 320 $a/FNT1616.GFX; } >"$out/font_fuzz/short-glyphs"
fi

if [ -f $a/quillmoor_cut2_632x246x8.bmp ]; then
  cp $a/quillmoor_cut2_632x246x8.bmp "$out/logo_fuzz/whole"
  head -c 80000 $a/quillmoor_cut2_632x246x8.bmp >"$out/logo_fuzz/half"
fi
head -c 1078 /dev/zero >"$out/logo_fuzz/header-only"
