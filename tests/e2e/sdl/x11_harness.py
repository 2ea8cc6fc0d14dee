"""The X side of the Linux intro's end-to-end tests: windows looked at and
read back through python3-xlib, and a user's keys, pointer and window sizes
through xdotool, on the private X server of a session (intro_session.py)."""
import os
import subprocess
import time
import urllib.parse

import Xlib.display
import Xlib.error
import Xlib.protocol.event
import Xlib.X
import Xlib.Xatom
import Xlib.ext.xfixes  # noqa: F401  (registers the XFIXES requests)

from checks import Failure, check, wait_until


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
        size = self.size(window)
        check(size is not None, f"window {window:#x} is gone (the intro ended or replaced it)")
        w, h = size
        image = self._window(window).get_image(0, 0, w, h, Xlib.X.ZPixmap, 0xFFFFFFFF)
        raw = image.data
        check(len(raw) == w * h * 4, f"unexpected X image layout ({len(raw)} bytes for {w} x {h})")
        out = bytearray(w * h * 3)
        # Little-endian 32-bit pixels: B, G, R, unused.
        out[0::3], out[1::3], out[2::3] = raw[2::4], raw[1::4], raw[0::4]
        return Image(w, h, out)


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


def pointer_over(session, window):
    env = dict(os.environ, DISPLAY=session.display_name)
    subprocess.run(["xdotool", "mousemove", "--window", str(window), "100", "100"], env=env,
                   check=True, timeout=10)
    time.sleep(0.3)


def drop_files(display_name, target, paths, timeout=10):
    """Drops files on a window as a file manager does, by the X drag-and-drop
    protocol: the target is told a drag with a URI list entered and moved
    over it, then the drop; it asks for the list through the XdndSelection
    selection, which this source answers, and says when it has finished.
    Returns whether the target accepted the drop."""
    x = Display(display_name)
    try:
        d = x.handle
        source = x.root.create_window(0, 0, 1, 1, 0, d.screen().root_depth)
        uri_list = x.atom("text/uri-list")
        source.set_selection_owner(x.atom("XdndSelection"), Xlib.X.CurrentTime)
        destination = x._window(target)

        def send(kind, data):
            event = Xlib.protocol.event.ClientMessage(window=destination, client_type=x.atom(kind),
                                                      data=(32, [source.id, *data]))
            destination.send_event(event, event_mask=0)
            d.flush()

        def next_message(kind):
            deadline = time.monotonic() + timeout
            while time.monotonic() < deadline:
                while d.pending_events():
                    event = d.next_event()
                    if event.type == Xlib.X.SelectionRequest:
                        answer_request(event)
                    elif event.type == Xlib.X.ClientMessage and event.client_type == x.atom(kind):
                        return event
                time.sleep(0.01)
            raise Failure(f"drag and drop: no {kind} from the window within {timeout} s")

        def answer_request(request):
            text = "".join("file://" + urllib.parse.quote(os.path.abspath(p)) + "\r\n" for p in paths)
            requestor = request.requestor
            prop = request.property or request.target
            requestor.change_property(prop, request.target, 8, text.encode())
            notify = Xlib.protocol.event.SelectionNotify(time=request.time, requestor=requestor,
                                                         selection=request.selection,
                                                         target=request.target, property=prop)
            requestor.send_event(notify, event_mask=0)
            d.flush()

        geometry = destination.get_geometry()
        at = x.root.translate_coords(destination, geometry.width // 2, geometry.height // 2)
        send("XdndEnter", [5 << 24, uri_list, 0, 0])
        send("XdndPosition", [0, (at.x << 16) | at.y, Xlib.X.CurrentTime, x.atom("XdndActionCopy")])
        status = next_message("XdndStatus")
        accepted = bool(status.data[1][1] & 1)
        if not accepted:
            send("XdndLeave", [0, 0, 0, 0])
            return False
        send("XdndDrop", [0, Xlib.X.CurrentTime, 0, 0])
        next_message("XdndFinished")
        return True
    finally:
        x.close()
