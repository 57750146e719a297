#!/usr/bin/python3
"""build/tavelor in a test desktop (tests/desktop/test-desktop), driven through its tray
menu over D-Bus, typed keys and its shortcut, moving real X clients' windows."""
import json
import os
import re
import signal
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import tray_steps  # noqa: E402
import xdesktop as x  # noqa: E402
from panel import Panel, spin, wait_until  # noqa: E402
from tavelor_process import SHORTCUT_KEYS, Home, Tavelor, profile, snapshot, stop  # noqa: E402
EXE = os.environ.get("TAVELOR_EXE", "build/tavelor")
FIXTURE = os.environ.get("TAVELOR_FIXTURE_CLIENT", "tests/x11/fixtures/fixture_client.py")
OUT = os.environ.get("TAVELOR_E2E_OUT") or tempfile.mkdtemp(prefix="tavelor-e2e-out-")
WM = os.environ.get("TAVELOR_TEST_WM", "openbox")
SHORTCUT = "Raccourci clavier\u2026"  # the shortcut item, as written in the code
# What Qt's xcb plugin and libxcb print when a request fails.
X_ERRORS = re.compile("X Error|XCB error|xcb error|X server error|BadWindow|BadMatch")

class Fixture:
    """tests/x11/fixtures' client: windows with the properties asked for."""
    def __init__(self, *args):
        self.process = subprocess.Popen([FIXTURE, *args], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.windows = []
        while (line := self.process.stdout.readline().strip()) != "ready":
            if not line:
                raise RuntimeError(f"fixture client ended: {self.process.stderr.read()}")
            self.windows.append(int(line, 16))
    def count(self, what="bells"):  # bells rung (--bells) or presses of its --grab-key
        print("count", file=self.process.stdin, flush=True)
        words = self.process.stdout.readline().split()
        return int(words[words.index(what) + 1])
    def close(self):  # what it printed on the way out
        return self.process.poll() is None and self.process.communicate("quit\n", timeout=30)[0]

class Case(unittest.TestCase):
    panel = None
    def setUp(self):
        Case.panel = Case.panel or Panel()
        self.home, self.out = Home(), os.path.join(OUT, self.id().rsplit(".", 1)[-1])
    def start(self, name="tavelor", lang="C.UTF-8"):
        program = Tavelor(EXE, self.home, self.out, name, lang)
        self.addCleanup(program.stop)
        return program
    def start_with_menu(self, **kwargs):
        return (program := self.start(**kwargs), *self.panel.wait_for_menu(program.pid))
    def keep(self, thing):
        self.addCleanup(thing.close)
        return thing
    def assertBack(self, windows, expected, what=""):
        try:
            wait_until(lambda: all(w.back(expected[w.title]) for w in windows), 10, "windows")
        except TimeoutError:
            x.screenshot(self.out, f"not-back-{time.monotonic():.0f}")
            self.fail(f"{WM} {what}: not back: expected {expected}, have {[w.frame() for w in windows]}")
    def assertStays(self, window, what, to=(500, 400, 420, 200)):
        """Moves window away and presses the old shortcut: nothing moves it back."""
        window.move_resize(*to)
        moved = window.frame()
        x.key(SHORTCUT_KEYS)
        spin(1.5)
        self.assertEqual(window.frame(), moved, what)
    def notes(self, text=""):  # what the desktop's notification service was asked to show
        with open(os.environ["TAVELOR_TEST_NOTIFY_LOG"], encoding="utf-8") as log:
            return [n for n in map(json.loads, filter(str.strip, log)) if text in n["summary"]]
    def shortcut(self):  # key code and modifiers as stored, or None
        text = Path(self.home.settings_file).read_text(encoding="utf-8")
        return tuple((re.findall(f"^hotKey{k}=(.*)$", text, re.M) or [None])[0] for k in ("KeyCode", "Modifiers"))
    def saved_desk(self, *windows, active=True):
        """"Desk" saved (and set active) by the program started with the shortcut; answers
        the frames saved, the program, the menu and its layout."""
        saved = dict(zip((w.title for w in windows), x.settle(*windows)))
        self.home.write_shortcut()
        program, menu, layout = self.start_with_menu()
        layout = tray_steps.save_layout(menu, layout, program.pid, "Desk")
        return saved, program, menu, tray_steps.set_active(menu, layout, "Desk") if active else layout

class MainJourneyTest(Case):
    """A shortcut another X client holds, the command line and a second start beside
    the running copy, Launch at Login, Quit (the menu's layout: MenuControllerTest,
    LocaleTest; restores: WindowManagerRestoreTest)."""
    def test_journey(self):
        self.keep(Fixture("--grab-key=46,13"))  # X keycode 46 (L), Control+Alt+Shift
        self.home.write_shortcut()
        stored, held = self.shortcut(), "\u2303\u2325\u21e7L"
        program, menu, layout = self.start_with_menu()
        # Said once on stderr and in a notification; the settings keep it.
        [note] = wait_until(lambda: self.notes(held), 10, "the notification")
        self.assertRegex(note["body"], f"(?s)Another program already uses {held}.*shortcut window")
        self.assertEqual(len([l for l in program.lines() if held in l]), 1, program.lines())
        self.assertEqual(self.shortcut(), stored, "the settings keep the shortcut")
        # Options are answered without a display and without asking the running copy.
        shown = len(self.notes())
        env = {k: v for k, v in self.home.environment().items() if k != "DISPLAY"}
        version = r"^Tavelor \d+\.\d+\.\d+\n$"
        for args, status, out, err in [
                (["--help"], 0, r"^Usage: tavelor \[--help \| --version\]\n", r"^$"),
                (["-h"], 0, r"^Usage: tavelor", r"^$"),
                (["--version"], 0, version, r"^$"), (["-v"], 0, version, r"^$"),
                (["--frobnicate"], 2, r"^$", r'unexpected argument "--frobnicate"\n.*--help'),
                (["--help", "--version"], 2, r"^$", r'unexpected argument "--version"'),
                (["-platform", "offscreen"], 2, r"^$", r'unexpected argument "-platform"')]:
            run = subprocess.run([EXE, *args], env=env, capture_output=True, text=True, timeout=10)
            self.assertEqual((run.returncode, bool(re.search(out, run.stdout)),
                              bool(re.search(err, run.stderr, re.S))), (status, True, True), run)
        self.assertEqual(len(self.notes()), shown, "the running copy was asked something")
        # A second copy says so (stderr, and a notification from the first) and exits 1.
        second = self.start("second")
        self.assertEqual((second.wait(10), second.stderr()), (1, "Tavelor is already running.\n"))
        self.assertEqual(wait_until(lambda: self.notes()[shown:], 5, "a notification"), [{"app": "Tavelor", "summary":
                         "Tavelor is already running", "body": "Its menu is in the system tray."}])
        self.assertTrue(program.running())
        entry = os.path.join(self.home.config, "autostart", "tavelor.desktop")
        for on in (True, False):
            menu.click(layout.find("Launch at Login"))
            layout = menu.wait_for(lambda l: l.find("Launch at Login").checked == on)
            self.assertEqual(os.path.exists(entry), on)
            if on:
                self.assertIn(f"TryExec={os.path.realpath(EXE)}\n", Path(entry).read_text(encoding="utf-8"))
        menu.click(layout.find("Quit"))
        self.assertEqual(program.wait(10), 0)
        wait_until(lambda: self.panel.item_of(program.pid) is None, 10, "the item to go away")

class LocaleTest(Case):
    """The menu in the user's language, the texts as written without a table; and
    names that menus treat specially shown as stored: `&` (Qt's mnemonic mark), `_`
    (dbusmenu's) and a tab (Qt's shortcut column), which Qt's export mangles when
    a name is escaped for QMenu alone."""
    NAMES = ["R&D", "&", "tab\there", "snake_case__name", "_leading", "a && b & c"]
    APPS = ["Tom & Jerry", "my_app"]
    MENUS = {
        "C": ["Save Layout...", SHORTCUT, "Launch at Login", "Quit"],
        "en_GB.UTF-8": ["Save Layout...", "Keyboard Shortcut\u2026", "Launch at Login", "Quit"],
        "fr_FR.UTF-8": ["Enregistrer la disposition\u2026", SHORTCUT,
                        "Lancer \u00e0 l\u2019ouverture de session", "Quitter"],
        "pt_BR.UTF-8": ["Save Layout...", SHORTCUT, "Launch at Login", "Quit"],  # no table
    }
    def test_menu_in_each_language_with_names_as_stored(self):
        self.home.write_profiles([profile(self.NAMES[0], [snapshot(a, f"window {i}") for i, a in enumerate(self.APPS)])]
                                 + [profile(name) for name in self.NAMES[1:]])
        for lang, expected in self.MENUS.items():
            with self.subTest(lang=lang):
                program = self.start(f"tavelor-{lang}", lang)
                layout = self.panel.wait_for_item(program.pid).menu().wait_for(lambda l: len(l.entries()) > 5)
                names = layout.top()[2:2 + len(self.NAMES)]
                self.assertEqual([t for t in layout.top() if t not in ("---", *names)], expected)
                self.assertEqual(layout.find(names[0]).entries()[0].label,
                                 "Appliquer" if lang.startswith("fr") else "Apply")
                program.stop()
                wait_until(lambda: self.panel.item_of(program.pid) is None, 10, "the item to go")
        outline = "\n".join(layout.outline())
        # A tab may show as a space: a label has no columns.
        self.assertEqual([n.replace("\t", " ") for n in names],
                         [n.replace("\t", " ") for n in self.NAMES], outline)
        self.assertEqual([e.label for e in layout.find(names[0], "Remove App").entries()], self.APPS, outline)

class NoTrayHostTest(Case):
    """No tray host (a desktop without --tray): one line on stderr, the shortcut
    still applies the active profile, to windows in fullscreen and maximised
    states too; a panel that starts ten seconds later, as at many logins, gets the
    item without a restart."""
    def test_shortcut_without_tray_then_late_tray(self):
        clock = self.keep(x.xclock("e2e-lonely-clock", width=160, height=160, x=500, y=300))
        gtk = self.keep(Fixture("--window", "--class=gtkish,Gtkish", "--title=Shadowed", "--gtk-app-id=org.tavelor.Gtk",
                                "--gtk-frame-extents=10,12,8,14", "--geometry=320x240+300+200"))
        shadowed, before = x.Window(gtk.windows[0], "Shadowed"), x.settle(clock)
        os.makedirs(os.path.join(self.home.data, "applications"))
        Path(self.home.data, "applications", "org.tavelor.Gtk.desktop").write_text(
            "[Desktop Entry]\nType=Application\nName=Gtk Thing\n", encoding="utf-8")
        # xclock has no desktop entry: its WM_CLASS class stands for the bundle identifier.
        # Client-side shadows (left, right, top, bottom 10, 12, 8, 14): the frame saved
        # is inside the one the window manager draws.
        expected = {clock.title: (40, 50, 300, 260), shadowed.title: (630, 372, 302, 222)}
        self.home.write_profiles([profile("Corner", [
            snapshot("XClock", clock.title, *expected[clock.title], bundle="XClock"),
            snapshot("Gtk Thing", shadowed.title, 640, 380, 280, 200, bundle="org.tavelor.Gtk")],
            active=True)])
        self.home.write_shortcut()
        x.run("wmctrl", "-i", "-r", hex(clock.window), "-b", "add,fullscreen")
        x.run("wmctrl", "-i", "-r", hex(shadowed.window), "-b", "add,maximized_vert,maximized_horz")
        wait_until(lambda: x.settle(clock) != before and shadowed.frame()[2] > 600, 10, "states")
        program, started = self.start(), time.monotonic()
        wait_until(program.lines, 10, "the note about the tray")
        x.key(SHORTCUT_KEYS)
        self.assertBack([clock, shadowed], expected)
        self.assertEqual(len(program.lines()), 1, program.lines())
        self.assertIn("no system tray", program.stderr())
        spin(max(0, 10 - (time.monotonic() - started)))
        self.addCleanup(stop, subprocess.Popen([sys.executable, os.path.join(
            os.path.dirname(__file__), "..", "desktop", "sni-watcher")]))
        wait_until(lambda: self.panel.bus.name_has_owner("org.kde.StatusNotifierWatcher"), 10, "the watcher")
        self.panel.wait_for_menu(program.pid)  # the same process, now with its item

class ShortcutWindowTest(Case):
    """The shortcut window: its recorder, and the window itself."""
    def open_window(self, menu, record=True):
        menu.click(menu.layout().find(SHORTCUT, prefix=True))
        window = wait_until(lambda: x.find("Raccourci clavier"), 10, "the shortcut window")
        x.activate(window)
        if record:  # the record button, in the window's content
            x.run("xdotool", "mousemove", "--window", str(window), "190", "108", "click", "1")
            spin(0.5)
        return window
    def test_recorder(self):
        term = self.keep(x.xterm("e2e-term"))
        saved, program, menu, layout = self.saved_desk(term)
        stored = self.shortcut()
        # A titled, closable dialog without minimise or maximise.
        window = self.open_window(menu, record=False)
        props = x.run("xprop", "-id", str(window), "_NET_WM_WINDOW_TYPE", "_MOTIF_WM_HINTS",
                      "_NET_WM_ALLOWED_ACTIONS", "WM_NAME")
        self.assertIn("_NET_WM_WINDOW_TYPE_DIALOG", props)
        self.assertIn('"Raccourci clavier"', props)
        # Motif functions and decorations: close (32) and title (8), no minimise (8, 32) nor maximise (16, 64).
        _, functions, decorations = (int(v, 16) for v in re.search(
            r"_MOTIF_WM_HINTS\(\w+\) = (0x\w+), (0x\w+), (0x\w+)", props).groups())
        self.assertEqual((functions & (8 | 16 | 32), decorations & (8 | 32 | 64)), (32, 8))
        actions = set(re.findall(r"_NET_WM_ACTION_(\w+)", props))
        self.assertEqual(actions & {"CLOSE", "RESIZE", "MAXIMIZE_HORZ", "MAXIMIZE_VERT"}, {"CLOSE"})
        x.screenshot(self.out, "window")
        # Its own windows are never saved.
        tray_steps.save_layout(menu, menu.layout(), program.pid, "Own", others={window})
        self.assertEqual([s["windowTitle"] for s in self.home.read_profiles()[-1]["snapshots"]],
                         [term.title])
        # The current shortcut records itself again instead of applying the profile.
        self.open_window(menu)
        self.assertStays(term, "the profile was applied while recording")
        self.assertEqual(self.shortcut(), stored)
        x.key(SHORTCUT_KEYS)
        self.assertBack([term], saved)
        # Control+Alt+G (X keycode 42), held by another program, reaches the
        # recorder and is refused: a beep and a notice, no shortcut, settings
        # unchanged, the other one not fired.
        other = self.keep(Fixture("--bells", "--grab-key=42,12"))
        rung = other.count()
        self.open_window(menu)
        x.key("ctrl+alt+g")
        wait_until(lambda: other.count() > rung, 5, "a beep")
        notes = wait_until(lambda: self.notes("\u2303\u2325G"), 10, "the notification")
        self.assertIn("taken", notes[0]["summary"])
        self.assertEqual((other.count("keys"), self.shortcut()), (0, stored))
        self.assertStays(term, "no shortcut should be registered now")
        x.key("ctrl+alt+g")  # the capture is over, and the keyboard with it
        wait_until(lambda: other.count("keys") == 1, 5, "the other program's shortcut")
        window = self.open_window(menu)
        x.key("ctrl+shift+k")
        wait_until(lambda: self.shortcut() == ("40", "4608"), 10, "the new shortcut saved")
        menu.wait_for(lambda l: l.find(SHORTCUT, prefix=True).label == SHORTCUT + " (\u2303\u21e7K)",
                      what="the new shortcut in the menu")
        x.run("wmctrl", "-i", "-c", hex(window))  # as its close button does
        wait_until(lambda: not x.windows_of(program.pid), 5, "the window to close")
        self.assertStays(term, "the old shortcut should do nothing now", (520, 380, 400, 220))
        x.key("ctrl+shift+k")
        self.assertBack([term], saved)
        self.open_window(menu, record=False)
        x.key("ctrl+q")  # Control+Q in the window quits
        self.assertEqual(program.wait(10), 0)

class WindowManagerRestoreTest(Case):
    """What Tavelor saves is what the server shows; every window back to the pixel
    from the profile's entry, its Apply item and the shortcut (a window manager that
    adds its decorations to the size it is given grows windows on every restore),
    and two same-titled windows of one program each to its own frame whichever
    was raised."""
    SCRAMBLES = {"wm-term": [(420, 380, 500, 260), (700, 420, 420, 200), (300, 200, 560, 300)],
                 "wm-clock": [(60, 420, 320, 240), (300, 200, 150, 300), (900, 500, 250, 250)],
                 "twin 0": [(700, 60, 200, 150), (40, 500, 320, 220), (600, 300, 240, 240)],
                 "twin 1": [(60, 60, 320, 260), (800, 80, 280, 200), (200, 450, 300, 180)]}
    def test_restores_three_ways_with_twins_restacked(self):
        twin = ["--window", "--class=twin,Twin", "--title=twin"]
        twins = self.keep(Fixture(*twin, "--geometry=300x200+100+450", *twin, "--geometry=260x180+520+420"))
        windows = [self.keep(x.xterm("wm-term")),
                   self.keep(x.xclock("wm-clock", width=200, height=200, x=700, y=100)),
                   x.Window(twins.windows[0], "twin 0"), x.Window(twins.windows[1], "twin 1")]
        saved, _, menu, layout = self.saved_desk(*windows, active=False)
        self.assertEqual(layout.top()[:4], ["Save Layout...", "---", "Desk", "---"])
        self.assertFalse(layout.find("Desk").checked)
        stored = sorted((s["windowTitle"], tuple(s["frame"][k] for k in ("x", "y", "width",
                        "height"))) for s in self.home.read_profiles()[0]["snapshots"])
        self.assertEqual(stored, sorted((t.split(" ")[0], tuple(f)) for t, f in saved.items()),
                         f"the frames saved under {WM}")
        for cycle, how in enumerate(("entry", "Apply", "shortcut")):
            for window in windows:
                window.move_resize(*self.SCRAMBLES[window.title][cycle])
            self.assertFalse(any(w.back(saved[w.title]) for w in windows[:2]))
            # The twin mapped first raised: front to back, the opposite of the save.
            x.activate(twins.windows[0])
            x.settle(*windows)
            if how == "shortcut":
                layout = tray_steps.set_active(menu, layout, "Desk")
                self.assertTrue(layout.find("Desk").checked)
                self.assertTrue(self.home.read_profiles()[0]["isActive"])
                x.key(SHORTCUT_KEYS)
            else:  # a panel may fire the profile's own entry or open its submenu
                menu.click(layout.find(*("Desk", how)[:1 + (how == "Apply")]))
            self.assertBack(windows, saved, f"restore by {how}")
            self.assertEqual(x.settle(*windows), [saved[w.title] for w in windows], how)

class XServerGoneTest(Case):
    """The X server Tavelor runs on killed (idle, with the save dialog's own event
    loop running, or where only Tavelor's own connection goes there as under
    XWayland), or none at start: one line, an exit status (no signal, so no core
    dump), the profiles file as it was."""
    def assertOneLineExit(self, program, before=()):
        status, lines = program.wait(30), program.lines()[len(before):]
        self.assertEqual((status > 0, len(lines), (lines or [""])[0][:8]), (True, 1, "Tavelor:"),
                         f"an exit status, not a signal, and one line on stderr: {status}, {lines!r}")
        return lines[0]
    def test_server_killed(self):
        self.home.write_profiles([profile("Kept", [snapshot("XTerm", "t", 10, 20, 300, 200)], active=True)])
        before = Path(self.home.profiles_file).read_bytes()
        for case in ("save dialog open", "offscreen toolkit", "idle"):
            with self.subTest(case=case):
                server = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                                           "-noreset"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
                self.addCleanup(lambda s=server: (s.kill(), s.wait(), s.stdout.close()))
                self.home.overrides = {"DISPLAY": ":" + server.stdout.readline().strip()}  # once it takes clients
                if case == "offscreen toolkit":
                    self.home.overrides["QT_QPA_PLATFORM"] = "offscreen"
                    program = self.start(case)
                    spin(1.5)
                else:
                    program, menu, layout = self.start_with_menu(name=case)
                    if case == "save dialog open":
                        menu.click(layout.find("Save Layout..."))
                        spin(1.0)
                self.assertTrue(program.running(), program.stderr())
                lines = program.lines()
                server.send_signal(signal.SIGKILL)
                self.assertIn("X server", self.assertOneLineExit(program, lines))
                self.assertEqual(Path(self.home.profiles_file).read_bytes(), before)
                if case == "idle":
                    # The lock of the copy that ended so abruptly keeps no next one out.
                    self.home.overrides = {}
                    self.panel.wait_for_item(self.start("next").pid)
    def test_no_server_at_start(self):
        self.home.overrides = {"DISPLAY": ":65000"}  # as at a login whose server is not up
        self.assertOneLineExit(self.start())

class ChurnTest(Case):
    """Windows made and destroyed as fast as the server takes them while the
    shortcut applies a profile naming them, again and again; then openbox killed:
    menu commands say so in an alert and save nothing, the shortcut beeps and moves
    nothing; openbox back: the same process restores; then hostile windows on
    screen while the menu is read and "Save Layout..." is used: what is saved of
    each (title, application) is sensible or absent."""
    HOSTILE = [  # fixture options, the title saved (None: no title)
        (["--title-hex=ff41c3", "--pid=1"], "\ufffdA\ufffd"),
        (["--title-bytes=4000000"], "a" * 65536),
        (["--wm-name-hex=636166e9"], "caf\u00e9"),
        (["--wm-name-type=COMPOUND_TEXT", "--wm-name-hex=1b2547636166c3a91b25401b2d41e9"],
         "caf\u00e9\u00e9"),
        (["--title=wrong-format", "--title-format=16"], None),
        (["--wm-name-type=CARDINAL", "--wm-name-hex=01020304"], None),
        (["--title=", "--type=DOCK", "--type-as-cardinal"], ""),  # a malformed type is none
        (["--title=shadows", "--gtk-frame-extents=5000,5000,5000,5000"], "shadows"),
        (["--title=pid-as-text", "--pid-format=8"], "pid-as-text"),
        (["--title=absurd", "--frame-extents=4000000000,7,99999,1"], "absurd"),
        (["--pid=TAVELOR", "--title=claims tavelor"], "claims tavelor"),
        (["--pid=XTERM", "--title=claims xterm"], "claims xterm"),
        # A dock of a regular application is no window the user arranges; leaving
        # the taskbar does not leave the layout.
        (["--title=Dock", "--type=DOCK"], False),
        (["--title=Beta", "--skip-taskbar"], "Beta"),
        ([f"--class=long,{'L' * 120000}", "--title=long class"], "long class"),
    ]
    def test_churn_window_manager_restart_then_hostile_windows(self):
        term = self.keep(x.xterm("faults-churn-term"))
        churn = ["--window", "--count=4", "--class=churn,Churn", "--title=churn %d",
                 "--geometry=120x80+600+400"]
        # Saved with windows of the churning kind on screen, so that every apply
        # looks for windows that come and go under it.
        still = Fixture(*churn)
        saved, program, menu, layout = self.saved_desk(term)
        still.close()
        churning = Fixture("--fast-churn", *churn)
        deadline, presses = time.monotonic() + 20, 0
        while time.monotonic() < deadline or presses < 100:  # a loaded machine presses slower
            x.key(SHORTCUT_KEYS)
            presses += 1
            spin(0.05)
        cycles = int(churning.close().split()[-1])
        print(f"{cycles} churn cycles, {presses} shortcut presses", file=sys.stderr)
        self.assertTrue(program.running(), program.stderr())
        self.assertGreaterEqual(cycles, 1000, "thousands of windows made and destroyed")
        self.assertEqual([l for l in program.lines() if X_ERRORS.search(l)], [])
        wm_pid, profiles = int(os.environ["TAVELOR_TEST_WM_PID"]), self.home.read_profiles()
        os.kill(wm_pid, signal.SIGKILL)
        wait_until(lambda: "Openbox" not in x.run("wmctrl", "-m", check=False), 5, "openbox to die")
        spin(0.3)
        # "Save Layout..." shows the permission alert, not the name dialog.
        tray_steps.answer_dialog(menu, layout.find("Save Layout..."), program.pid, "Ghost",
                                 focus="windowfocus")
        self.assertIsNone(menu.layout().find("Ghost"))
        self.assertEqual(self.home.read_profiles(), profiles)
        x.run("xdotool", "windowmove", str(term.window), "500", "400")
        moved = wait_until(lambda: term.frame() if term.frame() != saved[term.title] else None, 5,
                           "the xterm to move")
        bells = self.keep(Fixture("--bells"))
        rung = bells.count()
        x.key(SHORTCUT_KEYS)
        wait_until(lambda: bells.count() > rung, 5, "a beep")
        spin(0.5)
        self.assertEqual((term.frame(), bells.count()), (moved, rung + 1))
        self.addCleanup(stop, subprocess.Popen(["openbox", "--sm-disable"], stderr=subprocess.DEVNULL))
        # The old frame extents stay on the window; openbox is back once wmctrl finds it.
        wait_until(lambda: "Openbox" in x.run("wmctrl", "-m", check=False), 15, "the new openbox")
        spin(0.5)
        x.settle(term)
        x.key(SHORTCUT_KEYS)  # which scans the new openbox's windows afresh
        self.assertBack([term], saved)
        pids = {"--pid=TAVELOR": f"--pid={program.pid}", "--pid=XTERM": f"--pid={term.process.pid}"}
        self.keep(Fixture(*(pids.get(a, a) for options, _ in self.HOSTILE
                            for a in ["--window", "--class=hostile,Hostile", *options])))
        # No WM_CLASS and no _NET_WM_PID: the server still knows the process.
        self.keep(Fixture("--window", "--no-pid", "--title=anonymous"))
        # Nothing but a skip-taskbar window and a dock: an accessory application.
        self.keep(Fixture("--window", "--class=tray,TrayThing", "--skip-taskbar", "--title=Tray",
                          "--window", "--class=tray,TrayThing", "--type=DOCK", "--title=Panel"))
        self.keep(Fixture("--retitle-hz=1000", "--window", "--title=retitled", "--class=fast,Fast"))
        for _ in range(20):
            self.assertIsNotNone(menu.layout().find("Save Layout..."))
            spin(0.05)
        # A window claims Tavelor's pid, so the dialog is the window that is new.
        tray_steps.save_layout(menu, menu.layout(), program.pid, "Hostile",
                               others=set(x.windows_of(program.pid)))
        hostile = next(p for p in self.home.read_profiles() if p["name"] == "Hostile")
        # One application, by the server's pid whatever _NET_WM_PID claims.
        found = {s.get("bundleIdentifier"): s for s in hostile["snapshots"]}
        self.assertEqual([s.get("windowTitle") for s in hostile["snapshots"]
                          if s.get("bundleIdentifier") == "Hostile"],
                         [t for _, t in self.HOSTILE if t is not False])
        self.assertNotIn("TrayThing", found)
        self.assertEqual(found[None]["appName"], "fixture_client.")  # /proc/PID/comm, cut at 15
        self.assertTrue(program.running())

class FullDiskTest(Case):
    """XDG_DATA_HOME on a tiny tmpfs, filled up or remounted read-only (root is not
    stopped by mode bits): a save fails, the old file stays byte for byte, and no
    temporary file is left beside it."""
    def test_save_fails_and_keeps_the_file(self):
        if not os.environ.get("TAVELOR_TEST_PRIVATE_MOUNTS"):
            self.skipTest("needs a private mount namespace (unshare -m)")
        self.keep(x.xterm("faults-disk-term"))
        data = self.home.data
        subprocess.run(["mount", "-t", "tmpfs", "-o", "size=256k,mode=0700", "tavelor-full", data], check=True)
        self.addCleanup(subprocess.run, ["umount", "-l", data])
        self.home.write_profiles([profile("Old", [snapshot("XTerm", "old window")])])
        before = Path(self.home.profiles_file).read_bytes()
        # Full from the start; then room again, but read-only under the running program.
        for case, command in [("full", ["dd", "if=/dev/zero", f"of={data}/filler", "bs=4k"]),
                              ("read-only", ["rm", f"{data}/filler"])]:
            with self.subTest(case=case):
                subprocess.run(command, capture_output=True)
                program, menu, layout = self.start_with_menu(name=case)
                if case == "read-only":
                    subprocess.run(["mount", "-o", "remount,ro", data], check=True)
                tray_steps.answer_dialog(menu, layout.find("Save Layout..."), program.pid, "Too big")
                spin(0.5)
                self.assertTrue(program.running())
                layout = menu.layout()  # rebuilt from the file, which is as it was
                self.assertEqual((bool(layout.find("Old")), bool(layout.find("Too big"))), (True, False))
                self.assertEqual(Path(self.home.profiles_file).read_bytes(), before)
                self.assertEqual(os.listdir(self.home.profiles_folder), ["profiles.json"])
                program.stop()  # one copy at a time

if __name__ == "__main__":
    unittest.main(verbosity=2)
