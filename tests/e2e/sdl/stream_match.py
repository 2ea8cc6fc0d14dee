"""The sound the Linux intro plays, matched against the player's own stream
(made by quillmoor-capture, which runs the same player without a device):
stretches found sample for sample, the fades at the start and the close, and
a FIFO that stands for a device that can be unplugged and plugged in again."""
import array
import os
import select
import subprocess
import threading
import time

from checks import Failure, check

BYTES_PER_SECOND = 88200


def reference_stream(session, length, song=None):
    path = session.path("reference.raw")
    # The server's calls (a whole ring, then 20 ms at a time), the silent
    # first ones included, as the capture tool makes them; the assets' song,
    # or the song file given.
    subprocess.run([session.options.reference, "sound", "--seconds", str(length // 88200 + 1), "--lead-in",
                    "--raw", path, *(["--song", song] if song else [])], cwd=session.folder, check=True,
                   timeout=600)
    with open(path, "rb") as f:
        return f.read()[:length]


def matching_runs(played, stream, stream_from=0, window_bytes=4410 * 2):
    """Splits what was played into stretches that are the stream itself,
    sample for sample, looked for from stream_from on: a list of
    (offset played, offset in stream, bytes)."""
    runs, position = [], 0
    while position + window_bytes <= len(played):
        anchor = window_bytes
        window = played[position:position + anchor]
        found = stream.find(window, stream_from)
        while found >= 0 and found % 2:
            found = stream.find(window, found + 1)
        if found < 0 or not any(window):
            position += window_bytes // 4   # silence, or not from the stream: look further on
            continue
        # Back to where the stretch really begins, then on to where it ends.
        floor = runs[-1][0] + runs[-1][2] if runs else 0
        while (position > floor and found > 0
               and played[position - 2:position] == stream[found - 2:found]):
            position, found = position - 2, found - 2
            anchor += 2
        length = anchor
        while (position + length < len(played) and found + length < len(stream)
               and played[position + length:position + length + 2]
               == stream[found + length:found + length + 2]):
            length += 2
        runs.append((position, found, length))
        position += length
    return runs


def describe_runs(runs):
    return ", ".join(f"{played / BYTES_PER_SECOND:.3f} s played = stream "
                     f"{at / BYTES_PER_SECOND:.3f} s for {length / BYTES_PER_SECOND:.3f} s"
                     for played, at, length in runs)


def song_present(session):
    return os.path.isfile(session.path("ZEB_27.DMP"))


def check_stretch(session, played, minimum_seconds, label, stream_from=0, ahead_seconds=0.0):
    """Looks for the played sound in the player's stream from stream_from
    on; the stream is rendered far enough to hold it even where the music
    moved on ahead_seconds beyond that while unheard."""
    ahead = int((ahead_seconds + 5) * 44100) * 2
    stream = reference_stream(session, stream_from + len(played) + ahead)
    if song_present(session):
        check(any(stream[:10 * BYTES_PER_SECOND]),
              "the song is in the folder but the player's stream is silent")
    if not any(stream):
        # Nothing to tell apart: the stream is silence (no song to play).
        check(not any(played), f"{label}: the stream is silent but the output isn't")
        print(f"{label}: {len(played) / BYTES_PER_SECOND:.3f} s of silence, as the stream is")
        return []
    runs = matching_runs(played, stream, stream_from)
    if song_present(session):
        check(any(played[p:p + length] for p, _, length in runs),
              f"{label}: only silence matched, though there is a song")
    print(f"{label}: {len(played) / BYTES_PER_SECOND:.3f} s written; runs: {describe_runs(runs)}")
    check(runs, f"{label}: no stretch of the stream found in the output")
    longest = max(runs, key=lambda run: run[2])
    check(longest[2] >= minimum_seconds * BYTES_PER_SECOND,
          f"{label}: longest exact stretch {longest[2] / BYTES_PER_SECOND:.3f} s, "
          f"need {minimum_seconds} s")
    return runs


FADE_SAMPLES = 882   # the output's fades: 20 ms at 44,100 Hz


def faded(sample, gain):
    """sample * gain / FADE_SAMPLES, truncated toward zero as the device does."""
    q = abs(sample) * gain // FADE_SAMPLES
    return q if sample >= 0 else -q


def first_difference(a, b, start=0):
    """The first sample index from start where the two byte strings differ
    (or the shorter one ends)."""
    n = min(len(a), len(b)) // 2 * 2
    at = start * 2
    chunk = 65536
    while at < n:
        end = min(at + chunk, n)
        if a[at:end] != b[at:end]:
            while a[at:at + 2] == b[at:at + 2]:
                at += 2
            return at // 2
        at = end
    return n // 2


def check_unbroken(session, played, label, song=None):
    """The whole output, checked: silence, the music rising from 0 over its
    first 20 ms, then the player's stream (of the assets' song, or of the
    song file given) sample for sample with no break, then 20 ms going down
    to 0 at the close, then silence. Returns the number of samples that were
    the stream itself."""
    stream = reference_stream(session, len(played) + 5 * BYTES_PER_SECOND, song)
    ref, out = array.array("h", stream), array.array("h", played[:len(played) // 2 * 2])
    if song_present(session) or song:
        check(any(stream[:10 * BYTES_PER_SECOND]),
              "the song is in the folder but the player's stream is silent")
    r0 = next((i for i, x in enumerate(ref) if x), None)
    if r0 is None:
        check(not any(played), f"{label}: the stream is silent but the output isn't")
        print(f"{label}: {len(played) / BYTES_PER_SECOND:.3f} s of silence, as the stream is")
        return 0
    music = ref[r0:]
    first = next((i for i, x in enumerate(out) if x), None)
    check(first is not None, f"{label}: only silence was played")
    k0 = next(k for k in range(FADE_SAMPLES) if faded(music[k], k))
    start = first - k0
    for k in range(FADE_SAMPLES):
        check(out[start + k] == faded(music[k], k),
              f"{label}: fade-in sample {k} (played {(start + k) / 44100:.4f} s) is "
              f"{out[start + k]}, expected {faded(music[k], k)}")
    music_bytes = music.tobytes()
    end = start + first_difference(played[start * 2:], music_bytes, FADE_SAMPLES)
    check(end < len(out), f"{label}: the output ends without fading out")
    # The fade-out begins at the first difference, or a little before it
    # where the stream had zeros (which fade to themselves).
    candidates = [end]
    while candidates[-1] - start > FADE_SAMPLES and music[candidates[-1] - start - 1] == 0:
        candidates.append(candidates[-1] - 1)

    def fades_out_at(at):
        return (at + FADE_SAMPLES <= len(out) and at - start + FADE_SAMPLES <= len(music)
                and all(out[at + k] == faded(music[at - start + k], FADE_SAMPLES - 1 - k)
                        for k in range(FADE_SAMPLES)))
    fade_out = next((at for at in candidates if fades_out_at(at)), None)
    context = (f"music from {start / 44100:.4f} s played; the stream ends at {end / 44100:.4f} s of "
               f"{len(out) / 44100:.4f} s")
    if fade_out is None:
        # What the break was: where the output takes up the stream again.
        runs = matching_runs(played[end * 2:], music_bytes, max(0, (end - start) * 2 - 5 * BYTES_PER_SECOND),
                             window_bytes=441 * 2)
        after = "; after it: " + describe_runs(runs[:4]) if runs else ""
        raise Failure(f"{label}: a break in the stream: played sample {end} is "
                      f"{out[end] if end < len(out) else None} where the stream has "
                      f"{music[end - start] if end - start < len(music) else None} ({context}){after} "
                      f"(times after the break, stream times from the music's start)")
    tail = out[fade_out + FADE_SAMPLES:]
    check(not any(tail), f"{label}: sound after the fade-out ({len(tail)} samples after it)")
    print(f"{label}: {context}; faded in over the first 20 ms and out over the last 20 ms, "
          f"{(fade_out - start - FADE_SAMPLES) / 44100:.4f} s between equal to the stream, "
          f"{len(tail) / 44100:.4f} s of silence after")
    return fade_out - start - FADE_SAMPLES


class FifoListener:
    """Reads a FIFO the intro writes its sound into, for a while: a device
    that can be unplugged (reader gone) and plugged in again."""

    def __init__(self, path, seconds):
        self.path, self.seconds, self.data = path, seconds, bytearray()
        self.opened = threading.Event()
        self.thread = threading.Thread(target=self._run, daemon=True)
        self.thread.start()

    def _run(self):
        fd = os.open(self.path, os.O_RDONLY)   # waits for the writer
        self.opened.set()
        deadline = time.monotonic() + self.seconds
        try:
            while time.monotonic() < deadline:
                if select.select([fd], [], [], 0.1)[0]:
                    chunk = os.read(fd, 65536)
                    if not chunk:
                        break
                    self.data += chunk
        finally:
            os.close(fd)

    def join(self, timeout):
        self.thread.join(timeout)
        check(not self.thread.is_alive(), "the sound output never opened")
