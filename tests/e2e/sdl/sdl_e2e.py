#!/usr/bin/env python3
"""End-to-end tests of the Linux intro on a private X server: the cases and
the driver that runs one of them.

  sdl_e2e.py CASE --program quillmoor --reference quillmoor-capture --assets DIR [--seconds S] [--faults LIB]
  sdl_e2e.py --list

Each case starts its own session (intro_session.py: a temporary folder
holding the asset files, a private Xvfb, the intro), drives the intro as a
user would (close requests, keys, resizing: x11_harness.py) and checks what
it shows, plays and prints. Screenshots come straight from the X server;
what the picture should be comes from quillmoor-capture, which runs the same
core without a window (picture_match.py), and so does the sound it should
play (stream_match.py).

--list prints the cases, one a line, each followed by its ctest labels
(tsan: one of TSAN_CASES); tests/e2e/sdl/CMakeLists.txt registers one test
per line when it configures. A new case is a function taking the options
and an entry in CASES. Exits 0 when the case passes, 1 when it fails, 77
when it can't be run here.
"""
import argparse
import array
import os
import random
import struct
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from checks import Failure, check, wait_until
from intro_session import BANNER, Intro, Session, run_plain
from picture_match import (BLACK, PICTURE_H, PICTURE_W, WHITE, check_picture_at, frame_number,
                           freshest_frame, picture_at, timed_screenshots)
from stream_match import (BYTES_PER_SECOND, FifoListener, check_stretch, check_unbroken,
                          song_present)
from x11_harness import Display, drop_files, key, pointer_over, resize

ASSETS = ("ZEB_27.DMP", "quillmoor_cut2_632x246x8.bmp", "FNT1616.FTB", "FNT1616.GFX")


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


def write_test_songs(folder):
    """Two short songs of the player's two formats, unlike the assets' song:
    raw 14-byte frames, and the same tune as "YMDX" delta frames. Their
    registers change every frame, so that no stretch of one matches another
    song by chance."""
    rng = random.Random(24)
    frames = []
    for _ in range(300):
        periods = [rng.randrange(60, 900) for _ in range(3)]
        mixer = 0b110000 if rng.random() < 0.3 else 0b111000   # noise on voice A now and then
        frames.append(struct.pack("<HHHBBBBBBBB", *periods, rng.randrange(32), mixer, rng.randrange(8, 16),
                                  rng.randrange(6, 16), rng.randrange(4, 16), 0, 0, 255))
    raw = os.path.join(folder, "tune.dmp")
    with open(raw, "wb") as f:
        f.write(b"".join(frames))
    # Delta frames: the change mask (bit 15 - r for register r), then the
    # changed registers; every frame here writes registers 0 to 12.
    delta = os.path.join(folder, "tune.ymdx")
    with open(delta, "wb") as f:
        f.write(b"YMDX" + bytes(28))
        mask = sum(1 << (15 - r) for r in range(13))
        for frame in frames:
            f.write(struct.pack(">H", mask) + frame[:13])
    return raw, delta


def case_song(options):
    """--song plays the file named, raw frames or delta frames, exactly as
    the player plays it; a song or an assets folder that can't be used ends
    the program at once with the reason and exit 1, before any window."""
    with Session(options, "1280x1024") as session:
        raw, delta = write_test_songs(session.folder)
        for song in (raw, delta):
            audio = session.path("sound.raw")
            intro = Intro(session, "disk", audio, args=["--song", song])
            window = intro.window()
            time.sleep(4.0)
            session.x.send_close(window)
            intro.check_ended_cleanly()
            with open(audio, "rb") as f:
                played = f.read()
            equal = check_unbroken(session, played, os.path.basename(song), song=song)
            check(equal >= 2 * 44100, f"{song}: only {equal / 44100:.3f} s of its stream played")
            os.remove(audio)

        session.x.watch_maps()
        unreadable = session.path("locked.dmp")
        shutil.copy(raw, unreadable)
        os.chmod(unreadable, 0)
        bad = [(["--song", session.path("no such song")], "cannot read"),
               (["--song", session.folder], "cannot read"),
               (["--assets", session.path("no such folder")], "cannot use the assets folder"),
               (["--assets", raw], "cannot use the assets folder")]
        if os.geteuid() != 0:   # root reads every file whatever its permissions
            bad.append((["--song", unreadable], "cannot read"))
        for args, says in bad:
            started = time.monotonic()
            intro = Intro(session, "dummy", args=args)
            code = intro.wait_exit(5)
            seconds = time.monotonic() - started
            err = intro.stderr_text()
            print(f"{args}: exit {code} in {seconds:.2f} s: {err.strip()}")
            check(code == 1, f"{args}: exit code {code}; expected 1")
            check(seconds < 1.0, f"{args}: took {seconds:.2f} s to refuse")
            check(err.startswith("quillmoor: error: " + says) and args[1] in err and err.count("\n") == 1,
                  f"{args}: stderr {err!r}")
        check(not session.x.mapped_windows(), "a window was opened for a song or folder that can't be used")


def split_at_silence(played, after):
    """The byte offset in the middle of the longest run of silence that
    starts after byte `after`: where one song's sound ends and the next's
    begins."""
    out = array.array("h", played[:len(played) // 2 * 2])
    best, run_start, i = (0, 0), None, after // 2
    for i in range(after // 2, len(out)):
        if out[i] == 0:
            run_start = i if run_start is None else run_start
        elif run_start is not None:
            best = max(best, (i - run_start, run_start))
            run_start = None
    length, start = best
    return (start + length // 2) * 2, length


def case_song_drop(options):
    """Files dropped on the window by the X drag-and-drop protocol: a folder
    is no song (one line on stderr, the music plays on unbroken); two files
    at once play the first and name the second as ignored. The output is the
    assets' song to a fade-out, at most 250 ms of silence beyond the new
    song's own silent start, then the new song from its start sample for
    sample; the frames keep their pace through the switch."""
    with Session(options, "1280x1024", window_manager=bool(shutil.which("openbox"))) as session:
        raw, delta = write_test_songs(session.folder)
        audio = session.path("sound.raw")
        intro = Intro(session, "disk", audio, args=["--scale", "1"])
        window = intro.window()
        time.sleep(2.0)
        check(drop_files(session.display_name, window, [session.folder]), "the window refused the drop")
        time.sleep(1.5)
        err = intro.stderr_text()
        check(f"cannot read {session.folder}" in err, f"the dropped folder isn't named on stderr: {err!r}")
        before = timed_screenshots(session, window)
        switched_at = os.path.getsize(audio)
        check(drop_files(session.display_name, window, [delta, raw]), "the window refused the drop")
        after = timed_screenshots(session, window)
        time.sleep(4.0)
        session.x.send_close(window)
        intro.check_ended_cleanly()
        err = intro.stderr_text()
        check(f"ignored dropped file {raw}" in err, f"the second file dropped isn't named as ignored: {err!r}")
        ours = [line for line in err.splitlines() if line.startswith("quillmoor:")]
        check(len(ours) == 2, f"stderr should hold the two lines about the drops: {err!r}")

        start, start_at = freshest_frame(session, before)
        end, end_at = freshest_frame(session, after)
        rate = (end - start) / (end_at - start_at)
        print(f"frames {start} -> {end} over the switch, {rate:.1f} a second")
        # A frame count that started again with the song would fall back.
        check(end > start > 0, f"the frames went from {start} to {end} through the switch")

        with open(audio, "rb") as f:
            played = f.read()
        cut, silence = split_at_silence(played, max(0, switched_at - BYTES_PER_SECOND))
        first = check_unbroken(session, played[:cut], "the assets' song, through the dropped folder")
        check(first >= 3 * 44100, f"only {first / 44100:.3f} s of the assets' song before the switch")
        second = check_unbroken(session, played[cut:], "the dropped song", song=delta)
        check(second >= 3 * 44100, f"only {second / 44100:.3f} s of the dropped song")
        lead_in = 4096 + 8 * 882   # the new song's own silent start, as the capture tool makes it
        gap = (silence - lead_in) / 44100
        print(f"between the songs: {silence / 44100:.3f} s of silence, {gap:.3f} s beyond the new song's start")
        check(gap <= 0.25, f"{gap:.3f} s of silence between the songs beyond the new song's own start")


def write_other_pieces(session, folder, new_font):
    """In `folder`, under the assets' names, a logo made different but valid
    (the negative, or with a new font the rows upside down), the font (the
    assets', or the letters' glyph numbers moved on by one and the glyphs
    inverted) and a text page of the folder's own. Returns the page."""
    os.makedirs(folder, exist_ok=True)
    with open(session.path(ASSETS[1]), "rb") as f:
        logo = bytearray(f.read())
    pixels = logo[1078:1078 + 632 * 246]
    if new_font:
        logo[1078:1078 + len(pixels)] = b"".join(pixels[632 * r:632 * (r + 1)] for r in reversed(range(246)))
    else:
        logo[1078:1078 + len(pixels)] = bytes(0 if p else 7 for p in pixels)
    with open(session.path(ASSETS[2]), "rb") as f:
        table = bytearray(f.read())
    with open(session.path(ASSETS[3]), "rb") as f:
        glyphs = f.read()
    if new_font:
        table[65:91] = table[66:91] + table[65:66]
        glyphs = bytes(255 - b for b in glyphs)
    for name, data in ((ASSETS[1], logo), (ASSETS[2], table), (ASSETS[3], glyphs)):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
    page = os.path.join(folder, "page.txt")
    with open(page, "w") as f:
        f.write(f"\n\n  PIECES OF {os.path.basename(folder).upper()}\n")
    return page


def replace_by_rename(path, data):
    with open(path + ".new", "wb") as f:
        f.write(data)
    os.replace(path + ".new", path)


def write_in_place(path, data):
    with open(path, "r+b") as f:
        f.truncate(0)
        f.write(data)


def shot_at(session, window, at):
    """The picture in the window at `at` (monotonic seconds) or just after."""
    time.sleep(max(0.0, at - time.monotonic()))
    return picture_at(session.x.screenshot(window), 1)


def shown_frame(session, label, picture, reference_args):
    """The turn whose frame, as the core draws it with the files named
    (--assets, --text), the picture is. Looked for once the intro has
    ended: drawing thousands of frames beside it would starve its sound."""
    try:
        frame = frame_number(session, picture, reference_args)
    except Failure as failure:
        raise Failure(f"{label}: {failure}") from None
    print(f"{label}: shows frame {frame} as drawn from {' '.join(reference_args)}")
    return frame


def case_watch(options):
    """--watch follows the files read: a text page renamed over and a logo
    written in place are drawn within 250 ms, the frame the one a run with
    the new files draws at that turn; a logo cut short leaves the one
    before, with one warning. Files dropped on the window are taken by their
    kind: a text page and a logo together, the font's two files one at a
    time; a text page that can't be drawn is named and the page before
    stays. Then the song replaced by rename and then written in place is
    played from its start each time, sample for sample after its fade-in,
    the switch beginning within 250 ms of the change."""
    with Session(options, "1280x1024") as session:
        raw, delta = write_test_songs(session.folder)
        live = session.path("live")
        edited = session.path("edited")
        page = write_other_pieces(session, edited, new_font=False)
        dropped = session.path("dropped")
        dropped_page = write_other_pieces(session, dropped, new_font=True)
        bad_page = session.path("bad.txt")
        with open(bad_page, "w") as f:
            f.write("NOT [OK]\n")
        os.mkdir(live)
        for name in ASSETS:
            shutil.copy(session.path(name), live)
        live_page = os.path.join(live, "page.txt")
        with open(live_page, "w") as f:
            f.write("  FIRST PAGE\n")
        audio = session.path("sound.raw")
        intro = Intro(session, "disk", audio, args=["--scale", "1", "--watch", "--assets", live,
                                                    "--text", live_page])
        window = intro.window()
        time.sleep(2.0)
        with open(page, "rb") as f:
            replace_by_rename(live_page, f.read())
        with open(os.path.join(edited, ASSETS[1]), "rb") as f:
            write_in_place(os.path.join(live, ASSETS[1]), f.read())
        changed = time.monotonic()
        saved = shot_at(session, window, changed + 0.25)
        write_in_place(os.path.join(live, ASSETS[1]), b"BM" + bytes(1000))
        cut_short = shot_at(session, window, time.monotonic() + 0.5)
        for paths in ([dropped_page, os.path.join(dropped, ASSETS[1])], [os.path.join(dropped, ASSETS[2])],
                      [bad_page], [os.path.join(dropped, ASSETS[3])]):
            check(drop_files(session.display_name, window, paths), "the window refused the drop")
        after_drops = shot_at(session, window, time.monotonic() + 0.5)
        song = os.path.join(live, ASSETS[0])
        switches = []
        for change, tune in ((replace_by_rename, delta), (write_in_place, raw)):
            with open(tune, "rb") as f:
                data = f.read()
            switches.append(os.path.getsize(audio))
            change(song, data)
            time.sleep(3.0)

        session.x.send_close(window)
        intro.check_ended_cleanly()
        err = intro.stderr_text()
        ours = [line for line in err.splitlines() if line.startswith("quillmoor:")]
        expected = [f"quillmoor: warning: cannot use {live}/{ASSETS[1]} as the logo: it is too short for a "
                    "632 x 246 picture of 8 bits a pixel (the logo before stays)",
                    f"quillmoor: warning: {bad_page}:1:5: the font has no glyph for '[' "
                    "(the text page before stays)"]
        check(ours == expected, f"stderr should say {expected}: {err!r}")

        with open(audio, "rb") as f:
            played = f.read()
        cuts = []
        for at, limit in zip(switches, switches[1:] + [len(played)]):
            cut, silence = split_at_silence(played[:limit], max(0, at - BYTES_PER_SECOND))
            # From the output's length when the file changed to the start of
            # the silence the fade-out ends in.
            delay = ((cut - silence // 2 * 2) - at) / BYTES_PER_SECOND - 0.02
            print(f"switch {len(cuts) + 1}: the fade-out began {delay:.3f} s of output after the change")
            check(delay <= 0.25, f"switch {len(cuts) + 1} began {delay:.3f} s after the change")
            cuts.append(cut)
        # While the pictures were looked at and the files dropped, a busy
        # machine may have held a refill up: the assets' song need only be there.
        check_stretch(session, played[:cuts[0]], 1, "the assets' song")
        for (start, end), tune in (((cuts[0], cuts[1]), delta), ((cuts[1], len(played)), raw)):
            equal = check_unbroken(session, played[start:end], os.path.basename(tune), song=tune)
            check(equal >= 1.5 * 44100, f"only {equal / 44100:.3f} s of {tune}")

        seen = shown_frame(session, "text page and logo saved", saved, ["--assets", edited, "--text", page])
        later = shown_frame(session, "logo cut short", cut_short, ["--assets", edited, "--text", page])
        check(later > seen, f"frame {later} after frame {seen}")
        shown_frame(session, "pieces dropped", after_drops, ["--assets", dropped, "--text", dropped_page])


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
    "song": case_song,
    "song-drop": case_song_drop,
    "watch": case_watch,
}

# The cases where the sound thread does something of its own (plays, loses
# its output, gets it back, takes a dropped song): ThreadSanitizer's. The
# window's geometry, the pace and the command line are the plain build's.
TSAN_CASES = {"sound", "sound-lost", "sound-back", "song-drop"}


def list_cases():
    unknown = TSAN_CASES - CASES.keys()
    if unknown:
        raise SystemExit(f"sdl_e2e.py: error: TSAN_CASES names no case: {', '.join(sorted(unknown))}")
    for name in CASES:
        print(name + (" tsan" if name in TSAN_CASES else ""))


def main():
    if sys.argv[1:] == ["--list"]:
        list_cases()
        return 0
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
