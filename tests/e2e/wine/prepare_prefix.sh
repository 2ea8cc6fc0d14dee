#!/usr/bin/env bash
# Makes the Wine prefix that every test of this run copies (creating one takes
# several seconds; copying it, about one).
set -euo pipefail
template=${1:?usage: prepare_prefix.sh DIR}
source "$(dirname "$0")/require_wine.sh"
rm -rf "$template"
mkdir -p "$(dirname "$template")"
export WINEPREFIX="$template" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
wineboot --init >/dev/null 2>&1
# Wait for this prefix's wineserver to finish writing the registry and leave.
timeout 60 wineserver -w || { wineserver -k || true; exit 1; }
[[ -f "$template/system.reg" ]] || { echo "FAIL: no prefix made in $template"; exit 1; }
echo "Wine prefix ready: $template"
