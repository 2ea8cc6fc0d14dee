#!/usr/bin/env bash
# The Windows program under Wine without a usable sound device: the warning
# box comes first, before the main window is shown; once dismissed, the
# window opens, shows the picture and closes cleanly.
TEST_NAME=${TEST_NAME:-no_sound_device}
source "$(dirname "$0")/wine_session.sh"

# No sound server to reach, and an ALSA default device that can't be opened.
export PULSE_SERVER="unix:$WORK/no-such-server"
cat >"$HOME/.asoundrc" <<'ASOUND'
pcm.!default { type hw card 31 device 0 }
ctl.!default { type hw card 31 }
ASOUND

start_display
prepare_run_folder
start_program
box=$(wait_for_visible_window ERROR 90) || fail "no warning box titled ERROR appeared"
log "warning box $box is up"
read_console
[[ "$CONSOLE" == "$BANNER" ]] || fail "the console doesn't hold just the banner while the warning is up: $(console_dump)"
[[ -z "$(visible_window "$TITLE")" ]] || fail "the main window is visible while the warning is up"
import -window "$box" "$WORK/warning.png" || true
sleep 1
[[ -z "$(visible_window "$TITLE")" ]] || fail "the main window became visible while the warning was up"

log "Return to the warning box"
xdotool key --window "$box" Return 2>/dev/null
id=$(wait_for_visible_window "$TITLE" 60) || fail "no window after the warning was dismissed"
[[ -z "$(visible_window ERROR)" ]] || fail "the warning box is still up"
sleep 1
check_picture "$id"
close_and_wait "$id" 60
PASSED=1
log PASS
