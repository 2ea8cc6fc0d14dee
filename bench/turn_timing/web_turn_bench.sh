#!/bin/sh
# The page's turn beside the native turn on this machine: the turn timing
# program built natively, for the page with SIMD and for the page without,
# run in turn (ROUNDS times each, 3 by default, so that a busy spell of the
# machine falls on all three alike), then the ratios of their best turns.
#
#   web_turn_bench.sh NODE ASSETS NATIVE_PROGRAM SIMD_PROGRAM.js PLAIN_PROGRAM.js [ROUNDS]
set -eu
if [ $# -lt 5 ] || [ $# -gt 6 ]; then
  echo "web_turn_bench.sh: error: usage: web_turn_bench.sh NODE ASSETS NATIVE SIMD.js PLAIN.js [ROUNDS]" >&2
  exit 2
fi
node=$1 assets=$2 native=$3 simd=$4 plain=$5 rounds=${6:-3}
results=$(mktemp)
trap 'rm -f "$results"' EXIT
i=0
while [ "$i" -lt "$rounds" ]; do
  printf 'native ' >>"$results"; "$native" "$assets" 25 40 >>"$results"
  printf 'simd ' >>"$results"; "$node" "$simd" "$assets" 25 40 >>"$results"
  printf 'plain ' >>"$results"; "$node" "$plain" "$assets" 25 40 >>"$results"
  i=$((i + 1))
done
# Each line: NAME turn MEDIAN ms median, BEST best (passes at best: effect E, logo L, text T, convert C) ...
awk '
  { gsub(/[(),:]/, " "); name = $1
    if (!(name in best) || $6 < best[name]) { best[name] = $6; passes[name] = $11 " " $12 ", " $13 " " $14 ", " $15 " " $16 ", " $17 " " $18 } }
  END {
    printf "native turn       %.3f ms (%s)\n", best["native"], passes["native"]
    printf "page turn, SIMD   %.3f ms (%s)\n", best["simd"], passes["simd"]
    printf "page turn, plain  %.3f ms (%s)\n", best["plain"], passes["plain"]
    printf "SIMD page / native %.2fx, plain page / native %.2fx (best rounds of 40 turns)\n",
           best["simd"] / best["native"], best["plain"] / best["native"]
  }' "$results"
