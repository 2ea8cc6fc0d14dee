#!/usr/bin/env bash
# Installs what is missing on Debian 12 (run as root).
#   tools/install-deps.sh         what building and running the Linux intro needs
#   tools/install-deps.sh --all   that, and everything the other builds and the tests need
# A package mirror caught half-synced fails for a while and then works again:
# `apt-get update` and the install are tried QUILLMOOR_APT_TRIES times (4),
# QUILLMOOR_APT_PAUSE seconds apart (30), and then the script stops with one
# line naming the index or package that could not be had.
set -euo pipefail
me=install-deps.sh

# Building and running the Linux intro.
intro_packages=(
  cmake ninja-build g++ pkg-config
  libsdl2-dev
)

# The tests, the benchmarks, the capture tool, the Windows build under Wine,
# the web page in Chromium, the sanitizer and fuzzing builds, the Debian
# package and its checks.
all_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  python3-xlib
  g++-mingw-w64-i686
  wine wine32:i386
  xvfb xdotool x11-utils imagemagick openbox python3
  pulseaudio pulseaudio-utils
  ffmpeg
  clang libclang-rt-14-dev clang-format
  emscripten chromium firefox-esr
  dpkg-dev help2man lintian desktop-file-utils appstream
)

packages=("${intro_packages[@]}")
case "${1:-}" in
  "") ;;
  --all) packages+=("${all_packages[@]}") ;;
  *) echo "$me: error: unknown argument '$1' (usage: $0 [--all])" >&2; exit 2 ;;
esac

tries=${QUILLMOOR_APT_TRIES:-4}
pause=${QUILLMOOR_APT_PAUSE:-30}
[[ $tries =~ ^[1-9][0-9]*$ ]] || { echo "$me: error: QUILLMOOR_APT_TRIES must be a whole number from 1, not '$tries'" >&2; exit 2; }
[[ $pause =~ ^[0-9]+$ ]] || { echo "$me: error: QUILLMOOR_APT_PAUSE must be a whole number of seconds, not '$pause'" >&2; exit 2; }
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# What apt's output in $log says could not be had: an index or a package
# file it could not fetch, or a package it could not install.
culprit() {
  local line
  if line=$(grep -m1 -E "Failed to fetch " "$log"); then
    local url=${line#*Failed to fetch }
    echo "${url%% *} (${line##*  })"
  elif line=$(grep -m1 -oE "Unable to locate package [^ ]+|Package '[^']+' has no installation candidate" "$log"); then
    echo "$line"
  elif line=$(grep -m1 -E "^ +[^ ]+ : (Pre)?Depends: " "$log"); then
    line=${line#"${line%%[! ]*}"}
    echo "${line%% *} (${line#* : })"
  else
    grep -m1 -E "^E: " "$log" || tail -n1 "$log"
  fi
}

# Runs apt-get with the arguments, showing its output, up to $tries times.
# `apt-get update` also fails when it only warns that an index could not be
# fetched: the packages would come from an old or missing index.
apt_with_retries() {
  local what=$1 try status
  shift
  for ((try = 1; ; try++)); do
    status=0
    DEBIAN_FRONTEND=noninteractive apt-get "$@" 2>&1 | tee "$log" || status=$?
    if ((status == 0)) && ! grep -q "Failed to fetch " "$log"; then
      return 0
    fi
    if ((try >= tries)); then
      echo "$me: error: $what: could not get $(culprit) after $tries tries;" \
        "the machine's package mirror is the cause (out of sync or unreachable), not this project:" \
        "try again later or choose another mirror in /etc/apt/sources.list" >&2
      exit 1
    fi
    echo "$me: $what failed (try $try of $tries); trying again in $pause s" >&2
    sleep "$pause"
  done
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  if [[ " ${missing[*]}" == *:i386* ]]; then
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  fi
  apt_with_retries "apt-get update" update -q
  apt_with_retries "apt-get install" install -y -q --no-install-recommends "${missing[@]}"
fi
