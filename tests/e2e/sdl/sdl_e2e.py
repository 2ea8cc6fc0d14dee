#!/usr/bin/env python3
"""End-to-end tests of the Linux intro on a private X server.

Each case starts its own Xvfb (display picked by Xvfb through -displayfd),
runs the intro from a temporary folder holding the asset files, drives it as
a user would (close requests, keys, resizing) and checks what it shows, plays
and prints. Screenshots come straight from the X server; what the picture
should be comes from quillmoor-capture, which runs the same core without a window.

Every process a case starts is ended by its pid when the case ends, and is
also told to die with this script should the script itself be killed.
"""
import argparse
import array
import ctypes
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

import Xlib.display
import Xlib.error
import Xlib.protocol.event
import Xlib.X
import Xlib.Xatom
import Xlib.ext.xfixes  # noqa: F401  (registers the XFIXES requests)

BANNER = b"\nQuillmoor & #plinthcrew - Cloudparcel - Volume #1\n"
CLOSING = b"\n\nWinStreamer successfully closed.\n\n"
TITLE = b"Quillmoor-2014"
PICTURE_W, PICTURE_H = 640, 400
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
ASSETS = ("ZEB_27.DMP", "quillmoor_cut2_632x246x8.bmp", "FNT1616.FTB", "FNT1616.GFX")
BYTES_PER_SECOND = 88200
FRAME_SEARCH_LIMIT = 20000


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_until(predicate, timeout, what):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        result = predicate()
        if result:
            return result
        time.sleep(0.05)
    raise Failure(f"timed out after {timeout} s waiting for {what}")


# ---------------------------------------------------------------- X

class _IgnoreErrors:
    """Windows come and go while they are looked at: a request about one
    that has gone fails, and the answer is then "nothing"."""

    def __call__(self, error, request):
        pass


class Image:
    """An RGB picture, three bytes a pixel, top row first."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, bytes(rgb)

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def row(self, y):
        return self.rgb[y * self.width * 3:(y + 1) * self.width * 3]

    def crop(self, x, y, w, h):
        rows = [self.rgb[((y + r) * self.width + x) * 3:((y + r) * self.width + x + w) * 3]
                for r in range(h)]
        return Image(w, h, b"".join(rows))

    def halved(self):
        """Every second pixel of every second row."""
        out = bytearray()
        for y in range(0, self.height - 1, 2):
            row = self.row(y)
            half = bytearray(len(row) // 2)
            for c in range(3):
                half[c::3] = row[c::6]
            out += half
        return Image(self.width // 2, self.height // 2, out)

    def doubled(self):
        """Each pixel as a 2 x 2 block."""
        out = bytearray()
        for y in range(self.height):
            row = self.row(y)
            wide = bytearray(len(row) * 2)
            for c in range(3):
                wide[c::6] = row[c::3]
                wide[3 + c::6] = row[c::3]
            out += wide + wide
        return Image(self.width * 2, self.height * 2, out)

    def is_uniform(self, colour):
        return self.rgb == bytes(colour) * (self.width * self.height)

    def colours(self):
        return {self.rgb[i:i + 3] for i in range(0, len(self.rgb), 3)}


class Display:
    def __init__(self, name):
        try:
            self.handle = Xlib.display.Display(name)
        except Xlib.error.DisplayError as error:
            raise Failure(f"can't open X display {name}: {error}") from None
        self.handle.set_error_handler(_IgnoreErrors())
        self.root = self.handle.screen().root
        self._atoms = {}

    def close(self):
        self.handle.close()

    def _window(self, window):
        return self.handle.create_resource_object("window", window)

    def atom(self, name):
        if name not in self._atoms:
            self._atoms[name] = self.handle.intern_atom(name)
        return self._atoms[name]

    def _children(self, window):
        try:
            return [child.id for child in self._window(window).query_tree().children]
        except Xlib.error.XError:
            return []

    def name(self, window):
        # The title as stored, whatever its encoding (the titles looked for are ASCII).
        try:
            prop = self._window(window).get_full_property(Xlib.Xatom.WM_NAME, Xlib.X.AnyPropertyType)
        except Xlib.error.XError:
            return None
        if not prop or prop.format != 8:
            return None
        value = prop.value
        return value.encode() if isinstance(value, str) else bytes(value)

    def viewable(self, window):
        try:
            return self._window(window).get_attributes().map_state == Xlib.X.IsViewable
        except Xlib.error.XError:
            return False

    def windows_titled(self, title, viewable_only=True):
        found, pending = [], [self.root.id]
        while pending:
            window = pending.pop()
            pending.extend(self._children(window))
            if self.name(window) == title and (not viewable_only or self.viewable(window)):
                found.append(window)
        return found

    def size(self, window):
        try:
            geometry = self._window(window).get_geometry()
        except Xlib.error.XError:
            return None
        return (geometry.width, geometry.height)

    def send_close(self, window):
        """What a window manager sends when the close button is pressed."""
        event = Xlib.protocol.event.ClientMessage(
            window=window, client_type=self.atom("WM_PROTOCOLS"),
            data=(32, [self.atom("WM_DELETE_WINDOW"), Xlib.X.CurrentTime, 0, 0, 0]))
        self._window(window).send_event(event, event_mask=0)
        self.handle.sync()

    def watch_maps(self):
        """From now on, every top-level window mapped is recorded (read with
        mapped_windows). Meant for a connection of its own."""
        self.root.change_attributes(event_mask=Xlib.X.SubstructureNotifyMask)
        self.handle.sync()

    def mapped_windows(self):
        mapped = []
        while self.handle.pending_events():
            event = self.handle.next_event()
            if event.type == Xlib.X.MapNotify:
                mapped.append(event.window.id)
        return mapped

    def cursor_is_blank(self):
        """Whether the pointer, where it is, shows no pixel at all."""
        check(self.handle.has_extension("XFIXES"), "the X server has no XFIXES")
        self.handle.xfixes_query_version()
        image = self.handle.xfixes_get_cursor_image(self.root)
        return not any(pixel >> 24 for pixel in image.cursor_image)

    def screenshot(self, window):
        w, h = self.size(window)
        image = self._window(window).get_image(0, 0, w, h, Xlib.X.ZPixmap, 0xFFFFFFFF)
        raw = image.data
        check(len(raw) == w * h * 4, f"unexpected X image layout ({len(raw)} bytes for {w} x {h})")
        out = bytearray(w * h * 3)
        # Little-endian 32-bit pixels: B, G, R, unused.
        out[0::3], out[1::3], out[2::3] = raw[2::4], raw[1::4], raw[0::4]
        return Image(w, h, out)


# ---------------------------------------------------------------- processes

_libc = ctypes.CDLL(None)
PR_SET_PDEATHSIG = 1


def _die_with_parent():
    _libc.prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


class Session:
    """One case: a temporary folder with the assets, a private X server and
    every process started for the case."""

    def __init__(self, options, screen, window_manager=False):
        self.options = options
        self.window_manager = window_manager
        self.children = []
        self.folder = tempfile.mkdtemp(prefix="quillmoor-sdl-")
        for name in sorted(os.listdir(options.assets)):
            source = os.path.join(options.assets, name)
            if os.path.isfile(source) and name != "CMakeLists.txt":
                shutil.copy(source, self.folder)
        self.display_name = self._start_x(screen)
        self.x = Display(self.display_name)
        if window_manager:
            self._start_window_manager()

    def spawn(self, argv, **kwargs):
        process = subprocess.Popen(argv, preexec_fn=_die_with_parent, **kwargs)
        self.children.append(process)
        return process

    def _start_x(self, screen):
        read_end, write_end = os.pipe()
        self.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{screen}x24",
                    "-nolisten", "tcp", "-noreset"],
                   pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        text = b""
        deadline = time.monotonic() + 30
        while not text.endswith(b"\n"):
            remaining = deadline - time.monotonic()
            check(remaining > 0 and select.select([read_end], [], [], remaining)[0],
                  "Xvfb did not report its display")
            chunk = os.read(read_end, 64)
            check(chunk, "Xvfb ended before reporting its display")
            text += chunk
        os.close(read_end)
        return ":" + text.decode().strip()

    def _start_window_manager(self):
        env = dict(os.environ, DISPLAY=self.display_name)
        self.spawn(["openbox", "--sm-disable"], env=env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)

        # openbox names itself first and sets the work area once it has
        # finished starting; windows are only managed as usual after that.
        def ready():
            result = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK",
                                     "_NET_WORKAREA"], env=env, capture_output=True, timeout=10)
            return b"window id" in result.stdout and b"_NET_WORKAREA(CARDINAL)" in result.stdout
        wait_until(ready, 30, "the window manager")

    def path(self, name):
        return os.path.join(self.folder, name)

    def close(self):
        if getattr(self, "x", None):
            self.x.close()
        for process in reversed(self.children):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        if os.environ.get("QUILLMOOR_KEEP_TEST_FOLDER"):
            print(f"kept {self.folder}")
        else:
            shutil.rmtree(self.folder, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


class Intro:
    """The intro running in a session, its output collected as it comes."""

    def __init__(self, session, audio_driver, audio_file=None, args=(), program=None, cwd=None,
                 env_extra=None):
        env = dict(os.environ)
        env.pop("WAYLAND_DISPLAY", None)
        env.update(DISPLAY=session.display_name, SDL_VIDEODRIVER="x11",
                   SDL_AUDIODRIVER=audio_driver)
        if audio_file:
            env["SDL_DISKAUDIOFILE"] = audio_file
        env.update(env_extra or {})
        self.session = session
        self.stderr = open(session.path("intro.stderr"), "wb")
        self.process = session.spawn([program or session.options.program, *args],
                                     cwd=cwd or session.folder, env=env,
                                     stdout=subprocess.PIPE, stderr=self.stderr)
        self.output = bytearray()
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        while True:
            chunk = self.process.stdout.read1(4096)
            if not chunk:
                return
            self.output += chunk

    def window(self, timeout=20):
        x = self.session.x
        windows = wait_until(lambda: self.exited() is None and x.windows_titled(TITLE) or
                             self._fail_if_exited(), timeout, "the intro's window")
        check(len(windows) == 1, f"{len(windows)} windows titled {TITLE!r}")
        return windows[0]

    def _fail_if_exited(self):
        code = self.exited()
        check(code is None, f"the intro ended early with code {code}; "
                            f"stderr: {self.stderr_text()}")
        return None

    def exited(self):
        return self.process.poll()

    def stderr_text(self):
        with open(self.session.path("intro.stderr"), "rb") as f:
            return f.read().decode(errors="replace")

    def wait_exit(self, timeout):
        asked = time.monotonic()
        try:
            code = self.process.wait(timeout)
            self.exit_seconds = time.monotonic() - asked
        except subprocess.TimeoutExpired:
            raise Failure(f"the intro didn't end within {timeout} s of the close request")
        self.reader.join(5)
        return code

    def check_ended_cleanly(self, timeout=10):
        code = self.wait_exit(timeout)
        check(code == 0, f"exit code {code}; stderr: {self.stderr_text()}")
        check(bytes(self.output) == BANNER + CLOSING,
              f"console output {bytes(self.output)!r}, expected the banner, then the closing line")


def key(session, window, keys):
    """Gives the window the keyboard (through the window manager if there is
    one, directly on a bare X server) and types."""
    env = dict(os.environ, DISPLAY=session.display_name)
    if session.window_manager:
        # Asks the window manager, which may still be busy with the window
        # (a fullscreen switch): ask again a few times.
        for _ in range(10):
            if subprocess.run(["xdotool", "windowactivate", "--sync", str(window)], env=env,
                              capture_output=True, timeout=10).returncode == 0:
                break
            time.sleep(0.3)
        else:
            raise Failure("the window manager won't activate the window")
    else:
        subprocess.run(["xdotool", "windowfocus", "--sync", str(window)], env=env, check=True,
                       timeout=10)
    subprocess.run(["xdotool", "key", "--delay", "80", *keys], env=env, check=True, timeout=10)


def resize(session, window, width, height):
    env = dict(os.environ, DISPLAY=session.display_name)
    # At the top left, so that the whole window is on the screen to be read back.
    subprocess.run(["xdotool", "windowmove", str(window), "0", "0"], env=env, check=True,
                   timeout=10)
    subprocess.run(["xdotool", "windowsize", str(window), str(width), str(height)], env=env,
                   check=True, timeout=10)
    wait_until(lambda: session.x.size(window) == (width, height), 10,
               f"the window to become {width} x {height}")
    time.sleep(0.5)   # a few turns to present at the new size


def frame_number(session, picture):
    """The number of the frame the core draws that equals a 640 x 400 picture."""
    check((picture.width, picture.height) == (PICTURE_W, PICTURE_H), "not a whole picture")
    # The capture tool prints each frame's hash (FNV-1a 64 of blue, green,
    # red, 0 per pixel); its frame i is the picture after i + 1 turns.
    serial = bytearray(len(picture.rgb) // 3 * 4)
    serial[0::4], serial[1::4], serial[2::4] = picture.rgb[2::3], picture.rgb[1::3], picture.rgb[0::3]
    wanted = 0xcbf29ce484222325
    for byte in serial:
        wanted = ((wanted ^ byte) * 0x100000001b3) & 0xFFFFFFFFFFFFFFFF
    wanted, answer = f"{wanted:016x}", "none"
    with subprocess.Popen([session.options.reference, "frames", str(FRAME_SEARCH_LIMIT)], cwd=session.folder,
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True) as frames:
        for line in frames.stdout:
            if line.split()[1] == wanted:
                answer = str(int(line.split()[0]) + 1)
                break
        frames.kill()
    check(answer != "none",
          f"the window shows no frame the core draws in its first {FRAME_SEARCH_LIMIT} "
          f"({answer}); colours on screen: {sorted(picture.colours())[:8]}")
    return int(answer)


def check_picture_at(session, window, scale, background=WHITE):
    """The window shows a frame of the intro at a whole-number scale, centred,
    with the background colour (white in a window, black in fullscreen)
    around it. Returns the frame's number."""
    return frame_number(session, picture_at(session.x.screenshot(window), scale, background))


def picture_at(shot, scale, background=WHITE):
    """The 640 x 400 picture in a screenshot at a whole-number scale, after
    checking the bands around it are all `background`."""
    name = "white" if background == WHITE else "black"
    w, h = PICTURE_W * scale, PICTURE_H * scale
    left, top = (shot.width - w) // 2, (shot.height - h) // 2
    check(left >= 0 and top >= 0, f"window {shot.width} x {shot.height} too small for {scale}x")
    if top > 0:
        check(shot.crop(0, 0, shot.width, top).is_uniform(background),
              f"the band above isn't {name}")
        check(shot.crop(0, top + h, shot.width, shot.height - top - h).is_uniform(background),
              f"the band below isn't {name}")
    if left > 0:
        check(shot.crop(0, 0, left, shot.height).is_uniform(background),
              f"the band at left isn't {name}")
        check(shot.crop(left + w, 0, shot.width - left - w, shot.height).is_uniform(background),
              f"the band at right isn't {name}")
    picture = shot.crop(left, top, w, h)
    check(not picture.is_uniform(background), f"the picture is blank {name}: nothing presented")
    while scale > 1:
        check(scale % 2 == 0, "only scales that are powers of two are checked")
        half = picture.halved()
        check(half.doubled().rgb == picture.rgb,
              "the picture isn't made of whole 2 x 2 blocks: scaled with blur or unevenly")
        picture, scale = half, scale // 2
    return picture


# ---------------------------------------------------------------- cases

def case_close_button(options):
    """A real close request (what a window manager sends for the close
    button) ends the intro after the banner, the window and a frame. The
    window is shown once: it isn't replaced by another after it appears."""
    with Session(options, "1280x1024") as session:
        maps = Display(session.display_name)
        maps.watch_maps()
        intro = Intro(session, "disk", session.path("sound.raw"))
        window = intro.window()
        check(bytes(intro.output) == BANNER,
              f"console shows {bytes(intro.output)!r} when the window appears; expected the banner")
        check(session.x.size(window) == (PICTURE_W, PICTURE_H),
              f"first window {session.x.size(window)} on a 1280 x 1024 screen; expected 640 x 400")
        time.sleep(1.5)
        frame = check_picture_at(session, window, 1)
        print(f"1x window shows frame {frame}")
        mapped = maps.mapped_windows()
        maps.close()
        check(mapped == [window], f"windows shown: {mapped}; expected only the intro's {window}")
        session.x.send_close(window)
        intro.check_ended_cleanly()


def case_keys_close(options, keys):
    """A key ends the intro as the close button does."""
    with Session(options, "1280x1024") as session:
        intro = Intro(session, "dummy")
        window = intro.window()
        time.sleep(1.0)
        key(session, window, ["Escape"] if keys == "escape" else ["alt+F4"])
        intro.check_ended_cleanly()


def case_scaling(options):
    """The first window on a 1920 x 1080 screen is 2x; every size shows the
    picture at the largest whole scale that fits, sharp and centred on white."""
    with Session(options, "1920x1080") as session:
        intro = Intro(session, "dummy")
        window = intro.window()
        check(session.x.size(window) == (1280, 800),
              f"first window {session.x.size(window)} on a 1920 x 1080 screen; expected 1280 x 800")
        time.sleep(1.0)
        frames = [check_picture_at(session, window, 2)]
        resize(session, window, 640, 400)
        frames.append(check_picture_at(session, window, 1))
        resize(session, window, 1400, 900)
        frames.append(check_picture_at(session, window, 2))
        resize(session, window, 1279, 1000)   # one pixel short of 2x
        frames.append(check_picture_at(session, window, 1))
        resize(session, window, 1280, 800)
        frames.append(check_picture_at(session, window, 2))
        print(f"frames shown: {frames}")
        check(frames == sorted(frames), f"frames went backwards: {frames}")
        session.x.send_close(window)
        intro.check_ended_cleanly()


def case_fullscreen(options):
    """F11 and Alt+Enter switch to fullscreen and back (as a window manager
    carries it out), the picture staying at the largest whole scale, centred,
    on black and without the pointer in fullscreen, on white with it in a
    window; Alt+F4, taken by the window manager, then closes the intro.
    --fullscreen starts the intro so."""
    if not shutil.which("openbox"):
        print("SKIP: needs the openbox window manager")
        sys.exit(77)
    with Session(options, "1920x1080", window_manager=True) as session:
        intro = Intro(session, "dummy")
        window = intro.window()
        windowed = (1280, 800)
        try:
            wait_until(lambda: session.x.size(window) == windowed, 10, "the first window at 2x")
        except Failure as failure:
            raise Failure(f"{failure}; it is {session.x.size(window)}") from None
        time.sleep(1.0)
        frames = [check_picture_at(session, window, 2)]
        for keys in (["F11"], ["alt+Return"], ["alt+KP_Enter"]):
            for expected in ((1920, 1080), windowed):
                key(session, window, keys)
                wait_until(lambda: session.x.size(window) == expected, 10,
                           f"{expected[0]} x {expected[1]} after {keys[0]}")
                time.sleep(0.5)
                fullscreen = expected == (1920, 1080)
                frames.append(check_picture_at(session, window, 2, BLACK if fullscreen else WHITE))
                pointer_over(session, window)
                check(session.x.cursor_is_blank() == fullscreen,
                      f"the pointer is {'shown' if fullscreen else 'hidden'} "
                      f"{'in fullscreen' if fullscreen else 'in the window'}")
        print(f"frames shown: {frames}")
        check(frames == sorted(frames), f"frames went backwards: {frames}")
        key(session, window, ["alt+F4"])
        intro.check_ended_cleanly()

        intro = Intro(session, "dummy", args=["--fullscreen"])
        window = intro.window()
        wait_until(lambda: session.x.size(window) == (1920, 1080), 10, "a fullscreen window")
        time.sleep(1.0)
        check_picture_at(session, window, 2, BLACK)
        pointer_over(session, window)
        check(session.x.cursor_is_blank(), "the pointer is shown in fullscreen")
        key(session, window, ["Escape"])
        intro.check_ended_cleanly()


def pointer_over(session, window):
    env = dict(os.environ, DISPLAY=session.display_name)
    subprocess.run(["xdotool", "mousemove", "--window", str(window), "100", "100"], env=env,
                   check=True, timeout=10)
    time.sleep(0.3)


def case_no_sound_device(options):
    """Without a sound device the warning goes to stderr, once, and the
    picture runs at once: no box waits for a click."""
    with Session(options, "1280x1024") as session:
        # The disk driver's output file can't be created: the device won't open.
        intro = Intro(session, "disk", session.path("no-such-folder/sound.raw"))
        window = intro.window()
        check(not session.x.windows_titled(b"ERROR", viewable_only=False), "a warning box is shown")
        time.sleep(1.0)
        check_picture_at(session, window, 1)
        warnings = intro.stderr_text().count("Can't open the SoundServer.")
        check(warnings == 1, f"the warning is on stderr {warnings} times; stderr: {intro.stderr_text()}")
        check("ERROR: ERROR" not in intro.stderr_text(), "the warning's caption is printed too")
        session.x.send_close(window)
        intro.check_ended_cleanly()


def reference_stream(session, length):
    path = session.path("reference.raw")
    # The server's calls (a whole ring, then 20 ms at a time), the silent
    # first ones included, as the capture tool makes them.
    subprocess.run([session.options.reference, "sound", "--seconds", str(length // 88200 + 1), "--lead-in",
                    "--raw", path], cwd=session.folder, check=True, timeout=600)
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


def check_unbroken(session, played, label):
    """The whole output, checked: silence, the music rising from 0 over its
    first 20 ms, then the player's stream sample for sample with no break,
    then 20 ms going down to 0 at the close, then silence. Returns the
    number of samples that were the stream itself."""
    stream = reference_stream(session, len(played) + 5 * BYTES_PER_SECOND)
    ref, out = array.array("h", stream), array.array("h", played[:len(played) // 2 * 2])
    if song_present(session):
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


def case_sound(options):
    """What SDL's disk driver receives, start to close: silence, the music
    fading in, the player's stream sample for sample without a single break,
    the music fading out."""
    with Session(options, "1280x1024") as session:
        audio = session.path("sound.raw")
        intro = Intro(session, "disk", audio)
        window = intro.window()
        time.sleep(1.0)
        first_size, first_time = os.path.getsize(audio), time.monotonic()
        time.sleep(max(options.seconds - 1.0, 1.0))
        last_size, last_time = os.path.getsize(audio), time.monotonic()
        session.x.send_close(window)
        intro.check_ended_cleanly()
        with open(audio, "rb") as f:
            played = f.read()
        # For the record: the output's pace against the wall clock, taken in
        # SDL's bursts of 512 samples (11.6 ms), which are the cursor's steps.
        print(f"disk output: {(last_size - first_size) / 2 / (last_time - first_time):.0f} samples a second "
              f"over {last_time - first_time:.3f} s")
        # SDL's disk driver paces itself with sleeps and falls behind real
        # time on a loaded machine (by a tenth under ThreadSanitizer): the
        # output must only have run throughout.
        check(len(played) >= options.seconds / 2 * BYTES_PER_SECOND,
              f"only {len(played) / BYTES_PER_SECOND:.3f} s of sound in {options.seconds} s")
        equal = check_unbroken(session, played, "disk output")
        if song_present(session):
            check(equal >= len(played) / 2 - 44100,
                  f"only {equal / 44100:.3f} s of the stream in {len(played) / BYTES_PER_SECOND:.3f} s played")


def case_sound_lost(options):
    """An output that fails at every write (a full disk stands for a device
    gone) neither hangs nor stops the picture, and the intro still ends at
    once on a close request."""
    with Session(options, "1280x1024") as session:
        intro = Intro(session, "disk", "/dev/full")
        window = intro.window()
        time.sleep(1.0)
        first = check_picture_at(session, window, 1)
        time.sleep(5.0)   # two attempts to get the sound back
        later = check_picture_at(session, window, 1)
        check(later >= first, "the picture went backwards")
        check(intro.exited() is None, "the intro ended")
        # SDL's disk driver notes every opening of its file.
        openings = intro.stderr_text().count("Writing to file")
        check(openings >= 3, f"the output was opened {openings} times in 6 s; "
                             "expected attempts to get it back every 2 s")
        session.x.send_close(window)
        intro.check_ended_cleanly(timeout=5)


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


def case_sound_back(options):
    """The output goes away (the reader of the intro's sound leaves) and
    comes back: the music is heard again, continuing the same stream, and
    the picture runs throughout. The intro then ends cleanly even while its
    sound is stuck waiting for an output that doesn't come."""
    with Session(options, "1280x1024") as session:
        fifo = session.path("sound.fifo")
        os.mkfifo(fifo)
        first = FifoListener(fifo, 3.0)
        intro = Intro(session, "disk", fifo)
        window = intro.window()
        first.join(30)
        lost_at = time.monotonic()
        frame_before = check_picture_at(session, window, 1)
        time.sleep(3.0)   # lost; reopening waits for a reader
        check(intro.exited() is None, "the intro ended when its output went away")
        second = FifoListener(fifo, 10.0)
        second.opened.wait(30)
        back_at = time.monotonic()
        second.join(30)
        frame_after = check_picture_at(session, window, 1)
        check(frame_after >= frame_before, "the picture went backwards")
        outage = back_at - lost_at
        runs_before = check_stretch(session, bytes(first.data), 1, "before the loss")
        end_before = max((s + l for _, s, l in runs_before), default=0)
        # Found from where the music stood when the output went (less a ring
        # that may play once more): the music goes on, it doesn't start over.
        runs_after = check_stretch(session, bytes(second.data), 5, "after the output came back",
                                   stream_from=max(0, end_before - 8192), ahead_seconds=outage)
        if runs_before and runs_after:
            start_after = min(s for _, s, _ in runs_after)
            moved = (start_after - end_before) / BYTES_PER_SECOND
            print(f"output away for {outage:.3f} s; the music moved on {moved:.3f} s meanwhile")
            # The music keeps its time while unheard: it comes back where it
            # would be had the output never gone.
            check(abs(moved - outage) <= 0.5,
                  f"the music moved on {moved:.3f} s while the output was away {outage:.3f} s")
        # The output is gone again, and the sound thread hangs in opening it
        # anew (a FIFO without a reader): closing mustn't wait for it.
        time.sleep(3.5)
        session.x.send_close(window)
        intro.check_ended_cleanly(timeout=8)
        print(f"ended {intro.exit_seconds:.3f} s after the close request")


def run_plain(options, args, env=None, timeout=10):
    """Runs the program to its end without a display session; returns
    (exit code, stdout, stderr, seconds)."""
    started = time.monotonic()
    result = subprocess.run([options.program, *args], capture_output=True, env=env,
                            timeout=timeout, preexec_fn=_die_with_parent)
    return result.returncode, result.stdout, result.stderr, time.monotonic() - started


def case_no_display(options):
    """Without a display the intro says so and ends with code 1 at once,
    rather than run unseen."""
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER")}
    with tempfile.TemporaryDirectory() as runtime:
        env["XDG_RUNTIME_DIR"] = runtime   # no Wayland socket in it either
        code, out, err, seconds = run_plain(options, [], env)
    print(f"exit {code} after {seconds:.3f} s; stderr: {err.decode(errors='replace').strip()}")
    check(code == 1, f"exit code {code}; expected 1")
    check(b"no display" in err, "stderr doesn't say there is no display")
    check(seconds < 2.0, f"took {seconds:.3f} s to give up; expected under 2 s")


def case_fifo_song(options):
    """A FIFO where the song should be is no song: the window appears, the
    song is named missing, and SIGTERM ends the intro with the closing line.
    SIGINT during start-up does too. --assets reads from its folder alone."""
    with Session(options, "1280x1024") as session:
        assets = session.path("assets")
        os.mkdir(assets)
        for name in ASSETS[1:]:
            shutil.copy(session.path(name), assets)
        os.mkfifo(os.path.join(assets, "ZEB_27.DMP"))
        elsewhere = session.path("elsewhere")
        os.mkdir(elsewhere)
        intro = Intro(session, "dummy", args=["--assets", assets], cwd=elsewhere)
        window = intro.window()
        time.sleep(1.0)
        check_picture_at(session, window, 1)
        err = intro.stderr_text()
        check("ZEB_27.DMP" in err and all(name not in err for name in ASSETS[1:]),
              f"stderr should name the song alone as missing: {err}")
        intro.process.send_signal(signal.SIGTERM)
        intro.check_ended_cleanly()

        # The signal as soon as the banner is out: the intro is still starting.
        intro = Intro(session, "dummy", args=["--assets", assets], cwd=elsewhere)
        wait_until(lambda: bytes(intro.output) == BANNER or intro._fail_if_exited(), 20,
                   "the banner")
        intro.process.send_signal(signal.SIGINT)
        intro.check_ended_cleanly()


def case_other_folder(options):
    """Started from a folder without the assets, the intro finds them beside
    its executable and in share/quillmoor beside that, and names the one found
    nowhere (the song: the picture doesn't depend on it)."""
    with Session(options, "1280x1024") as session:
        prefix = session.path("prefix")
        os.makedirs(os.path.join(prefix, "bin"))
        os.makedirs(os.path.join(prefix, "share", "quillmoor"))
        program = shutil.copy(options.program, os.path.join(prefix, "bin"))
        shutil.copy(session.path("FNT1616.FTB"), os.path.join(prefix, "bin"))
        shutil.copy(session.path("FNT1616.GFX"), os.path.join(prefix, "bin"))
        shutil.copy(session.path("quillmoor_cut2_632x246x8.bmp"),
                    os.path.join(prefix, "share", "quillmoor"))
        elsewhere = session.path("elsewhere")
        os.mkdir(elsewhere)
        intro = Intro(session, "dummy", program=program, cwd=elsewhere)
        window = intro.window()
        time.sleep(1.0)
        frame = check_picture_at(session, window, 1)   # logo and text as in the session folder
        print(f"shows frame {frame}")
        err = intro.stderr_text()
        print(f"stderr: {err.strip()}")
        check("ZEB_27.DMP" in err, "the missing song isn't named")
        check(all(name not in err for name in ASSETS[1:]), "an asset that is there is named missing")
        session.x.send_close(window)
        intro.check_ended_cleanly()


def timed_screenshots(session, window, count=3):
    """A few screenshots a tenth of a second apart, each with its time."""
    taken = []
    for _ in range(count):
        before = time.monotonic()
        shot = session.x.screenshot(window)
        taken.append((shot, (before + time.monotonic()) / 2))
        time.sleep(0.1)
    return taken


def freshest_frame(session, taken):
    """Of timed screenshots, (frame, time) of the one furthest ahead of a
    clock at one frame per 9.5 ms. A screenshot can only show a frame older
    than the turns run (a present still to come, a moment a busy machine
    kept the intro waiting), never a newer one."""
    frames = [(frame_number(session, picture_at(shot, 1)), at) for shot, at in taken]
    return max(frames, key=lambda frame_at: frame_at[0] - frame_at[1] * 1000 / 9.5)


def case_pace(options):
    """With every present made 30 ms slower, fewer frames are shown, but the
    frame numbers still advance at one per 9.5 ms of wall time."""
    with Session(options, "1280x1024") as session:
        intro = Intro(session, "dummy", env_extra={"LD_PRELOAD": options.faults,
                                                   "QUILLMOOR_TEST_PRESENT_MS": "30"})
        window = intro.window()
        time.sleep(1.5)
        first = timed_screenshots(session, window)
        time.sleep(5.0 - 0.3)
        last = timed_screenshots(session, window)
        session.x.send_close(window)
        intro.check_ended_cleanly()
        start, start_at = freshest_frame(session, first)
        end, end_at = freshest_frame(session, last)
        rate = (end - start) / (end_at - start_at)
        print(f"frames {start} -> {end} in {end_at - start_at:.3f} s: {rate:.1f} a second "
              f"(one per 9.5 ms is {1000 / 9.5:.1f})")
        check(100 <= rate <= 110, f"{rate:.1f} frames a second; expected 105 +- 5")


def case_no_window(options):
    """When no window, or no renderer for it, can be made, the intro says so
    and ends with code 1."""
    with Session(options, "1280x1024") as session:
        for what, says in (("window", "can't make the window"), ("renderer", "can't draw")):
            intro = Intro(session, "dummy", env_extra={"LD_PRELOAD": options.faults,
                                                       "QUILLMOOR_TEST_FAIL": what})
            code = intro.wait_exit(20)
            err = intro.stderr_text()
            print(f"no {what}: exit {code}; stderr: {err.strip()}")
            check(code == 1, f"no {what}: exit code {code}; expected 1")
            check(says in err, f"no {what}: stderr doesn't say so")


def case_minimum_size(options):
    """The window can't be made smaller than 640 x 400: the window manager
    keeps to the size hints, and without one the intro restores the size."""
    for window_manager in (False, True):
        if window_manager and not shutil.which("openbox"):
            print("SKIP (with a window manager): needs openbox")
            continue
        with Session(options, "1280x1024", window_manager=window_manager) as session:
            intro = Intro(session, "dummy")
            window = intro.window()
            wait_until(lambda: session.x.size(window) == (PICTURE_W, PICTURE_H), 10,
                       "the first window at 1x")
            env = dict(os.environ, DISPLAY=session.display_name)
            for asked, kept in (((320, 200), (640, 400)), ((500, 600), (640, 600))):
                subprocess.run(["xdotool", "windowsize", str(window), str(asked[0]), str(asked[1])],
                               env=env, check=True, timeout=10)
                label = "with" if window_manager else "without"
                try:
                    wait_until(lambda: session.x.size(window) == kept, 10, f"{kept}")
                except Failure:
                    raise Failure(f"{label} a window manager the window became "
                                  f"{session.x.size(window)} when made {asked}; expected {kept}")
                time.sleep(0.5)   # and it stays so
                size = session.x.size(window)
                print(f"{label} a window manager: asked {asked}, the window is {size}")
                check(size == kept, f"{label} a window manager the window went on to {size}")
            shot = session.x.screenshot(window)
            picture = picture_at(shot.crop(0, 0, PICTURE_W, shot.height), 1)
            frame_number(session, picture)
            session.x.send_close(window)
            intro.check_ended_cleanly()


def case_command_line(options):
    """--help and --version answer and end; a bad argument prints the usage
    and exits 2; --scale and --mute change the window and the sound."""
    code, out, err, _ = run_plain(options, ["--help"])
    check(code == 0 and all(o in out for o in (b"--fullscreen", b"--scale", b"--mute",
                                               b"--assets", b"--version")),
          f"--help: exit {code}, output {out!r}")
    check(BANNER not in out, "--help starts the intro")
    code, out, err, _ = run_plain(options, ["--version"])
    check(code == 0 and out.startswith(b"quillmoor ") and out.strip()[-1:].isdigit(),
          f"--version: exit {code}, output {out!r}")
    for bad in (["--frobnicate"], ["--scale"], ["--scale", "0"], ["--scale", "two"], ["extra"]):
        code, out, err, _ = run_plain(options, bad)
        check(code == 2 and b"Usage" in err and not out,
              f"{bad}: exit {code}, stdout {out!r}, stderr {err!r}; expected the usage and 2")
    with Session(options, "1920x1080") as session:
        sound = session.path("sound.raw")
        intro = Intro(session, "disk", sound, args=["--scale", "1", "--mute"])
        window = intro.window()
        check(session.x.size(window) == (PICTURE_W, PICTURE_H),
              f"--scale 1 on a 1920 x 1080 screen gives {session.x.size(window)}")
        time.sleep(1.0)
        check_picture_at(session, window, 1)
        session.x.send_close(window)
        intro.check_ended_cleanly()
        check(not os.path.exists(sound), "--mute: the sound device was opened")


CASES = {
    "close-button": case_close_button,
    "escape": lambda options: case_keys_close(options, "escape"),
    "alt-f4": lambda options: case_keys_close(options, "alt-f4"),
    "scaling": case_scaling,
    "fullscreen": case_fullscreen,
    "no-sound-device": case_no_sound_device,
    "sound": case_sound,
    "sound-lost": case_sound_lost,
    "sound-back": case_sound_back,
    "no-display": case_no_display,
    "fifo-song": case_fifo_song,
    "other-folder": case_other_folder,
    "pace": case_pace,
    "no-window": case_no_window,
    "minimum-size": case_minimum_size,
    "command-line": case_command_line,
}


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("case", choices=sorted(CASES))
    parser.add_argument("--program", required=True)
    parser.add_argument("--reference", required=True)
    parser.add_argument("--assets", required=True)
    parser.add_argument("--seconds", type=float, default=12.0,
                        help="how long the sound case listens")
    parser.add_argument("--faults", help="the library that makes the display slow or failing")
    options = parser.parse_args()
    # A termination from outside still runs the cleanup of every process.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(3))
    try:
        CASES[options.case](options)
    except Failure as failure:
        print(f"FAIL: {failure}")
        return 1
    print("ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
