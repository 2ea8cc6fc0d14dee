#!/usr/bin/env bash
# Installs what is missing, builds every target and runs every test:
# the Windows build (under Wine), the Linux build, the Linux tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, the Linux intro with its
# sound thread under ThreadSanitizer, the browser build in
# headless Chromium, then half a minute of fuzzing for each way data enters the
# program.
set -euo pipefail
cd "$(dirname "$0")/.."
./tools/install-deps.sh --all
cmake --workflow --preset win32
cmake --workflow --preset linux
cmake --workflow --preset asan
cmake --workflow --preset tsan
cmake --workflow --preset web
tools/fuzz.sh 30
