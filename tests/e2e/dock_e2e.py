#!/usr/bin/python3
"""Docked, undocked, docked again (Xvfb's RandR monitors): the marked profile comes back
by itself, and an apply while undocked leaves no window off every monitor."""

import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import xdesktop as x  # noqa: E402
from panel import spin  # noqa: E402
from tray_e2e import Case  # noqa: E402

FOLLOW = "Apply When These Displays Connect"

def xrandr(*monitor):
    subprocess.run(["xrandr", *monitor], check=True, capture_output=True)

class DockTest(Case):
    def test_dock_undock_dock(self):
        # Two monitors side by side on the 1280x800 screen; undocked, the left one alone.
        xrandr("--setmonitor", "left", "640/0x800/0+0+0", "screen")
        docked = ("--setmonitor", "right", "640/0x800/0+640+0", "none")
        xrandr(*docked)
        windows = [self.keep(x.xterm("laptop-term", x=40, y=60)),
                   self.keep(x.xterm("desk-term", x=700, y=60)),
                   self.keep(x.xclock("desk-clock", width=200, height=200, x=900, y=480))]
        saved, _, menu, layout = self.saved_desk(*windows, active=False)
        menu.click(layout.find("Desk", FOLLOW))
        layout = menu.wait_for(lambda l: l.find("Desk", FOLLOW).checked, what="the mark")
        profile = self.home.read_profiles()[0]
        self.assertEqual(([m["connector"] for m in profile["displays"]],
                          profile["applyOnDisplayConnect"]), (["left", "right"], True))

        xrandr("--delmonitor", "right")  # openbox pulls windows partly onto the left one
        spin(2)
        # What a window manager could have done; an apply now keeps every window reachable.
        for window, frame in zip(windows, [(300, 300, 300, 200), (0, 0, 400, 300),
                                           (1000, 100, 200, 200)]):
            window.move_resize(*frame)
        menu.click(layout.find("Desk", "Apply"))
        spin(1)
        for window, frame in zip(windows, x.settle(*windows)):
            self.assertEqual((frame[0] >= 0 and frame[0] + frame[2] <= 640, frame[2:]),
                             (True, saved[window.title][2:]), (window.title, frame))
        self.assertTrue(windows[0].back(saved["laptop-term"]), "on the left monitor as saved")

        xrandr(*docked)
        self.assertBack(windows, saved, "docked again")
        x.screenshot(self.out, "docked-again")

if __name__ == "__main__":
    unittest.main(verbosity=2)
