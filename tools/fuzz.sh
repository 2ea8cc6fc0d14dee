#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 60)
# on a core of its own (as many at once as there are cores), from the corpus
# so far (build/fuzz/corpus/), the committed corpus (tests/fuzz/corpus/), the
# seeds and the inputs kept in tests/fuzz/regressions/. New inputs go to
# build/fuzz/corpus/ only.
# An input that breaks a target is copied into tests/fuzz/regressions/<target>/.
#   tools/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build="$PWD/build/fuzz"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DQUILLMOOR_FUZZ=ON -DQUILLMOOR_TESTS=OFF -DQUILLMOOR_BENCH=OFF >/dev/null
cmake --build "$build" --target song_fuzz font_fuzz logo_fuzz
tests/fuzz/make-seeds.sh "$build/seeds"
artifacts="$build/artifacts"
rm -rf "$artifacts" && mkdir -p "$artifacts"
regressions="$PWD/tests/fuzz/regressions"
committed="$PWD/tests/fuzz/corpus"
fuzz_target() {
  local target=$1 corpus="$build/corpus/$1"
  mkdir -p "$corpus"
  # -max_len past the song's 512,004-byte cap, where the seeds already are.
  "$build/bin/$target" -max_total_time="$seconds" -max_len=600000 -rss_limit_mb=4096 \
    -artifact_prefix="$artifacts/$target-" -print_final_stats=1 \
    "$corpus" "$committed/$target" "$build/seeds/$target" "$regressions/$target" >"$build/$target.log" 2>&1
}
targets=(song_fuzz font_fuzz logo_fuzz)
cores=$(nproc)
declare -A pids
for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$cores" ]; do wait -n || true; done
  echo "== $target for ${seconds}s"
  fuzz_target "$target" &
  pids[$target]=$!
done
failed=0
for target in "${targets[@]}"; do
  status=0
  wait "${pids[$target]}" || status=$?
  echo "== $target"
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec)|^SUMMARY' "$build/$target.log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$build/$target.log"
    # Every input that broke a target is kept; the unit tests replay them
    # (tests/fuzz/fuzz_regressions_test.cpp).
    for found in "$artifacts/$target-"*; do
      if [ -f "$found" ]; then cp "$found" "$regressions/$target/${found##*/$target-}"; fi
    done
    echo "$target found a fault (exit $status); reproducer kept in tests/fuzz/regressions/$target/: commit it with the fix"
    failed=$((failed + 1))
  fi
done
echo "fuzzing: $(( ${#targets[@]} - failed )) passed, $failed failed"
[ "$failed" -eq 0 ]
