"""The X side of the tests: real clients, their frames, moves, keys, screenshots. A
frame (x, y, width, height) is the client's outer corner minus the left and top
_NET_FRAME_EXTENTS, its size plus border and extents (xdotool and wmctrl count
the frame twice, so they only send requests)."""
import os
import re
import subprocess
import time

from panel import wait_until

def run(*argv, check=True):
    return subprocess.run(argv, check=check, capture_output=True, text=True).stdout

def frame_extents(window):
    match = re.search(r"=\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)",
                      run("xprop", "-id", str(window), "_NET_FRAME_EXTENTS", check=False))
    return tuple(int(v) for v in match.groups()) if match else (0, 0, 0, 0)

class Window:
    """A top-level window of some client, moved as a pager moves it."""
    def __init__(self, window, title=None):
        self.window, self.title = window, title
    def frame(self):
        info = dict(re.findall(r"^\s*(Absolute upper-left [XY]|Width|Height|Border width):\s*(-?\d+)",
                               run("xwininfo", "-id", str(self.window)), re.M))
        x, y, w, h, b = (int(info[k]) for k in ("Absolute upper-left X", "Absolute upper-left Y",
                                                "Width", "Height", "Border width"))
        left, right, top, bottom = frame_extents(self.window)
        # xwininfo's upper-left corner is outside the border already.
        return (x - left, y - top, w + 2 * b + left + right, h + 2 * b + top + bottom)
    def move_resize(self, x, y, width, height):
        """Asks the window manager for a new frame (EWMH), waits until the window has left its old one."""
        before = self.frame()
        run("wmctrl", "-i", "-r", hex(self.window), "-e", f"0,{x},{y},{width},{height}")
        wait_until(lambda: self.frame() != before, 10, f"window {self.window} to move")
        settle(self)
    def back(self, frame):
        """Same position; sizes equal or within one WM_NORMAL_HINTS resize increment
        (an application that applies increments rounds the size it is given)."""
        steps = re.search(r"resize increment:\s*(\d+) by (\d+)",
                          run("xprop", "-id", str(self.window), "WM_NORMAL_HINTS", check=False))
        now, steps = self.frame(), [max(int(v), 1) for v in steps.groups()] if steps else (1, 1)
        return now[:2] == frame[:2] and all(abs(now[i] - frame[i]) < steps[i - 2] for i in (2, 3))

class Client(Window):
    """A real X client with one top-level window, found by its unique title."""
    def __init__(self, argv, title):
        self.process = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        super().__init__(wait_until(lambda: find(title), 15, f"the window {title!r}"), title)
        # Managed: every window manager sets WM_STATE; openbox sets the frame extents when it reparents.
        wait_until(lambda: "window state" in run("xprop", "-id", str(self.window), "WM_STATE", check=False),
                   10, f"the WM to take {title!r}")
        if os.environ.get("TAVELOR_TEST_WM", "openbox") == "openbox":
            wait_until(lambda: frame_extents(self.window) != (0, 0, 0, 0), 10, "the frame")
    def close(self):
        from tavelor_process import stop
        stop(self.process)

def find(title):
    ids = run("xdotool", "search", "--onlyvisible", "--name", f"^{re.escape(title)}$", check=False).split()
    return int(ids[0]) if ids else None

def settle(*windows):
    """The windows' frames, once they have stayed the same for 0.3 s (10 s at most)."""
    deadline, last, since = time.monotonic() + 10, [w.frame() for w in windows], time.monotonic()
    while time.monotonic() < deadline and time.monotonic() - since < 0.3:
        time.sleep(0.05)
        if (now := [w.frame() for w in windows]) != last:
            last, since = now, time.monotonic()
    return last

def xterm(title, x=40, y=60):
    return Client(["xterm", "-T", title, "-n", title, "-geometry", f"80x24+{x}+{y}",
                   "-e", "sleep", "600"], title)

def xclock(title, width=180, height=180, x=600, y=60):
    return Client(["xclock", "-title", title, "-geometry", f"{width}x{height}+{x}+{y}"], title)

def windows_of(pid):
    """The visible windows of a process (its _NET_WM_PID), newest last."""
    return [int(w) for w in run("xdotool", "search", "--onlyvisible", "--pid", str(pid), check=False).split()]

def activate(window):
    run("xdotool", "windowactivate", "--sync", str(window), check=False)
    wait_until(lambda: run("xdotool", "getactivewindow", check=False).strip() == str(window),
               5, f"window {window} to take the focus")

def key(*keys):
    run("xdotool", "key", "--clearmodifiers", *keys)

def screenshot(folder, name, region=None):
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, f"{name}.png")
    run("import", "-window", "root", *(["-crop", "{2}x{3}+{0}+{1}".format(*region), "+repage"] if region else []), path)
    return path
