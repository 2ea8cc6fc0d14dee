#!/usr/bin/env bash
# Installs what is missing, checks the C++ layout (clang-format), builds
# every target and runs every test:
# the Windows build (under Wine), the Linux build, the Linux tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, the Linux intro with its
# sound thread under ThreadSanitizer, the browser build in
# headless Chromium, then ten seconds of fuzzing for each way data enters the
# program (the kept corpus is replayed by the unit tests). Each step's start is stamped, so a slow one shows in the log.
set -euo pipefail
cd "$(dirname "$0")/.."

step() {
  echo "=== $(date +%T) $*"
  "$@"
}

step ./tools/install-deps.sh --all
step tools/check-format.sh
# The web tests compare the page with the native capture tool: the Linux
# build's, brought up to date, rather than a third native build.
export QUILLMOOR_NATIVE_BUILD_DIR=$PWD/build/linux
for preset in win32 linux asan tsan web; do
  step cmake --workflow --preset "$preset"
done
step tools/fuzz.sh 10
echo "=== $(date +%T) done"
