#!/usr/bin/env bash
# The Windows program's window under Wine shows the whole picture: a client
# area of exactly 640 x 400 (the outer size comes from the system's frame
# metrics, so nothing is clipped and no background shows beside it), a
# screenshot of it that is, pixel for pixel, one of the frames the capture
# tool renders (so its bottom rows and right columns are there), and the
# program's icon on the window.
#
# Run with WITH_WM=1 the same checks hold under a window manager (openbox),
# which draws its own frame around the client area.
TEST_NAME=${TEST_NAME:-window_size}
source "$(dirname "$0")/wine_session.sh"
source "$(dirname "$0")/pulse_sink.sh"

: "${QUILLMOOR_CAPTURE:?}" "${QUILLMOOR_ICON:?}"
command -v xwininfo >/dev/null || fail "xwininfo is not installed (x11-utils)"
command -v xprop >/dev/null || fail "xprop is not installed (x11-utils)"
command -v python3 >/dev/null || fail "python3 is not installed"

now_ms() { date +%s%3N; }

start_display
if [[ -n "${WITH_WM:-}" ]]; then
  command -v openbox >/dev/null || fail "openbox is not installed (tools/install-deps.sh --all)"
  openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
  STARTED+=($!)
  sleep 1
fi
prepare_run_folder
cp "$QUILLMOOR_CAPTURE" "$RUN/quillmoor-capture.exe"
start_pulse_sink
started_ms=$(now_ms)
start_program
id=$(wait_for_visible_window "$TITLE" 90) || fail "the window never became visible"

# The window the title names is the client area: Wine gives the frame and
# caption to the window manager, or draws none without one.
geometry=$(xwininfo -id "$id")
width=$(awk '/^ *Width:/ { print $2 }' <<<"$geometry")
height=$(awk '/^ *Height:/ { print $2 }' <<<"$geometry")
left=$(awk '/Absolute upper-left X:/ { print $4 }' <<<"$geometry")
top=$(awk '/Absolute upper-left Y:/ { print $4 }' <<<"$geometry")
log "client area ${width}x${height} at ($left, $top)"
[[ "$width" == 640 && "$height" == 400 ]] || fail "client area ${width}x${height}, not 640x400"
# Without a window manager the window opens at the screen's top left, so the
# client area starts just inside the frame and below the caption.
if [[ -z "${WITH_WM:-}" ]]; then
  ((left < 32 && top < 64)) || fail "the window isn't at the top left: client area at ($left, $top)"
fi

# Screenshots of the client area, each hashed as the capture tool hashes a
# frame (FNV-1a 64 of its 640 x 400 BGR0 pixels). A shot taken while the
# window was being updated matches no frame, so several are taken.
sleep 2
shots=()
for n in 1 2 3 4 5 6; do
  shot="$WORK/shot-$n.png"
  import -window "$id" "$shot" || fail "no screenshot of window $id"
  shots+=("$shot")
  sleep 0.3
done
last_shot_ms=$(now_ms)
frame_hash() {
  convert "$1" -depth 8 rgb:- | python3 -c '
import sys
rgb = sys.stdin.buffer.read()
assert len(rgb) == 640 * 400 * 3, len(rgb)
h = 0xcbf29ce484222325
for i in range(0, len(rgb), 3):
    for byte in (rgb[i + 2], rgb[i + 1], rgb[i], 0):
        h = ((h ^ byte) * 0x100000001b3) & 0xffffffffffffffff
print(f"{h:016x}")'
}
declare -A shot_hash
for shot in "${shots[@]}"; do
  shot_hash[$shot]=$(frame_hash "$shot")
done

# Every icon the window carries, as _NET_WM_ICON lists them: width, height,
# then ARGB pixels.
icon_words=$(xprop -id "$id" -notype 32c _NET_WM_ICON | sed 's/^[^=]*= *//; s/, */ /g')

# The whole screen, for a person to look at (kept with the work folder).
import -window root "$WORK/screen.png" || true

close_and_wait "$id" 60

# Each turn of the program's loop sleeps 9 ms, so by the last shot it can
# have drawn at most (elapsed time / 9 ms) frames: the capture tool renders
# those, and one of the shots must be one of them exactly.
frames=$(((last_shot_ms - started_ms) / 9 + 2))
log "hashing the first $frames frames with the capture tool"
(cd "$RUN" && wine quillmoor-capture.exe frames "$frames" >"$WORK/frames.txt" 2>"$WORK/capture.err") ||
  fail "quillmoor-capture.exe frames $frames failed: $(head -c 300 "$WORK/capture.err")"
tr -d '\r' <"$WORK/frames.txt" >"$WORK/frames-lf.txt"
(($(wc -l <"$WORK/frames-lf.txt") == frames)) || fail "the capture tool listed $(wc -l <"$WORK/frames-lf.txt") frames, not $frames"
matched=0
for shot in "${shots[@]}"; do
  frame=$(awk -v h="${shot_hash[$shot]}" '$2 == h { print $1; exit }' "$WORK/frames-lf.txt")
  if [[ -n "$frame" ]]; then
    log "$(basename "$shot") is frame $frame, all 640 x 400 pixels of it"
    matched=$((matched + 1))
  else
    log "$(basename "$shot") (hash ${shot_hash[$shot]}) matches none of the first $frames frames"
  fi
done
((matched > 0)) || fail "no screenshot shows a whole frame of the picture"

# The icon: the 32 x 32 and 16 x 16 images of the program's own .ico.
icon_pixels() {   # .ico, size -> "W H argb argb ..." as decimal words
  convert "$1" -alpha on -depth 8 rgba:- 2>/dev/null | python3 -c '
import sys
size = int(sys.argv[1])
data = sys.stdin.buffer.read()
assert len(data) == size * size * 4, len(data)
words = [str(size), str(size)]
for i in range(0, len(data), 4):
    r, g, b, a = data[i:i + 4]
    words.append(str((a << 24) | (r << 16) | (g << 8) | b))
print(" ".join(words))' "$2"
}
for size in 32 16; do
  index=$([[ $size == 32 ]] && echo 0 || echo 1)
  want=$(icon_pixels "$QUILLMOOR_ICON[$index]" "$size")
  [[ " $icon_words " == *" $want "* ]] || fail "the window carries no ${size}x${size} icon equal to the program's ($QUILLMOOR_ICON)"
  log "the window carries the program's ${size}x${size} icon"
done
PASSED=1
log PASS
