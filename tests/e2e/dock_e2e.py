#!/usr/bin/python3
"""A laptop docked, undocked and docked again, as Xvfb's RandR monitors: the profile
marked to follow its monitors comes back by itself when they connect, and an apply
while undocked puts no window off every monitor."""

import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import xdesktop as x  # noqa: E402
from panel import spin  # noqa: E402
from tray_e2e import WM, Case  # noqa: E402

FOLLOW = "Apply When These Displays Connect"

def dock(docked):
    """Two monitors side by side on the 1280x800 screen, or the left one alone."""
    right = (["--setmonitor", "right", "640/0x800/0+640+0", "none"] if docked
             else ["--delmonitor", "right"])
    subprocess.run(["xrandr", *right], check=True, capture_output=True)

class DockTest(Case):
    def test_dock_undock_dock(self):
        subprocess.run(["xrandr", "--setmonitor", "left", "640/0x800/0+0+0", "screen"], check=True,
                       capture_output=True)
        dock(True)
        windows = [self.keep(x.xterm("laptop-term", x=40, y=60)),
                   self.keep(x.xterm("desk-term", x=700, y=60)),
                   self.keep(x.xclock("desk-clock", width=200, height=200, x=900, y=480))]
        saved, _, menu, layout = self.saved_desk(*windows, active=False)
        self.assertEqual([m["connector"] for m in self.home.read_profiles()[0]["displays"]],
                         ["left", "right"])
        menu.click(layout.find("Desk", FOLLOW))
        layout = menu.wait_for(lambda l: l.find("Desk", FOLLOW).checked, what="the mark")
        self.assertIs(self.home.read_profiles()[0]["applyOnDisplayConnect"], True)

        dock(False)  # openbox pulls the windows partly onto the left monitor, xfwm4 leaves them
        spin(2)
        # What a window manager could have done; an apply now keeps every window reachable.
        for window, frame in zip(windows, [(300, 300, 300, 200), (0, 0, 400, 300),
                                           (1000, 100, 200, 200)]):
            window.move_resize(*frame)
        menu.click(layout.find("Desk", "Apply"))
        spin(1)
        for window in windows:
            frame, kept = x.settle(window)[0], saved[window.title]
            self.assertTrue(frame[0] >= 0 and frame[0] + frame[2] <= 640, (window.title, frame))
            self.assertEqual(frame[2:], kept[2:], window.title)
        self.assertTrue(windows[0].back(saved["laptop-term"]), "on the left monitor as saved")

        dock(True)
        self.assertBack(windows, saved, "docked again")
        x.screenshot(self.out, "docked-again")

if __name__ == "__main__":
    unittest.main(verbosity=2)
