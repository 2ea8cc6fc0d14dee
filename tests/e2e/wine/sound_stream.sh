#!/usr/bin/env bash
# The Windows program's sound under Wine, on one of two outputs (SINK):
#   pulse  a private PulseAudio server's null sink, clocked in real time
#   alsa   Wine's ALSA driver into ALSA's file plugin, read at real-time pace
#          through a FIFO: a play cursor that moves in coarse steps
# First a probe reports the steps the DirectSound cursor moves in on that
# output; then the program plays while its sound is recorded, and
# quillmoor_sound_match (run under Wine as well) compares the recording with
# the music player's own stream, one second at a time.
TEST_NAME=${TEST_NAME:-sound_stream}
: "${QUILLMOOR_SOUND_MATCH:?}" "${QUILLMOOR_CURSOR_STEPS:?}"
: "${RECORD_SECONDS:=15}"
: "${SINK:=pulse}"
source "$(dirname "$0")/wine_session.sh"
case "$SINK" in
  pulse) source "$(dirname "$0")/pulse_sink.sh" ;;
  alsa) source "$(dirname "$0")/alsa_file_sink.sh" ;;
  *) fail "unknown SINK $SINK" ;;
esac

if [[ ! -f "$QUILLMOOR_ASSETS/ZEB_27.DMP" ]]; then
  log "SKIP: the song ZEB_27.DMP isn't in the assets yet"
  PASSED=1
  exit 77
fi

start_display
prepare_run_folder
cp "$QUILLMOOR_SOUND_MATCH" "$RUN/sound_match.exe"
cp "$QUILLMOOR_CURSOR_STEPS" "$RUN/cursor_steps.exe"
if [[ $SINK == pulse ]]; then
  start_pulse_sink
else
  start_alsa_file_sink
fi

log "the play cursor on this output"
(cd "$RUN" && "${AUDIO_NICE[@]}" wine cursor_steps.exe 3) | tr -d '\r' | tee "$WORK/cursor.txt" || true
grep -q '^cursor steps:' "$WORK/cursor.txt" || fail "the cursor probe found no moving cursor"

[[ $SINK == pulse ]] && start_recording "$WORK/capture.wav"
start_program
wait_for_main_window_after_banner 90
id=$(wait_for_visible_window "$TITLE" 60) || fail "the window never became visible (sound warning: $(visible_window ERROR))"
log "recording ${RECORD_SECONDS} s"
sleep "$RECORD_SECONDS"
if [[ $SINK == pulse ]]; then
  stop_recording
else
  cp "$(longest_session)" "$WORK/capture.wav" || fail "nothing was recorded"
fi
close_and_wait "$id" 60

log "comparing the recording with the player's stream"
(cd "$RUN" && wine sound_match.exe ../capture.wav 10 0.99) | tr -d '\r' | tee "$WORK/match.txt" || true
grep -qx PASS "$WORK/match.txt" || fail "the recorded sound doesn't match the player's stream"
PASSED=1
log PASS
