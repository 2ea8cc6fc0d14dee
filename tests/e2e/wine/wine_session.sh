# Shared set-up of the Windows program's end-to-end tests (sourced by each):
# a private X display, a fresh Wine prefix copied from the one prepared for
# this test run, a private HOME (with its own ALSA configuration), a work
# folder holding the assets, and clean-up of every process started here, by
# process id, when the script ends.
#
# Expects: QUILLMOOR_EXE, QUILLMOOR_ASSETS (the repo's assets folder),
# WINE_PREFIX_TEMPLATE, WORK_ROOT, TEST_NAME. The work folder is removed after
# a pass unless QUILLMOOR_KEEP_WORK is set.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/require_wine.sh"

: "${QUILLMOOR_EXE:?}" "${QUILLMOOR_ASSETS:?}" "${WINE_PREFIX_TEMPLATE:?}" "${WORK_ROOT:?}" "${TEST_NAME:?}"

readonly TITLE="Quillmoor-2014"
readonly BANNER=$'\nQuillmoor & #plinthcrew - Cloudparcel - Volume #1\n'
readonly CLOSING=$'\n\nWinStreamer successfully closed.\n\n'
# The files the program reads by plain name; those not generated yet are
# simply absent, which the program tolerates.
readonly ASSET_NAMES=(ZEB_27.DMP quillmoor_cut2_632x246x8.bmp FNT1616.FTB FNT1616.GFX)

for tool in wine wineserver Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (tools/install-deps.sh)"; exit 1; }
done

mkdir -p "$WORK_ROOT"
WORK=$(mktemp -d "$WORK_ROOT/$TEST_NAME.XXXXXX")
RUN="$WORK/run"            # the program's current folder
export HOME="$WORK/home"
export WINEPREFIX="$WORK/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$RUN" "$HOME"

STARTED=()                 # pids of everything started here, in order
PASSED=0

log() { printf '[%s %s] %s\n' "$(date +%T)" "$TEST_NAME" "$*"; }
fail() { log "FAIL: $*"; exit 1; }

cleanup() {
  local status=$?
  trap - EXIT
  local i
  for ((i = ${#STARTED[@]} - 1; i >= 0; i--)); do
    kill -TERM "${STARTED[i]}" 2>/dev/null || true
  done
  for ((i = ${#STARTED[@]} - 1; i >= 0; i--)); do
    wait "${STARTED[i]}" 2>/dev/null || true
  done
  # The prefix's wineserver (and the helper processes it runs) end on their
  # own once the program has gone; make sure before the prefix is removed.
  if [[ -d "$WINEPREFIX" ]]; then
    timeout 20 wineserver -w 2>/dev/null || wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
  fi
  if (((status == 0 || status == 77) && PASSED)) && [[ -z "${QUILLMOOR_KEEP_WORK:-}" ]]; then
    rm -rf "$WORK"
  else
    log "work folder kept for inspection: $WORK"
  fi
  exit "$status"
}
trap cleanup EXIT

# A private X server on a display number it picks itself.
start_display() {
  local displayfile="$WORK/display"
  : >"$displayfile"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayfile" >"$WORK/xvfb.log" 2>&1 &
  STARTED+=($!)
  local i
  for ((i = 0; i < 100; i++)); do
    [[ -s "$displayfile" ]] && break
    sleep 0.1
  done
  [[ -s "$displayfile" ]] || fail "Xvfb did not start"
  export DISPLAY=":$(tr -d '\n' <"$displayfile")"
  log "display $DISPLAY"
}

prepare_run_folder() {
  cp -a "$WINE_PREFIX_TEMPLATE" "$WINEPREFIX"
  local name
  for name in "${ASSET_NAMES[@]}"; do
    [[ -f "$QUILLMOOR_ASSETS/$name" ]] && cp "$QUILLMOOR_ASSETS/$name" "$RUN/"
  done
  cp "$QUILLMOOR_EXE" "$RUN/quillmoor.exe"
}

# Where allowed (as root), the program and its audio stack run with
# round-robin real-time scheduling, as a desktop's sound server does, so that
# builds running beside the tests don't starve the sound path (Wine's audio
# threads feed a 30 ms buffer). Otherwise a raised priority, or none.
AUDIO_NICE=()
if chrt -r 5 true 2>/dev/null; then
  AUDIO_NICE=(chrt -r 5)
elif nice -n -10 true 2>/dev/null; then
  AUDIO_NICE=(nice -n -10)
fi

# Starts the program from the run folder; its console output goes to
# $WORK/stdout. Sets PROGRAM_PID.
start_program() {
  (cd "$RUN" && exec "${AUDIO_NICE[@]}" wine quillmoor.exe >"$WORK/stdout" 2>"$WORK/stderr") &
  PROGRAM_PID=$!
  STARTED+=("$PROGRAM_PID")
}

# The console output so far into CONSOLE, with the CRLF line ends of the
# Windows C runtime turned into LF (and trailing newlines kept).
read_console() {
  CONSOLE=$(tr -d '\r' <"$WORK/stdout"; echo x)
  CONSOLE=${CONSOLE%x}
}
console_dump() { printf '%s' "$CONSOLE" | od -c | head -8; }

# Visible top-level window with this exact title, or nothing.
visible_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true; }
# Any window with this exact title, shown or not.
any_window() { xdotool search --name "^$1\$" 2>/dev/null | head -n1 || true; }

program_running() { kill -0 "$PROGRAM_PID" 2>/dev/null; }

# Waits (up to $2 seconds) for a visible window titled $1 and prints its id.
wait_for_visible_window() {
  local title=$1 limit=$2 id="" waited=0
  while ((waited < limit * 10)); do
    id=$(visible_window "$title")
    [[ -n "$id" ]] && { echo "$id"; return 0; }
    program_running || return 1
    sleep 0.1
    waited=$((waited + 1))
  done
  return 1
}

# Banner on the console before any window of the program exists: polled
# while the program starts, so the first sight of the window is compared with
# what the console held at that moment.
wait_for_main_window_after_banner() {
  local limit=$1 waited=0 id
  while ((waited < limit * 20)); do
    id=$(any_window "$TITLE")
    if [[ -n "$id" ]]; then
      read_console
      [[ "$CONSOLE" == "$BANNER"* ]] ||
        fail "the window existed before the banner was on the console: $(console_dump)"
      log "window $id exists; the banner was already on the console"
      return 0
    fi
    program_running || fail "the program ended before its window appeared"
    sleep 0.05
    waited=$((waited + 1))
  done
  fail "no window titled $TITLE within $limit s"
}

# Screenshot of the window's client area; checks that it shows the picture:
# 640 columns of picture at the client origin, the class background (white)
# beside it, and either the flat first palette colour of a picture not yet
# drawn or a picture that moves between two shots.
check_picture() {
  local id=$1 shot1="$WORK/window-1.png" shot2="$WORK/window-2.png"
  import -window "$id" "$shot1" || fail "no screenshot of window $id"
  sleep 1
  import -window "$id" "$shot2" || fail "no second screenshot of window $id"
  local size width height
  size=$(convert "$shot1" -format '%w %h' info:)
  read -r width height <<<"$size"
  log "client area ${width}x${height}"
  ((width >= 640 && height >= 300)) || fail "client area ${width}x${height} is too small to hold the picture"
  local rows=$((height < 400 ? height : 400))

  local white_in_picture flat_share
  white_in_picture=$(convert "$shot1" -crop "640x${rows}+0+0" +repage -fill black +opaque '#FFFFFF' \
    -format '%[fx:mean]' info:)
  flat_share=$(convert "$shot1" -crop "640x${rows}+0+0" +repage -fill white -opaque '#2B0000' \
    -fill black +opaque white -format '%[fx:mean]' info:)
  log "picture area: white share $white_in_picture, share of colour #2B0000 $flat_share"
  awk -v w="$white_in_picture" 'BEGIN { exit !(w < 0.5) }' ||
    fail "the picture area is mostly the white class background: nothing was presented"

  if ((width > 640)); then
    local beside
    beside=$(convert "$shot1" -crop "$((width - 640))x${rows}+640+0" +repage -fill black +opaque '#FFFFFF' \
      -format '%[fx:mean]' info:)
    log "client area right of the picture: white share $beside"
    awk -v w="$beside" 'BEGIN { exit !(w > 0.99) }' ||
      fail "the area right of column 640 isn't the class background: the picture isn't 640 wide at the origin"
  fi

  local changed
  changed=$(compare -metric AE "$shot1" "$shot2" null: 2>&1 || true)
  log "pixels that changed between two shots 1 s apart: $changed"
  if awk -v f="$flat_share" 'BEGIN { exit !(f > 0.999) }'; then
    log "the picture is the flat first palette colour #2B0000"
  else
    [[ "$changed" =~ ^[0-9.e+]+$ ]] && awk -v c="$changed" 'BEGIN { exit !(c > 0) }' ||
      fail "the picture is neither the flat first palette colour nor moving"
  fi
}

# A close request as a user makes it: Alt+F4 to the window, which Wine turns
# into SC_CLOSE and then WM_CLOSE. Then the program must end by itself.
close_and_wait() {
  local id=$1 limit=$2 waited=0
  log "Alt+F4 to window $id"
  xdotool key --window "$id" alt+F4 2>/dev/null || log "xdotool could not send Alt+F4 (status $?)"
  while program_running && ((waited < limit * 10)); do
    sleep 0.1
    waited=$((waited + 1))
    # A key lost on the way (the window manager still moving the focus) is
    # asked for again; the program closes once whatever it receives after.
    if ((waited % 50 == 0)) && program_running; then
      log "still running after $((waited / 10)) s: Alt+F4 again"
      xdotool key --window "$id" alt+F4 2>/dev/null || true
    fi
  done
  program_running && fail "the program is still running $limit s after the close request"
  local status=0
  wait "$PROGRAM_PID" || status=$?
  log "program exit code $status"
  ((status == 0)) || fail "exit code $status"
  [[ -z "$(any_window "$TITLE")" ]] || fail "the window outlived the program"
  read_console
  [[ "$CONSOLE" == "$BANNER$CLOSING" ]] ||
    fail "console output isn't the banner followed by the closing line: $(console_dump)"
  log "console: banner, then the closing line; nothing else"
}
