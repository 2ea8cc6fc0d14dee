# An ALSA output whose play position moves in coarse steps, for the Windows
# program's sound under Wine (sourced after wine_session.sh): Wine's ALSA
# driver plays into ALSA's `file` plugin on a `null` slave, whose file is a
# FIFO that a small reader empties at real-time pace. A plug in front hands
# the file 16-bit mono at 44,100 Hz. Nothing but the FIFO's reader clocks the
# output, so Wine's ALSA writes block a buffer at a time and the DirectSound
# play cursor it reports jumps by tens of milliseconds: coarser than the
# program's 20 ms refills, as some real outputs are.
#
# Each opening of the device is a session of its own in the reader's output
# folder (Wine opens the device to probe it, and each program opens it anew).

command -v python3 >/dev/null || { echo "FAIL: python3 is not installed"; exit 1; }

start_alsa_file_sink() {
  local dir="$WORK/alsa"
  mkdir -p "$dir/sessions"
  SINK_FIFO="$dir/output.fifo"
  SINK_SESSIONS="$dir/sessions"
  mkfifo "$SINK_FIFO"
  # PulseAudio's ALSA plugins (installed for the host) would take over
  # "default" and can't load in the 32-bit ALSA library: a private top-level
  # configuration without the system's conf.d folders.
  sed '/conf\.d"$/d' /usr/share/alsa/alsa.conf >"$dir/alsa.conf"
  export ALSA_CONFIG_PATH="$dir/alsa.conf"
  cat >"$HOME/.asoundrc" <<ASOUND
pcm.!default {
  type plug
  rate_converter "linear"
  slave { pcm "recorder" format S16_LE channels 1 rate 44100 }
}
pcm.recorder {
  type file
  slave.pcm "null"
  file "$SINK_FIFO"
  format "wav"
}
ctl.!default { type hw card 31 }
ASOUND
  # No sound server to reach: Wine's audio goes through ALSA.
  export PULSE_SERVER="unix:$WORK/no-such-server"
  wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f >/dev/null 2>&1 ||
    fail "could not choose Wine's ALSA driver"
  "${AUDIO_NICE[@]}" python3 "$(dirname "${BASH_SOURCE[0]}")/realtime_reader.py" "$SINK_FIFO" "$SINK_SESSIONS" \
    88200 44 >"$dir/reader.log" 2>&1 &
  SINK_READER_PID=$!
  STARTED+=("$SINK_READER_PID")
  log "ALSA file sink through $SINK_FIFO, read at 88,200 bytes a second"
}

# The longest session so far: what the program played.
longest_session() {
  ls -S "$SINK_SESSIONS"/*.wav 2>/dev/null | head -n1
}
