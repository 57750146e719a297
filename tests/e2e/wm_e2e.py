#!/usr/bin/python3
"""Restores under each X window manager a user may run, driven through the tray
menu of the real build/tavelor (tests/desktop/test-desktop --wm NAME --tray).

Every window must come back to the pixel, three times over (a window manager
that adds its decorations to the size it is given makes windows grow on every
restore), and two windows of one program with the same title must each come
back to their own frame whichever of them was raised since the save.

Under the default window manager only: a shortcut another X client holds is
reported on stderr and through the desktop's notification service, at start and
when the shortcut window records it.

Environment: TAVELOR_EXE, TAVELOR_FIXTURE_CLIENT, TAVELOR_E2E_OUT,
TAVELOR_TEST_WM (set by test-desktop), TAVELOR_TEST_NOTIFY_LOG.
"""

import json
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import tray_steps  # noqa: E402
import xdesktop  # noqa: E402
import settings_e2e  # noqa: E402
from faults_e2e import Fixture  # noqa: E402
from panel import spin, wait_until  # noqa: E402
from tray_e2e import SHORTCUT_TITLE, TrayTestCase  # noqa: E402

WM = os.environ.get("TAVELOR_TEST_WM", "openbox")

# Where each window goes between restores, one frame a cycle (x, y, width, height).
SCRAMBLES = {
    "wm-term": [(420, 380, 500, 260), (700, 420, 420, 200), (300, 200, 560, 300)],
    "wm-clock": [(60, 420, 320, 240), (300, 200, 150, 300), (900, 500, 250, 250)],
    "twin 0": [(700, 60, 200, 150), (40, 500, 320, 220), (600, 300, 240, 240)],
    "twin 1": [(60, 60, 320, 260), (800, 80, 280, 200), (200, 450, 300, 180)],
}


class Window:
    def __init__(self, window):
        self.window = window

    def frame(self):
        return xdesktop.frame_of(self.window)

    def move_resize(self, x, y, width, height):
        before = self.frame()
        xdesktop.run("wmctrl", "-i", "-r", hex(self.window), "-e", f"0,{x},{y},{width},{height}")
        wait_until(lambda: self.frame() != before, 10, f"window {self.window} to move")


class WindowManagerRestoreTest(TrayTestCase):
    def settled(self, windows):
        return dict(zip(windows, xdesktop.settle(*windows.values())))

    def test_restores_to_the_pixel_three_times_with_twins_restacked(self):
        term = self.client(xdesktop.xterm, "wm-term", columns=80, rows=24, x=40, y=60)
        clock = self.client(xdesktop.xclock, "wm-clock", width=200, height=200, x=700, y=100)
        twin = ["--window", "--class=twin,Twin", "--title=twin"]
        twins = Fixture(*twin, "--geometry=300x200+100+450", *twin, "--geometry=260x180+520+420")
        self.addCleanup(twins.quit)
        windows = {"wm-term": term, "wm-clock": clock, "twin 0": Window(twins.windows[0]),
                   "twin 1": Window(twins.windows[1])}
        saved = self.settled(windows)

        program, menu, layout = self.start_with_menu()
        layout = tray_steps.save_layout(menu, layout, program.pid, "Desk")
        # What Tavelor read is what the server shows.
        stored = sorted((s["windowTitle"], tuple(s["frame"][k] for k in ("x", "y", "width",
                                                                          "height")))
                        for s in self.home.read_profiles()[0]["snapshots"])
        expected = sorted((name.split(" ")[0], tuple(frame)) for name, frame in saved.items())
        self.assertEqual(stored, expected, f"the frames saved under {WM}")
        self.shot("saved")

        for cycle in range(3):
            for name, window in windows.items():
                window.move_resize(*SCRAMBLES[name][cycle])
            # Raise the twin mapped first: front to back, the twins are now in
            # the opposite order from the one they were saved in.
            xdesktop.activate(twins.windows[0])
            self.settled(windows)
            menu.click(layout.find("Desk"))
            try:
                wait_until(lambda: self.settled(windows) == saved, 10, "every window back")
            except TimeoutError:
                self.shot(f"cycle-{cycle}")
                now = self.settled(windows)
                off = {n: (tuple(saved[n]), tuple(now[n])) for n in saved if saved[n] != now[n]}
                self.fail(f"{WM}, restore {cycle + 1}: (saved, now) {off}")
        self.shot("restored")


class HeldShortcutTest(TrayTestCase):
    """A combination another X client holds (X keycodes 28 and 45 are T and K)."""

    def notes(self, name):
        log = os.environ.get("TAVELOR_TEST_NOTIFY_LOG")
        if not log:
            self.skipTest("needs test-desktop's notification service")
        with open(log, encoding="utf-8") as lines:
            return [n for n in map(json.loads, lines) if name in n["summary"]]

    def test_at_start_says_so_on_stderr_and_in_a_notification(self):
        holder = Fixture("--grab-key=28,12")  # Control+Alt (X's Control and Mod1 bits)
        self.addCleanup(holder.quit)
        self.home.write_shortcut()
        settings = open(os.path.join(self.home.config, "Tavelor", "Tavelor.conf")).read()
        program, _, _ = self.start_with_menu()
        notes = wait_until(lambda: self.notes("\u2303\u2325T"), 10, "the notification")
        self.assertEqual(len(notes), 1, notes)
        self.assertIn("Another program already uses \u2303\u2325T", notes[0]["body"])
        self.assertIn("shortcut window", notes[0]["body"])
        lines = [line for line in program.stderr().splitlines() if "\u2303\u2325T" in line]
        self.assertEqual(len(lines), 1, program.stderr())
        self.assertEqual(
            open(os.path.join(self.home.config, "Tavelor", "Tavelor.conf")).read(), settings,
            "the settings keep the shortcut")

    def test_recording_a_held_combination_says_it_is_taken(self):
        # Held only with Caps Lock on, so the press itself reaches the window,
        # and the grab of that variant fails.
        holder = Fixture("--grab-key=45,7")  # Control+Shift+Lock
        self.addCleanup(holder.quit)
        _, menu, layout = self.start_with_menu()
        menu.click(next(e for e in layout.entries() if e.label.startswith(SHORTCUT_TITLE)))
        window = wait_until(settings_e2e.find_window, 10, "the shortcut window")
        xdesktop.activate(window)
        xdesktop.run("xdotool", "mousemove", "--window", str(window),
                     *map(str, settings_e2e.RECORD_BUTTON), "click", "1")
        spin(0.5)
        xdesktop.key("ctrl+shift+k")
        notes = wait_until(lambda: self.notes("\u2303\u21e7K"), 10, "the notification")
        self.assertIn("taken", notes[0]["summary"])


if __name__ == "__main__":
    unittest.main(verbosity=2)
