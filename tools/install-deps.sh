#!/usr/bin/env bash
# Installs everything the builds and tests need on Debian 12 (run as root).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev
  g++-mingw-w64-i686
  wine wine32:i386
  xvfb xdotool x11-utils imagemagick openbox python3
  pulseaudio pulseaudio-utils
  ffmpeg
  clang libclang-rt-14-dev
  emscripten chromium
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
