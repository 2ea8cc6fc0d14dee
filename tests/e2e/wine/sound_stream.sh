#!/usr/bin/env bash
# The Windows program's sound under Wine: what reaches a real-time null sink
# is recorded for several seconds and compared with the music player's own
# sample stream for the song (quillmoor_sound_match, run under Wine as well).
TEST_NAME=${TEST_NAME:-sound_stream}
: "${QUILLMOOR_SOUND_MATCH:?}"
: "${RECORD_SECONDS:=20}"
source "$(dirname "$0")/wine_session.sh"
source "$(dirname "$0")/pulse_sink.sh"

if [[ ! -f "$QUILLMOOR_ASSETS/ZEB_27.DMP" ]]; then
  log "SKIP: the song ZEB_27.DMP isn't in the assets yet"
  PASSED=1
  exit 77
fi

start_display
prepare_run_folder
cp "$QUILLMOOR_SOUND_MATCH" "$RUN/sound_match.exe"
start_pulse_sink
start_recording "$WORK/capture.wav"
start_program
wait_for_main_window_after_banner 90
id=$(wait_for_visible_window "$TITLE" 60) || fail "the window never became visible (sound warning: $(visible_window ERROR))"
log "recording ${RECORD_SECONDS} s"
sleep "$RECORD_SECONDS"
stop_recording
close_and_wait "$id" 60

log "comparing the recording with the player's stream"
(cd "$RUN" && wine sound_match.exe ../capture.wav 5 0.99) | tr -d '\r' | tee "$WORK/match.txt" || true
grep -qx PASS "$WORK/match.txt" || fail "the recorded sound doesn't match the player's stream"
PASSED=1
log PASS
