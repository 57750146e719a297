#!/usr/bin/python3
"""build/tavelor (TAVELOR_EXE) in tests/wayland/kwin-session --clients, driven as a
panel and a user drive it: the tray menu over D-Bus, keys through KWin's fake input
(TAVELOR_FAKE_KEYS). Frames are read and scrambled by KWin scripts of the test."""

import json
import os
import subprocess
import sys
import tempfile
import unittest

import dbus
import dbus.service

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "e2e"))

from panel import Panel, wait_until  # noqa: E402
from tavelor_process import Home, Tavelor  # noqa: E402

CLIENTS = ("Qt Native", "GTK Native", "XWayland Term")
# Linux input key codes.
KEYS = {"d": 32, "e": 18, "s": 31, "k": 37, "Return": 28}
CTRL_ALT_T = ("29", "56", "20")


def press(*codes):
    subprocess.run([os.environ["TAVELOR_FAKE_KEYS"], *map(str, codes)], check=True)


class KWin(dbus.service.Object):
    """Runs scripts in KWin; they answer on this object."""

    def __init__(self, bus):
        super().__init__(bus, "/kwine2e")
        self.bus = bus
        self.answer = None
        self.scripting = dbus.Interface(bus.get_object("org.kde.KWin", "/Scripting"),
                                        "org.kde.kwin.Scripting")
        self.count = 0

    @dbus.service.method("app.tavelor.KWinE2E", in_signature="s")
    def Answer(self, text):  # noqa: N802
        self.answer = json.loads(text)

    def run(self, body):
        self.count += 1
        name = f"tavelor-e2e-{self.count}"
        with tempfile.NamedTemporaryFile("w", suffix=".js", dir=os.environ["XDG_RUNTIME_DIR"],
                                         delete=False) as script:
            script.write("const all = typeof workspace.windowList === 'function' ? "
                         "workspace.windowList() : workspace.clientList();\n"
                         "const answer = (value) => callDBus('%s', '/kwine2e', "
                         "'app.tavelor.KWinE2E', 'Answer', JSON.stringify(value));\n%s"
                         % (self.bus.get_unique_name(), body))
        self.answer = None
        self.scripting.loadScript(script.name, name, signature="ss")
        self.scripting.start()
        wait_until(lambda: self.answer is not None, 10, "the script's answer")
        self.scripting.unloadScript(name)
        os.unlink(script.name)
        return self.answer

    def frames(self):
        return {w[0]: w[1:] for w in self.run(
            "answer(all.map(w => [w.caption, w.frameGeometry.x, w.frameGeometry.y, "
            "w.frameGeometry.width, w.frameGeometry.height, w.pid]));")}

    def scramble(self):
        self.run("all.forEach((w, i) => { if (%s.includes(w.caption)) w.frameGeometry = "
                 "{x: 30 + 200 * i, y: 500 - 100 * i, width: 350, height: 250}; });"
                 "answer(0);" % json.dumps(list(CLIENTS)))


class KWinJourneyTest(unittest.TestCase):
    def test_save_scramble_apply_from_menu_and_shortcut(self):
        panel = Panel()
        kwin = KWin(panel.bus)
        wait_until(lambda: all(t in kwin.frames() for t in CLIENTS), 30, "the clients")
        home = Home()
        home.write_shortcut()
        os.environ["QT_QPA_PLATFORM"] = "wayland"
        program = Tavelor(os.environ["TAVELOR_EXE"], home, home.root)
        self.addCleanup(program.stop)
        menu = panel.wait_for_item(program.pid).menu()
        layout = menu.wait_for(lambda l: l.find("Save Layout..."), what="the menu")

        menu.click(layout.find("Save Layout..."))
        wait_until(lambda: any(f[4] == program.pid for f in kwin.frames().values()), 10,
                   "the save dialog, a native window")
        press(*(KEYS[c] for c in "desk"))
        press(KEYS["Return"])
        layout = menu.wait_for(lambda l: l.find("desk"), what="the profile in the menu")
        snapshots = home.read_profiles()[0]["snapshots"]
        saved = {s["windowTitle"]: s["frame"] for s in snapshots}
        self.assertEqual(sorted(saved), sorted(CLIENTS), program.stderr())
        bundles = {s["windowTitle"]: s["bundleIdentifier"] for s in snapshots}
        self.assertEqual(bundles["Qt Native"], "org.tavelor.QtNative")
        self.assertEqual(bundles["GTK Native"], "org.tavelor.GtkNative")
        # KWin 6 finds a desktop file for an X11 window itself.
        self.assertIn(bundles["XWayland Term"], ("xterm", "debian-xterm"))
        frames = kwin.frames()
        for title in CLIENTS:
            f = saved[title]
            self.assertEqual([f["x"], f["y"], f["width"], f["height"]], frames[title][:4], title)

        def restored():
            now = kwin.frames()
            return all(now[t][:4] == [saved[t][k] for k in ("x", "y", "width", "height")]
                       for t in CLIENTS)

        kwin.scramble()
        wait_until(lambda: not restored(), 10, "the windows to be scrambled")
        menu.click(layout.find("desk"))
        wait_until(restored, 10, "the windows back from the menu")

        layout = menu.wait_for(lambda l: l.find("desk", "Set as Active"), what="the submenu")
        menu.click(layout.find("desk", "Set as Active"))
        menu.wait_for(lambda l: l.find("desk", "Deactivate"), what="the profile to be active")
        kwin.scramble()
        wait_until(lambda: not restored(), 10, "the windows to be scrambled")
        press(*CTRL_ALT_T)
        wait_until(restored, 10, "the windows back from the shortcut")


if __name__ == "__main__":
    unittest.main(verbosity=2)
