#!/usr/bin/python3
"""In tests/wayland/kwin-session: build/tavelor driven through its tray menu over D-Bus
and keys through KWin's fake input (TAVELOR_FAKE_KEYS), frames read and scrambled by
KWin scripts; then the backend's faults (argv[1], kwin_tests) with the same windows."""

import json
import os
import subprocess
import sys
import tempfile
import unittest

import dbus
import dbus.service

from wayland_steps import CLIENTS, Panel, journey, start_clients, start_tavelor, wait_until

KEYS = {"d": 32, "e": 18, "s": 31, "k": 37, "\n": 28}  # Linux input key codes
CTRL_ALT_T = (29, 56, 20)


def press(*codes):
    subprocess.run([os.environ["TAVELOR_FAKE_KEYS"], *map(str, codes)], check=True)


class KWin(dbus.service.Object):
    """Runs scripts in KWin that answer on this object; the desktop of the journey."""

    def __init__(self, bus):
        super().__init__(bus, "/kwine2e")
        self.bus, self.answer, self.count, self.menu = bus, None, 0, None
        self.scripting = dbus.Interface(bus.get_object("org.kde.KWin", "/Scripting"), "org.kde.kwin.Scripting")

    @dbus.service.method("app.tavelor.KWinE2E", in_signature="s")
    def Answer(self, text):  # noqa: N802
        self.answer = json.loads(text)

    def run(self, body):
        self.count += 1
        name = f"tavelor-e2e-{self.count}"
        with tempfile.NamedTemporaryFile("w", suffix=".js", dir=os.environ["XDG_RUNTIME_DIR"], delete=False) as script:
            script.write("const all = typeof workspace.windowList === 'function' ? workspace.windowList() : "
                         "workspace.clientList();\nconst answer = (value) => callDBus('%s', '/kwine2e', "
                         "'app.tavelor.KWinE2E', 'Answer', JSON.stringify(value));\n%s"
                         % (self.bus.get_unique_name(), body))
        self.answer = None
        self.scripting.loadScript(script.name, name, signature="ss")
        self.scripting.start()
        wait_until(lambda: self.answer is not None, 10, "the script's answer")
        self.scripting.unloadScript(name)
        os.unlink(script.name)
        return self.answer

    def windows(self):
        return self.run("answer(all.map(w => [w.caption, w.pid, w.frameGeometry.x, w.frameGeometry.y, "
                        "w.frameGeometry.width, w.frameGeometry.height]));")

    def frames(self):
        return {w[0]: w[2:] for w in self.windows() if w[0] in CLIENTS}

    def dialog_up(self, pid):
        return any(w[1] == pid for w in self.windows())

    def scramble(self):
        self.run("all.forEach((w, i) => { if (%s.includes(w.caption)) w.frameGeometry = {x: 30 + 200 * i, "
                 "y: 500 - 100 * i, width: 350, height: 250}; }); answer(0);" % json.dumps(list(CLIENTS)))

    def choose(self, *labels):
        self.menu.click(self.menu.wait_for(lambda l: l.find(*labels)).find(*labels))

    def wait_for_menu(self, what):  # the tray menu is the only one
        pass

    def type(self, text):
        for c in text + "\n":
            press(KEYS[c])

    def shortcut(self):
        press(*CTRL_ALT_T)


class KWinTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.panel = Panel()
        cls.kwin = KWin(cls.panel.bus)
        start_clients(cls.addClassCleanup)
        wait_until(lambda: len(cls.kwin.frames()) == len(CLIENTS), 30, "the clients")

    def test_1_journey_through_the_menu_and_the_shortcut(self):
        os.environ["QT_QPA_PLATFORM"] = "wayland"
        home, program = start_tavelor(self.addCleanup)
        self.kwin.menu = self.panel.wait_for_item(program.pid).menu()
        journey(self, self.kwin, self.kwin.menu, home, program.pid)

    def test_2_backend_faults_kwin_ended_last(self):
        self.assertEqual(subprocess.run([sys.argv[1]]).returncode, 0)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
