# A private PulseAudio server whose only sink is a null sink, clocked in real
# time like a sound card, for the Windows program's sound under Wine (sourced
# after wine_session.sh). It runs with the program's raised scheduling
# priority, as a desktop's sound server does. Wine's PulseAudio driver finds it through
# PULSE_SERVER; ALSA is given a default device that can't open, so the sound
# goes nowhere else.
#
# Its cursor moves in steps of about 10 ms; alsa_file_sink.sh gives the other
# kind of output, whose cursor jumps by tens of milliseconds.

for tool in pulseaudio pactl parec; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (tools/install-deps.sh)"; exit 1; }
done

readonly SINK_RATE=48000
readonly SINK_CHANNELS=2

start_pulse_sink() {
  local dir="$WORK/pulse"
  mkdir -p "$dir/runtime" "$dir/state"
  cat >"$dir/server.pa" <<PA
load-module module-native-protocol-unix auth-anonymous=1 socket=$dir/runtime/native
load-module module-null-sink sink_name=capture rate=$SINK_RATE channels=$SINK_CHANNELS
set-default-sink capture
PA
  cat >"$HOME/.asoundrc" <<'ASOUND'
pcm.!default { type hw card 31 device 0 }
ctl.!default { type hw card 31 }
ASOUND
  export PULSE_RUNTIME_PATH="$dir/runtime"
  export PULSE_STATE_PATH="$dir/state"
  export XDG_RUNTIME_DIR="$dir/runtime"
  export PULSE_SERVER="unix:$dir/runtime/native"
  "${AUDIO_NICE[@]}" pulseaudio -n -F "$dir/server.pa" --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    --disable-shm=yes --high-priority=yes --realtime=yes --log-level=info \
    --log-target=file:"$dir/server.log" >/dev/null 2>&1 &
  STARTED+=($!)
  local i
  for ((i = 0; i < 100; i++)); do
    pactl info >/dev/null 2>&1 && break
    sleep 0.1
  done
  pactl info >/dev/null 2>&1 || fail "the private PulseAudio server did not start (see $dir/server.log)"
  log "PulseAudio null sink at $PULSE_SERVER (${SINK_RATE} Hz, $SINK_CHANNELS channels)"
}

# Records what the sink plays into $1 (WAV) until stop_recording. Sets
# RECORDER_PID.
start_recording() {
  "${AUDIO_NICE[@]}" parec -d capture.monitor --file-format=wav --format=s16le --rate=$SINK_RATE \
    --channels=$SINK_CHANNELS "$1" 2>"$WORK/parec.log" &
  RECORDER_PID=$!
  STARTED+=("$RECORDER_PID")
}

stop_recording() {
  kill -INT "$RECORDER_PID" 2>/dev/null || true
  wait "$RECORDER_PID" 2>/dev/null || true
}
