#!/usr/bin/env bash
# The Windows program under Wine with a working sound device: banner first,
# the window with the picture, a user's close request, the closing line and
# exit code 0.
TEST_NAME=${TEST_NAME:-window_close}
source "$(dirname "$0")/wine_session.sh"
source "$(dirname "$0")/pulse_sink.sh"

start_display
prepare_run_folder
start_pulse_sink
start_program
wait_for_main_window_after_banner 90
id=$(wait_for_visible_window "$TITLE" 60) || fail "the window never became visible"
[[ -z "$(visible_window ERROR)" ]] || fail "the sound warning is showing although a sound device is there"
sleep 1   # a few frames
check_picture "$id"
close_and_wait "$id" 60
PASSED=1
log PASS
