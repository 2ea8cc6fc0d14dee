"""The processes of one case of the Linux intro's end-to-end tests: a
temporary folder with the assets, a private Xvfb (display picked by Xvfb
through -displayfd), a window manager where the case wants one, and the intro
itself with its console output collected as it comes.

Every process a case starts is ended by its pid when the case ends, and is
also told to die with the driver should the driver itself be killed."""
import ctypes
import os
import select
import shutil
import signal
import subprocess
import tempfile
import threading
import time

from checks import check, Failure, wait_until
from x11_harness import Display

BANNER = b"\nQuillmoor & #plinthcrew - Cloudparcel - Volume #1\n"
CLOSING = b"\n\nWinStreamer successfully closed.\n\n"
TITLE = b"Quillmoor-2014"


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

    def __exit__(self, kind, *_):
        # A failing case says what the intro wrote to stderr before its
        # folder goes.
        if kind is not None:
            for name in sorted(os.listdir(self.folder)):
                if name.endswith(".stderr"):
                    with open(self.path(name), "rb") as f:
                        tail = f.read()[-4000:].decode(errors="replace")
                    print(f"--- {name} (last 4000 bytes):\n{tail}")
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


def run_plain(options, args, env=None, timeout=10):
    """Runs the program to its end without a display session; returns
    (exit code, stdout, stderr, seconds)."""
    started = time.monotonic()
    result = subprocess.run([options.program, *args], capture_output=True, env=env,
                            timeout=timeout, preexec_fn=_die_with_parent)
    return result.returncode, result.stdout, result.stderr, time.monotonic() - started
