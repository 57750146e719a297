#!/usr/bin/python3
"""The dock cycle of the Wayland tests on Xvfb's RandR monitors; undocked, an apply
also leaves no window off every monitor."""
import os
import sys
import unittest
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [HERE, os.path.join(HERE, "..", "wayland")]

import xdesktop as x  # noqa: E402
from panel import spin, wait_until  # noqa: E402
from tray_e2e import Case  # noqa: E402
from wayland_steps import TrayDesktop, dock_cycle  # noqa: E402

class Desktop(TrayDesktop):
    """dock_cycle's desktop: the windows by title, keys typed with xdotool."""
    def __init__(self, menu, windows):
        self.menu, self.windows = menu, windows
    def frames(self):
        return {w.title: list(f) for w, f in zip(self.windows, x.settle(*self.windows))}
    def spread(self, shift):  # the windows as placed, on both monitors
        for window, frame in zip(self.windows, self.frames().values() if shift else ()):
            window.move_resize(frame[0] + shift, frame[1] + shift, *frame[2:])
    def dialog_up(self, pid):
        return x.windows_of(pid) and not x.run("xdotool", "windowactivate", "--sync", str(x.windows_of(pid)[-1]))
    def type(self, text):
        x.key(*text, "Return")

class DockTest(Case):
    def test_dock_undock_dock(self):
        # Two monitors side by side on the 1280x800 screen; undocked, the left one alone.
        x.run("xrandr", "--setmonitor", "left", "640/0x800/0+0+0", "screen")
        docked = ("xrandr", "--setmonitor", "right", "640/0x800/0+640+0", "none")
        x.run(*docked)
        windows = [self.keep(x.xterm("laptop-term")), self.keep(x.xterm("desk-term", x=700)),
                   self.keep(x.xclock("desk-clock", width=200, height=200, x=900, y=480))]
        program, menu, _ = self.start_with_menu()
        desktop = Desktop(menu, windows)
        def undock(saved):
            x.run("xrandr", "--delmonitor", "right")  # openbox pulls windows partly onto the left one
            spin(2)
            # What a window manager could have done; an apply now keeps every window reachable.
            for window, frame in zip(windows, [(300, 300, 300, 200), (0, 0, 400, 300), (1000, 100, 200, 200)]):
                window.move_resize(*frame)
            desktop.choose("docked", "Apply")
            wait_until(lambda: windows[0].back(tuple(saved["laptop-term"])), 10, "laptop-term on the left one as saved")
            for window, frame in zip(windows, x.settle(*windows)):
                self.assertEqual((frame[0] >= 0 and frame[0] + frame[2] <= 640, list(frame[2:])),
                                 (True, saved[window.title][2:]), (window.title, frame))
        dock_cycle(self, desktop, self.home, program.pid, ["left", "right"], undock, lambda: x.run(*docked), 640)
        x.screenshot(self.out, "docked-again")

if __name__ == "__main__":
    unittest.main(verbosity=2)
