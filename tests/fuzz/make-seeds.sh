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

# Songs at the 512,004-byte cap and past it (the loader keeps the first
# 512,004 bytes): the committed song's frames repeated, and busy raw frames.
cap=512004
if [ -f $a/ZEB_27.DMP ]; then
  { cat $a/ZEB_27.DMP; for _ in $(seq 20); do tail -c +33 $a/ZEB_27.DMP; done; } >"$out/delta-long"
  head -c $cap "$out/delta-long" >"$out/song_fuzz/delta-at-cap"
  head -c $((cap - 1)) "$out/delta-long" >"$out/song_fuzz/delta-one-short-of-cap"
  head -c 600000 "$out/delta-long" >"$out/song_fuzz/delta-past-cap"
  rm "$out/delta-long"
fi
python3 - "$out/song_fuzz" $cap <<'PY'
import sys
folder, cap = sys.argv[1], int(sys.argv[2])
state, song = 1, bytearray()
while len(song) < 600000:
    state = (state * 1664525 + 1013904223) & 0xFFFFFFFF
    frame = bytearray((state >> (8 + i)) & 0xFF for i in range(14))
    frame[7] &= 0x3F                                  # tones and noise on somewhere
    frame[13] = frame[13] & 15 if frame[12] & 1 else 255   # a new envelope shape now and then
    song += frame
for name, size in (("raw-at-cap", cap), ("raw-past-cap", 600000)):
    open(f"{folder}/{name}", "wb").write(song[:size])
PY

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
