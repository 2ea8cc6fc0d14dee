#!/bin/sh
# The page's turn beside the native turn on this machine, measured two ways,
# each ROUNDS times (3 by default) with the sides taking turns, so that a
# busy spell of the machine falls on all alike:
#   back to back: the turn timing program built natively, for Node with SIMD
#     and without, each running 40 turns at a stretch; the best rounds.
#   as the intro runs: the native program's paced loop (--paced) and the page
#     in headless Chromium (page_turn.mjs), each a turn every 9.5 ms with
#     sleeps between, for SECONDS (10); the median rounds. A turn after a
#     sleep finds cold caches and an idle processor, on both sides alike.
#
#   web_turn_bench.sh NODE ASSETS NATIVE SIMD.js PLAIN.js PAGE_FOLDER DRIVER CHROMIUM [ROUNDS [SECONDS]]
set -eu
if [ $# -lt 8 ] || [ $# -gt 10 ]; then
  echo "web_turn_bench.sh: error: usage: web_turn_bench.sh NODE ASSETS NATIVE SIMD.js PLAIN.js" \
       "PAGE_FOLDER DRIVER CHROMIUM [ROUNDS [SECONDS]]" >&2
  exit 2
fi
node=$1 assets=$2 native=$3 simd=$4 plain=$5 page=$6 driver=$7 chromium=$8 rounds=${9:-3} seconds=${10:-10}
here=$(cd "$(dirname "$0")" && pwd)
results=$(mktemp)
trap 'rm -f "$results"' EXIT
i=0
while [ "$i" -lt "$rounds" ]; do
  printf 'native ' >>"$results"; "$native" "$assets" 25 40 >>"$results"
  printf 'simd ' >>"$results"; "$node" "$simd" "$assets" 25 40 >>"$results"
  printf 'plain ' >>"$results"; "$node" "$plain" "$assets" 25 40 >>"$results"
  printf 'native-paced ' >>"$results"; "$native" "$assets" --paced "$seconds" >>"$results"
  printf 'page-paced ' >>"$results"; "$node" "$here/page_turn.mjs" "$page" "$driver" "$chromium" "$seconds" >>"$results"
  i=$((i + 1))
done
# Back to back, each line: NAME turn MEDIAN ms median, BEST best (passes at best: effect E, logo L, text T, convert C) ...
# Paced, each line: NAME WHO turn T ms, present P ms (means of ...)
awk '
  { gsub(/[(),:]/, " "); name = $1 }
  name ~ /-paced$/ { paced[name, ++count[name]] = $4; present[name, count[name]] = $7; next }
  { if (!(name in best) || $6 < best[name]) { best[name] = $6; passes[name] = $11 " " $12 ", " $13 " " $14 ", " $15 " " $16 ", " $17 " " $18 } }
  function median(name, values,   n, i, j, t, list) {
    n = count[name]
    for (i = 1; i <= n; i++) list[i] = values[name, i]
    for (i = 2; i <= n; i++) for (j = i; j > 1 && list[j - 1] > list[j]; j--) { t = list[j]; list[j] = list[j - 1]; list[j - 1] = t }
    return list[int((n + 1) / 2)]
  }
  END {
    printf "Back to back (best rounds of 40 turns):\n"
    printf "  native turn       %.3f ms (%s)\n", best["native"], passes["native"]
    printf "  page turn, SIMD   %.3f ms (%s)\n", best["simd"], passes["simd"]
    printf "  page turn, plain  %.3f ms (%s)\n", best["plain"], passes["plain"]
    printf "  SIMD page / native %.2fx, plain page / native %.2fx\n",
           best["simd"] / best["native"], best["plain"] / best["native"]
    nativeTurn = median("native-paced", paced); pageTurn = median("page-paced", paced)
    printf "As the intro runs (median rounds, paced between sleeps):\n"
    printf "  native turn       %.3f ms, present %.3f ms\n", nativeTurn, median("native-paced", present)
    printf "  page turn, SIMD   %.3f ms, present %.3f ms (headless Chromium)\n", pageTurn, median("page-paced", present)
    printf "  page / native %.2fx\n", pageTurn / nativeTurn
  }' "$results"
