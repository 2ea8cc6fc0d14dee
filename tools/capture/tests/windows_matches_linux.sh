#!/usr/bin/env bash
# The Windows capture tool, run under Wine, must print the same frame hashes
# and write the same sound, PNG and text page as the Linux one: both builds
# compute the picture and the sound in IEEE double arithmetic, bit for bit
# alike.
#
# usage: windows_matches_linux.sh LINUX_TOOL WINDOWS_TOOL ASSETS_DIR WORK_DIR
# Exits 77 (skipped) when WINDOWS_TOOL has not been built.
set -euo pipefail
linux_tool=${1:?} windows_tool=${2:?} assets=${3:?} work=${4:?}

if [[ ! -f "$windows_tool" ]]; then
  echo "SKIP: no Windows build at $windows_tool (build the win32 preset first)"
  exit 77
fi
source "$(dirname "$0")/../../../tests/e2e/wine/require_wine.sh"

mkdir -p "$work"
work=$(cd "$work" && pwd)   # Wine takes only an absolute prefix
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  echo "making a Wine prefix in $WINEPREFIX"
  wineboot --init >/dev/null 2>&1 || { echo "FAIL: wineboot could not make the prefix"; exit 1; }
  timeout 60 wineserver -w
fi
# This prefix's wineserver is left to end on its own once the last program
# has gone; make sure of it when the test ends.
trap 'timeout 20 wineserver -w 2>/dev/null || true' EXIT

status=0
compare() {   # name, Linux file, Windows file
  if cmp -s "$2" "$3"; then
    echo "same: $1"
  else
    echo "FAIL: $1 differs between the Linux and the Windows build"
    cmp "$2" "$3" | head -1 || true
    diff <(head -c 2000 "$2") <(head -c 2000 "$3") | head -10 || true
    status=1
  fi
}

"$linux_tool" --assets "$assets" frames 200 >"$work/frames.linux"
# The Windows C runtime ends console lines with CR LF.
wine "$windows_tool" --assets "$assets" frames 200 | tr -d '\r' >"$work/frames.windows"
[[ $(wc -l <"$work/frames.linux") -eq 200 ]] || { echo "FAIL: the Linux build printed no 200 lines"; exit 1; }
compare "frames 200" "$work/frames.linux" "$work/frames.windows"

"$linux_tool" --assets "$assets" sound --seconds 30 --raw "$work/sound.linux.raw"
wine "$windows_tool" --assets "$assets" sound --seconds 30 --raw "$work/sound.windows.raw"
[[ $(stat -c %s "$work/sound.linux.raw") -eq $((30 * 44100 * 2)) ]] || { echo "FAIL: Linux sound file size"; exit 1; }
compare "sound --seconds 30 --raw" "$work/sound.linux.raw" "$work/sound.windows.raw"

# Standard output in binary mode (no CR added before LF bytes), and the
# high-pass in the same double arithmetic.
"$linux_tool" --assets "$assets" sound --seconds 5 --dc-block --wav - >"$work/blocked.linux.wav"
wine "$windows_tool" --assets "$assets" sound --seconds 5 --dc-block --wav - >"$work/blocked.windows.wav"
compare "sound --seconds 5 --dc-block --wav -" "$work/blocked.linux.wav" "$work/blocked.windows.wav"

"$linux_tool" --assets "$assets" png 100 "$work/frame.linux.png"
wine "$windows_tool" --assets "$assets" png 100 "$work/frame.windows.png"
compare "png 100" "$work/frame.linux.png" "$work/frame.windows.png"

"$linux_tool" --assets "$assets" textpage >"$work/page.linux"
wine "$windows_tool" --assets "$assets" textpage | tr -d '\r' >"$work/page.windows"
compare "textpage" "$work/page.linux" "$work/page.windows"
exit $status
