#!/usr/bin/python3
"""End-to-end tests of build/tavelor on a test desktop (tests/desktop/test-desktop --tray).

The program is driven only as a user and a panel drive it: its tray menu over
com.canonical.dbusmenu, its dialog with typed keys, its shortcut with a key
press; the windows it moves are real xterm and xclock windows under openbox.

Environment: TAVELOR_EXE (the program), TAVELOR_E2E_OUT (where screenshots and
the program's stderr go; kept after the run).
"""

import json
import os
import re
import stat
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import tray_steps  # noqa: E402
import xdesktop  # noqa: E402
from panel import Panel, spin, wait_until  # noqa: E402
from tavelor_process import SHORTCUT_KEYS, Home, Tavelor, profile, snapshot  # noqa: E402

EXE = os.environ.get("TAVELOR_EXE", "build/tavelor")
OUT = os.environ.get("TAVELOR_E2E_OUT") or tempfile.mkdtemp(prefix="tavelor-e2e-out-")

SHORTCUT_TITLE = "Raccourci clavier\u2026"


def top_level(layout):
    """The top-level entries as text: labels, "---" for separators."""
    return ["---" if entry.is_separator else entry.label for entry in layout.entries()]


class TrayTestCase(unittest.TestCase):
    panel = None

    @classmethod
    def setUpClass(cls):
        if not os.environ.get("TAVELOR_TEST_TRAY_LOG"):
            raise unittest.SkipTest("needs tests/desktop/test-desktop --tray")
        if TrayTestCase.panel is None:
            TrayTestCase.panel = Panel()

    def setUp(self):
        self.home = Home()
        self.out = os.path.join(OUT, self.id().rsplit(".", 1)[-1])
        os.makedirs(self.out, exist_ok=True)
        self.programs = []
        self.clients = []

    def tearDown(self):
        for program in self.programs:
            program.stop()
        for client in self.clients:
            client.close()

    def start(self, name="tavelor"):
        program = Tavelor(EXE, self.home, self.out, name)
        self.programs.append(program)
        return program

    def start_with_menu(self):
        program = self.start()
        item = self.panel.wait_for_item(program.pid)
        menu = item.menu()
        layout = menu.wait_for(lambda l: l.find("Save Layout..."), what="the menu to be filled")
        return program, menu, layout

    def client(self, factory, *args, **kwargs):
        client = factory(*args, **kwargs)
        self.clients.append(client)
        return client

    def shot(self, name):
        return xdesktop.screenshot(self.out, name)

    def assertRestored(self, clients, expected, timeout=10):
        def back():
            return all(xdesktop.frames_match(c.frame(), expected[c.title], c.increments())
                       for c in clients)
        try:
            wait_until(back, timeout, "the windows to be back")
        except TimeoutError:
            actual = {c.title: c.frame() for c in clients}
            self.fail(f"windows not back: expected {expected}, have {actual}")


class MainJourneyTest(TrayTestCase):
    """Save a layout, scramble, put it back from the menu and from the shortcut."""

    def test_save_scramble_apply_activate_shortcut(self):
        self.home.write_shortcut()
        term = self.client(xdesktop.xterm, "e2e-term", columns=80, rows=24, x=40, y=60)
        clock = self.client(xdesktop.xclock, "e2e-clock", width=200, height=200, x=700, y=100)
        windows = [term, clock]
        saved = dict(zip((c.title for c in windows), xdesktop.settle(*windows)))

        program, menu, layout = self.start_with_menu()
        self.assertEqual(top_level(layout)[:4],
                         ["Save Layout...", "---", "No profiles yet", "---"])
        self.assertFalse(layout.find("No profiles yet").enabled)
        shortcut = next(e for e in layout.entries() if e.label.startswith(SHORTCUT_TITLE))
        self.assertRegex(shortcut.label, r"^Raccourci clavier\u2026 \(.+\)$",
                         "the saved shortcut is registered and named in the menu")

        # Save through the dialog, typed as a user types.
        layout = tray_steps.save_layout(menu, layout, program.pid, "Desk one",
                                        before_return=lambda: self.shot("01-save-dialog"))
        self.assertEqual(top_level(layout)[:4], ["Save Layout...", "---", "Desk one", "---"])
        self.assertFalse(layout.find("Desk one").checked)

        # The file holds the two windows, privately.
        folder_mode = stat.S_IMODE(os.stat(self.home.profiles_folder).st_mode)
        file_mode = stat.S_IMODE(os.stat(self.home.profiles_file).st_mode)
        self.assertEqual((oct(folder_mode), oct(file_mode)), (oct(0o700), oct(0o600)))
        profiles = self.home.read_profiles()
        self.assertEqual([p["name"] for p in profiles], ["Desk one"])
        titles = [s.get("windowTitle") for s in profiles[0]["snapshots"]]
        self.assertIn("e2e-term", titles)
        self.assertIn("e2e-clock", titles)
        self.shot("02-saved")

        # Scramble, then choose the profile in the menu.
        term.move_resize(420, 380, 500, 260)
        clock.move_resize(60, 420, 320, 240)
        scrambled = {c.title: c.frame() for c in windows}
        for client in windows:
            self.assertFalse(xdesktop.frames_match(scrambled[client.title], saved[client.title]))
        self.shot("03-scrambled")
        # A panel opens the profile's submenu instead of firing its item.
        menu.click(layout.find("Desk one", "Apply"))
        self.assertRestored(windows, saved)
        self.shot("04-back-from-menu")

        # Set it active; the shortcut then puts the windows back.
        layout = tray_steps.set_active(menu, layout, "Desk one")
        self.assertTrue(layout.find("Desk one").checked)
        self.assertTrue(self.home.read_profiles()[0]["isActive"])
        term.move_resize(700, 420, 420, 200)
        clock.move_resize(300, 200, 150, 300)
        self.shot("05-scrambled-again")
        xdesktop.key(SHORTCUT_KEYS)
        self.assertRestored(windows, saved)
        self.shot("06-back-from-shortcut")

        # Quit from the menu: the process ends and its item goes away.
        menu.click(layout.find("Quit"))
        self.assertEqual(program.wait(10), 0)
        wait_until(lambda: self.panel.item_of(program.pid) is None, 10,
                   "the tray item to go away")


def notifications():
    """What the test desktop's notification service was asked to show."""
    with open(os.environ["TAVELOR_TEST_NOTIFY_LOG"], encoding="utf-8") as log:
        return [json.loads(line) for line in log if line.strip()]


class SingleCopyTest(TrayTestCase):
    def test_second_start_says_so_and_exits_while_the_first_goes_on(self):
        first, menu, _ = self.start_with_menu()
        shown = len(notifications())
        second = self.start("second")
        self.assertEqual(second.wait(10), 1, "the second copy should exit with status 1")
        self.assertEqual(second.stderr(), "Tavelor is already running.\n")
        # The running copy shows it where a user started from a launcher sees it.
        wait_until(lambda: len(notifications()) > shown, 5, "a notification")
        self.assertEqual(notifications()[shown:], [
            {"app": "Tavelor", "summary": "Tavelor is already running",
             "body": "Its menu is in the system tray."}])
        self.assertIsNone(self.panel.item_of(second.pid))
        spin(0.5)
        self.assertTrue(first.running())
        self.assertIsNotNone(self.panel.item_of(first.pid))
        self.assertIsNotNone(menu.layout().find("Save Layout..."))


class CommandLineTest(TrayTestCase):
    """Options answered without a display and without touching the running copy."""

    def test_options_and_errors(self):
        first, menu, _ = self.start_with_menu()
        shown = len(notifications())
        env = {k: v for k, v in self.home.environment().items() if k != "DISPLAY"}
        for args, status, stdout, stderr in [
                (["--help"], 0, r"^Usage: tavelor \[--help \| --version\]\n", r"^$"),
                (["-h"], 0, r"^Usage: tavelor", r"^$"),
                (["--version"], 0, r"^Tavelor \d+\.\d+\.\d+\n$", r"^$"),
                (["-v"], 0, r"^Tavelor \d+\.\d+\.\d+\n$", r"^$"),
                (["--frobnicate"], 2, r"^$", r'unexpected argument "--frobnicate"\n.*--help'),
                (["--help", "--version"], 2, r"^$", r'unexpected argument "--version"'),
                (["-platform", "offscreen"], 2, r"^$", r'unexpected argument "-platform"')]:
            with self.subTest(args=args):
                run = subprocess.run([EXE, *args], env=env, capture_output=True, text=True,
                                     timeout=10)
                self.assertEqual(run.returncode, status)
                self.assertRegex(run.stdout, stdout)
                self.assertRegex(run.stderr, re.compile(stderr, re.S))
        spin(0.5)
        self.assertEqual(len(notifications()), shown, "the running copy was not asked anything")
        self.assertTrue(first.running())
        self.assertIsNotNone(menu.layout().find("Save Layout..."))


class LocaleTest(TrayTestCase):
    """The menu in the user's language; the texts as written without a table."""

    MENUS = {
        "C": ["Save Layout...", "Raccourci clavier\u2026", "Launch at Login", "Quit"],
        "en_GB.UTF-8": ["Save Layout...", "Keyboard Shortcut\u2026", "Launch at Login", "Quit"],
        "fr_FR.UTF-8": ["Enregistrer la disposition\u2026", "Raccourci clavier\u2026",
                        "Lancer \u00e0 l\u2019ouverture de session", "Quitter"],
        "de_DE.UTF-8": ["Fensteranordnung speichern \u2026", "Tastenk\u00fcrzel \u2026",
                        "Bei der Anmeldung starten", "Beenden"],
        # No table: the texts as written.
        "pt_BR.UTF-8": ["Save Layout...", "Raccourci clavier\u2026", "Launch at Login", "Quit"],
    }

    def test_menu_in_each_language(self):
        self.home.write_profiles([profile("Desk", [snapshot("App", "w")])])
        for lang, expected in self.MENUS.items():
            with self.subTest(lang=lang):
                program = Tavelor(EXE, self.home, self.out, f"tavelor-{lang}", lang=lang)
                self.programs.append(program)
                menu = self.panel.wait_for_item(program.pid).menu()
                layout = menu.wait_for(lambda l: len(l.entries()) > 5, what="the menu")
                labels = [label for label in top_level(layout) if label not in ("---", "Desk")]
                self.assertEqual(labels, expected)
                submenu = [e.label for e in layout.find("Desk").entries()]
                self.assertEqual(submenu[0], {"fr_FR.UTF-8": "Appliquer",
                                              "de_DE.UTF-8": "Anwenden"}.get(lang, "Apply"))
                program.stop()
                wait_until(lambda: self.panel.item_of(program.pid) is None, 10, "the item to go")


class NamesAsStoredTest(TrayTestCase):
    """What a panel shows for names that menus treat specially: `&` (Qt's mnemonic
    mark), `_` (the dbusmenu one) and a tab (Qt's shortcut column). Qt's export
    turns the first `&` of a label into `_` and passes `_` through, so a name
    escaped for QMenu alone comes out wrong here."""

    def shown_names(self, names, apps=()):
        profiles = [profile(name) for name in names]
        profiles[0]["snapshots"] = [snapshot(app, f"window {i}") for i, app in enumerate(apps)]
        self.home.write_profiles(profiles)
        _, _, layout = self.start_with_menu()
        shown = top_level(layout)[2:2 + len(names)]
        remove = layout.find(shown[0], "Remove App")
        return shown, [e.label for e in remove.entries()] if remove else [], layout

    def check(self, names, apps):
        shown, shown_apps, layout = self.shown_names(names, apps)
        outline = "\n".join(layout.outline())
        for name, text in zip(names, shown):
            with self.subTest(name=name):
                # A tab may show as a space: a label has no columns.
                self.assertIn(text, {name, name.replace("\t", " ")}, outline)
        for app, text in zip(apps, shown_apps):
            with self.subTest(app=app):
                self.assertEqual(text, app, outline)

    def test_one_ampersand_and_tabs(self):
        self.check(["R&D", "&", "tab\there"], ["Tom & Jerry"])

    def test_underscores_and_several_ampersands(self):
        self.check(["snake_case__name", "_leading", "a && b", "Tom & Jerry & co"],
                   ["my_app", "a && b"])


class NoTrayHostTest(unittest.TestCase):
    """Without any tray host (run in a test desktop without --tray): one line on
    stderr, and the shortcut still applies the active profile."""

    def setUp(self):
        if os.environ.get("TAVELOR_TEST_TRAY_LOG"):
            self.skipTest("needs a test desktop without a tray host")
        self.home = Home()
        self.out = os.path.join(OUT, self.id().rsplit(".", 1)[-1])
        self.clock = xdesktop.xclock("e2e-lonely-clock", width=160, height=160, x=500, y=300)
        self.program = None

    def tearDown(self):
        if self.program:
            self.program.stop()
        self.clock.close()

    def test_says_so_once_and_the_shortcut_still_works(self):
        # xclock has no desktop entry: its WM_CLASS class stands for the bundle identifier.
        self.home.write_profiles([profile("Corner", [snapshot(
            "XClock", "e2e-lonely-clock", x=40, y=50, width=300, height=260, bundle="XClock")],
            active=True)])
        self.home.write_shortcut()
        self.program = Tavelor(EXE, self.home, self.out)
        wait_until(lambda: self.program.stderr().strip(), 10, "the note about the tray")
        self.assertTrue(self.program.running())
        xdesktop.key(SHORTCUT_KEYS)
        expected = xdesktop.Frame(40, 50, 300, 260)
        try:
            wait_until(lambda: self.clock.frame() == expected, 10, "the clock to move")
        except TimeoutError:
            self.fail(f"the clock is at {self.clock.frame()}, not {expected}; "
                      f"stderr: {self.program.stderr()!r}")
        self.shot_path = xdesktop.screenshot(self.out, "moved-without-tray")
        lines = [line for line in self.program.stderr().splitlines() if line.strip()]
        self.assertEqual(len(lines), 1, f"one line about the missing tray, got {lines!r}")


class LateTrayTest(unittest.TestCase):
    """A panel that starts after Tavelor, as at many logins (run in a test desktop
    without --tray): the item registers once the watcher is there, no restart."""

    def setUp(self):
        if os.environ.get("TAVELOR_TEST_TRAY_LOG"):
            self.skipTest("needs a test desktop without a tray host")
        self.out = os.path.join(OUT, self.id().rsplit(".", 1)[-1])
        self.program = Tavelor(EXE, Home(), self.out)
        self.watcher = None

    def tearDown(self):
        self.program.stop()
        if self.watcher:
            self.watcher.terminate()
            self.watcher.wait()

    def test_watcher_started_ten_seconds_later(self):
        spin(10)
        self.assertTrue(self.program.running())
        self.assertIn("no system tray", self.program.stderr())
        ready = os.path.join(self.out, "watcher.ready")
        if os.path.exists(ready):  # an earlier run's
            os.remove(ready)
        self.watcher = subprocess.Popen([
            "/usr/bin/python3", os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                             "..", "desktop", "sni-watcher"),
            "--ready-file", ready])
        wait_until(lambda: os.path.exists(ready), 10, "the watcher")
        started = time.monotonic()
        menu = Panel().wait_for_item(self.program.pid).menu()
        print(f"item registered {time.monotonic() - started:.2f} s after the watcher",
              file=sys.stderr)
        self.assertIsNotNone(menu.wait_for(lambda l: l.find("Save Layout..."),
                                           what="the menu to be filled"))


if __name__ == "__main__":
    unittest.main(verbosity=2)
