"""The X side of the end-to-end tests: real clients, their frames, moves, keys, screenshots.

Frames are read from the X server the way Tavelor defines them: the client's
outer corner (its X border included) in root coordinates minus the left and top
`_NET_FRAME_EXTENTS`, the client's size plus its border and the extents.
(xdotool's and wmctrl's own geometry count the frame twice, so they are only used
to send requests.)
"""

import ctypes
import os
import re
import subprocess
import time

from panel import wait_until


def run(*argv, check=True):
    return subprocess.run(argv, check=check, capture_output=True, text=True).stdout


class Frame(tuple):
    """x, y, width, height of a window's visible frame."""

    def __new__(cls, x, y, width, height):
        return super().__new__(cls, (x, y, width, height))

    x = property(lambda self: self[0])
    y = property(lambda self: self[1])
    width = property(lambda self: self[2])
    height = property(lambda self: self[3])


def frame_extents(window):
    out = run("xprop", "-id", str(window), "_NET_FRAME_EXTENTS", check=False)
    match = re.search(r"=\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)", out)
    return tuple(int(v) for v in match.groups()) if match else (0, 0, 0, 0)


def frame_of(window):
    info = run("xwininfo", "-id", str(window))
    fields = {key: int(value) for key, value in
              re.findall(r"^\s*(Absolute upper-left [XY]|Width|Height|Border width):\s*(-?\d+)",
                         info, re.M)}
    left, right, top, bottom = frame_extents(window)
    # xwininfo's upper-left corner is outside the border already.
    border = 2 * fields["Border width"]
    return Frame(fields["Absolute upper-left X"] - left, fields["Absolute upper-left Y"] - top,
                 fields["Width"] + border + left + right, fields["Height"] + border + top + bottom)


def size_increments(window):
    """The client's WM_NORMAL_HINTS resize increments, (1, 1) when it sets none."""
    out = run("xprop", "-id", str(window), "WM_NORMAL_HINTS", check=False)
    match = re.search(r"resize increment:\s*(\d+) by (\d+)", out)
    return (int(match.group(1)), int(match.group(2))) if match else (1, 1)


def frames_match(actual, expected, increments=(1, 1)):
    """Same position; sizes equal, or within one resize increment below or above
    (an application that applies increments rounds the size it is given)."""
    width_step, height_step = increments
    return (actual.x == expected.x and actual.y == expected.y
            and abs(actual.width - expected.width) < max(width_step, 1)
            and abs(actual.height - expected.height) < max(height_step, 1))


class Client:
    """A real X client with one top-level window, found by its unique title."""

    def __init__(self, argv, title):
        self.title = title
        self.process = subprocess.Popen(argv, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        self.window = wait_until(self._find, 15, f"the window {title!r}")
        # Mapped and managed: every window manager sets WM_STATE when it takes a
        # window; openbox sets the frame extents when it reparents.
        wait_until(lambda: "window state" in run("xprop", "-id", str(self.window), "WM_STATE",
                                                 check=False), 10, f"the WM to take {title!r}")
        if os.environ.get("TAVELOR_TEST_WM", "openbox") == "openbox":
            wait_until(lambda: frame_extents(self.window) != (0, 0, 0, 0), 10,
                       f"openbox to frame {title!r}")

    def _find(self):
        out = run("xdotool", "search", "--onlyvisible", "--name", f"^{re.escape(self.title)}$",
                  check=False)
        ids = [int(line) for line in out.split()]
        return ids[0] if ids else None

    def frame(self):
        return frame_of(self.window)

    def increments(self):
        return size_increments(self.window)

    def move_resize(self, x, y, width, height):
        """Asks the window manager for a new frame (EWMH, as a pager does), and
        waits until the window has left its old one."""
        before = self.frame()
        run("wmctrl", "-i", "-r", hex(self.window), "-e", f"0,{x},{y},{width},{height}")
        wait_until(lambda: self.frame() != before, 10, f"{self.title!r} to move")
        settle(self)

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


def steady(read, quiet=0.3, timeout=10):
    """What read() answers once it has stayed the same for `quiet` seconds."""
    deadline = time.monotonic() + timeout
    last = read()
    still_since = time.monotonic()
    while time.monotonic() < deadline:
        time.sleep(0.05)
        now = read()
        if now != last:
            last, still_since = now, time.monotonic()
        elif time.monotonic() - still_since >= quiet:
            break
    return last


def settle(*clients, quiet=0.3, timeout=10):
    """The clients' frames, once they have stayed the same for `quiet` seconds."""
    return steady(lambda: [c.frame() for c in clients], quiet, timeout)


def xterm(title, columns=80, rows=24, x=40, y=40):
    return Client(["xterm", "-T", title, "-n", title, "-geometry", f"{columns}x{rows}+{x}+{y}",
                   "-e", "sleep", "600"], title)


def xclock(title, width=180, height=180, x=600, y=60):
    return Client(["xclock", "-title", title, "-geometry", f"{width}x{height}+{x}+{y}"], title)


def windows_of(pid):
    """The visible windows of a process (its _NET_WM_PID), newest last."""
    out = run("xdotool", "search", "--onlyvisible", "--pid", str(pid), check=False)
    return [int(line) for line in out.split()]


def activate(window):
    run("xdotool", "windowactivate", "--sync", str(window), check=False)
    wait_until(lambda: run("xdotool", "getactivewindow", check=False).strip() == str(window),
               5, f"window {window} to take the focus")


def type_text(text):
    run("xdotool", "type", "--delay", "20", text)


def key(*keys):
    run("xdotool", "key", "--clearmodifiers", *keys)


def pointer(x, y):
    run("xdotool", "mousemove", "--sync", str(x), str(y))


def settle_window(window, quiet=0.3, timeout=5):
    """The frame of a window without a window manager's frame (a menu), once it
    has stayed put for `quiet` seconds."""
    return steady(lambda: frame_of(window), quiet, timeout)


def union(frames, margin=0):
    left = min(f.x for f in frames) - margin
    top = min(f.y for f in frames) - margin
    right = max(f.x + f.width for f in frames) + margin
    bottom = max(f.y + f.height for f in frames) + margin
    return Frame(max(left, 0), max(top, 0), right - max(left, 0), bottom - max(top, 0))


def screenshot(folder, name, region=None):
    """The whole screen, or only region (a Frame) of it."""
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, f"{name}.png")
    crop = ["-crop", f"{region.width}x{region.height}+{region.x}+{region.y}", "+repage"] \
        if region else []
    run("import", "-window", "root", *crop, path)
    return path


class KeyGrabber:
    """Another X client holding a key combination as its global shortcut (a
    passive grab on the root window, as desktops bind theirs); counts the
    presses that reach it. `modifiers` is an X mask: Shift 1, Control 4, Alt 8."""

    def __init__(self, keysym, modifiers):
        x = self.x = ctypes.cdll.LoadLibrary("libX11.so.6")
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XStringToKeysym.restype = ctypes.c_ulong
        x.XKeysymToKeycode.restype = ctypes.c_ubyte
        for name in ("XDefaultRootWindow", "XKeysymToKeycode", "XGrabKey", "XSync", "XPending",
                     "XNextEvent", "XCloseDisplay"):
            getattr(x, name).argtypes = None
        self.display = ctypes.c_void_p(x.XOpenDisplay(None))
        root = ctypes.c_ulong(x.XDefaultRootWindow(self.display))
        code = x.XKeysymToKeycode(self.display, ctypes.c_ulong(x.XStringToKeysym(keysym.encode())))
        x.XGrabKey(self.display, ctypes.c_int(code), ctypes.c_uint(modifiers), root,
                   ctypes.c_int(1), ctypes.c_int(1), ctypes.c_int(1))  # GrabModeAsync
        x.XSync(self.display, ctypes.c_int(0))
        self._presses = 0

    def presses(self):
        event = (ctypes.c_long * 24)()
        while self.x.XPending(self.display):
            self.x.XNextEvent(self.display, ctypes.byref(event))
            if ctypes.cast(event, ctypes.POINTER(ctypes.c_int))[0] == 2:  # KeyPress
                self._presses += 1
        return self._presses

    def close(self):
        self.x.XCloseDisplay(self.display)
