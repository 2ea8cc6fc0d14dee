#!/usr/bin/env bash
# Installs what is missing on Debian 12 (run as root).
#   tools/install-deps.sh         what building and running the Linux intro needs
#   tools/install-deps.sh --all   that, and everything the other builds and the tests need
set -euo pipefail

# Building and running the Linux intro.
intro_packages=(
  cmake ninja-build g++ pkg-config
  libsdl2-dev
)

# The tests, the benchmarks, the capture tool, the Windows build under Wine,
# the web page in Chromium, the sanitizer and fuzzing builds.
all_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  python3-xlib
  g++-mingw-w64-i686
  wine wine32:i386
  xvfb xdotool x11-utils imagemagick openbox python3
  pulseaudio pulseaudio-utils
  ffmpeg
  clang libclang-rt-14-dev clang-format
  emscripten chromium
)

packages=("${intro_packages[@]}")
case "${1:-}" in
  "") ;;
  --all) packages+=("${all_packages[@]}") ;;
  *) echo "usage: $0 [--all]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  if [[ " ${missing[*]}" == *:i386* ]]; then
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  fi
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
