#!/usr/bin/python3
"""End-to-end tests of the shortcut window and "Launch at Login", on a test
desktop with a tray host (tests/desktop/test-desktop --tray): the real program,
driven through its menu over com.canonical.dbusmenu, clicks and keys from xdotool.
"""

import configparser
import os
import re
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import tray_steps  # noqa: E402
import xdesktop  # noqa: E402
from panel import spin, wait_until  # noqa: E402
from faults_e2e import Fixture  # noqa: E402
from tavelor_process import SHORTCUT_KEYS  # noqa: E402
from tray_e2e import EXE, SHORTCUT_TITLE, TrayTestCase  # noqa: E402

WINDOW_TITLE = "Raccourci clavier"
# The record button's centre in the window's content, top-left origin.
RECORD_BUTTON = (190, 108)


def find_window():
    out = xdesktop.run("xdotool", "search", "--onlyvisible", "--name", f"^{WINDOW_TITLE}$",
                       check=False).split()
    return int(out[0]) if out else None


def item(layout, prefix):
    return next(e for e in layout.entries() if e.label.startswith(prefix))


class ShortcutWindowTest(TrayTestCase):
    def saved_shortcut(self):
        conf = configparser.ConfigParser()
        conf.read(os.path.join(self.home.config, "Tavelor", "Tavelor.conf"), encoding="utf-8")
        section = conf["General"] if conf.has_section("General") else {}
        return (section.get("hotKeyKeyCode"), section.get("hotKeyModifiers"))

    def open_window(self, menu, layout):
        menu.click(item(layout, SHORTCUT_TITLE))
        window = wait_until(find_window, 10, "the shortcut window")
        xdesktop.activate(window)
        return window

    def click_record(self, window):
        xdesktop.run("xdotool", "mousemove", "--window", str(window), str(RECORD_BUTTON[0]),
                     str(RECORD_BUTTON[1]), "click", "1")
        spin(0.5)

    def test_record_control_shift_k_from_the_window(self):
        self.home.write_shortcut()  # Control+Option+Shift+L
        term = self.client(xdesktop.xterm, "e2e-term", columns=80, rows=24, x=40, y=60)
        saved = dict(zip([term.title], xdesktop.settle(term)))
        program, menu, layout = self.start_with_menu()
        layout = tray_steps.save_layout(menu, layout, program.pid, "Desk")
        layout = tray_steps.set_active(menu, layout, "Desk")

        window = self.open_window(menu, layout)
        self.shot("01-window")
        self.click_record(window)
        self.shot("02-recording")
        xdesktop.key("ctrl+shift+k")

        wait_until(lambda: self.saved_shortcut() == ("40", "4608"), 10,
                   "the new shortcut in the settings file")
        layout = menu.wait_for(lambda l: item(l, SHORTCUT_TITLE).label ==
                               "Raccourci clavier\u2026 (\u2303\u21e7K)",
                               what="the new shortcut in the menu")
        self.shot("03-recorded")
        xdesktop.run("xdotool", "windowclose", str(window), check=False)
        wait_until(lambda: not xdesktop.windows_of(program.pid), 5, "the window to close")

        # The old shortcut is released: the windows stay where they were moved.
        term.move_resize(500, 400, 420, 200)
        moved = term.frame()
        xdesktop.key(SHORTCUT_KEYS)
        spin(1.5)
        self.assertEqual(term.frame(), moved, "the old shortcut should do nothing now")
        xdesktop.key("ctrl+shift+k")
        self.assertRestored([term], saved)


    def test_recording_sees_the_current_shortcut_and_one_another_client_holds(self):
        self.home.write_shortcut()
        term = self.client(xdesktop.xterm, "e2e-term", columns=80, rows=24, x=40, y=60)
        saved = dict(zip([term.title], xdesktop.settle(term)))
        program, menu, layout = self.start_with_menu()
        layout = tray_steps.save_layout(menu, layout, program.pid, "Desk")
        tray_steps.set_active(menu, layout, "Desk")
        stored = self.saved_shortcut()
        window = self.open_window(menu, menu.layout())

        # The current shortcut records itself again instead of applying the profile.
        term.move_resize(500, 400, 420, 200)
        moved = term.frame()
        self.click_record(window)
        xdesktop.key(SHORTCUT_KEYS)
        spin(1.5)
        self.assertEqual(term.frame(), moved, "the profile was applied while recording")
        self.assertEqual(self.saved_shortcut(), stored)
        xdesktop.key(SHORTCUT_KEYS)
        self.assertRestored([term], saved)

        # Control+Alt+G, held by another program, reaches the recorder; the
        # system refuses it: a beep, no shortcut, the settings unchanged, and
        # the other program's shortcut did not fire.
        grabber = self.client(xdesktop.KeyGrabber, "g", 4 | 8)
        bells = Fixture("--bells")
        self.addCleanup(bells.quit)
        rung = bells.count()
        xdesktop.activate(window)
        self.click_record(window)
        xdesktop.key("ctrl+alt+g")
        wait_until(lambda: bells.count() > rung, 5, "a beep")
        self.assertEqual(grabber.presses(), 0)
        self.assertEqual(self.saved_shortcut(), stored)
        term.move_resize(500, 400, 420, 200)
        moved = term.frame()
        xdesktop.key(SHORTCUT_KEYS)
        spin(1.5)
        self.assertEqual(term.frame(), moved, "no shortcut should be registered now")
        # The capture is over, and the keyboard with it.
        xdesktop.key("ctrl+alt+g")
        wait_until(lambda: grabber.presses() == 1, 5, "the other program's shortcut")

    def test_titled_closable_dialog_that_quits_on_control_q(self):
        program, menu, layout = self.start_with_menu()
        window = self.open_window(menu, layout)
        props = xdesktop.run("xprop", "-id", str(window), "_NET_WM_WINDOW_TYPE",
                             "_MOTIF_WM_HINTS", "_NET_WM_ALLOWED_ACTIONS", "WM_NAME")
        self.assertIn("_NET_WM_WINDOW_TYPE_DIALOG", props)
        self.assertIn(f'"{WINDOW_TITLE}"', props)
        # Motif hints: functions and decorations without minimise (8, 32) or
        # maximise (16, 64); close (32) and the title (8) are there.
        _, functions, decorations = (int(v, 16) for v in re.search(
            r"_MOTIF_WM_HINTS\(\w+\) = (0x\w+), (0x\w+), (0x\w+)", props).groups())
        self.assertEqual((functions & (8 | 16 | 32), decorations & (8 | 32 | 64)), (32, 8))
        # openbox's own answer: closable, neither resizable nor maximisable.
        actions = props.split("_NET_WM_ALLOWED_ACTIONS", 1)[1]
        self.assertIn("_NET_WM_ACTION_CLOSE", actions)
        for action in ("RESIZE", "MAXIMIZE_HORZ", "MAXIMIZE_VERT"):
            self.assertNotIn(f"_NET_WM_ACTION_{action}", actions)
        self.shot("window")

        xdesktop.key("ctrl+q")
        self.assertEqual(program.wait(10), 0)


class LaunchAtLoginTest(TrayTestCase):
    def test_toggle_twice(self):
        entry = os.path.join(self.home.config, "autostart", "tavelor.desktop")
        _, menu, layout = self.start_with_menu()
        login = item(layout, "Launch at Login")
        self.assertFalse(login.checked)
        self.assertFalse(os.path.exists(entry))

        menu.click(login)
        layout = menu.wait_for(lambda l: item(l, "Launch at Login").checked,
                               what="the check mark")
        self.assertTrue(os.path.exists(entry))
        with open(entry, encoding="utf-8") as source:
            self.assertIn(f"TryExec={os.path.realpath(EXE)}\n", source.read())

        menu.click(item(layout, "Launch at Login"))
        menu.wait_for(lambda l: not item(l, "Launch at Login").checked,
                      what="the check mark to go")
        self.assertFalse(os.path.exists(entry))


if __name__ == "__main__":
    unittest.main()
