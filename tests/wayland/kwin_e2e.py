#!/usr/bin/python3
"""In tests/wayland/kwin-session: build/tavelor driven through its tray menu over D-Bus and keys
through KWin's fake input (TAVELOR_FAKE_KEYS), frames read and scrambled by KWin scripts, the shortcut
window, a dock cycle over the session's two outputs (kscreen-doctor); then the backend's faults
(argv[1], kwin_tests) with the same windows."""
import json
import os
import re
import subprocess
import sys
import unittest

import dbus
import dbus.service

from wayland_steps import (CLIENTS, Panel, TrayDesktop, dock_cycle, journey, spin, start_clients, start_tavelor,
                           states_come_back, until_back, wait_until)

KEYS = {"d": 32, "e": 18, "s": 31, "k": 37, "o": 24, "c": 46, "t": 20, "a": 30, "\n": 28}  # Linux input key codes
CTRL_ALT_T, CTRL_ALT_G, CTRL_SHIFT_K, SPACE = (29, 56, 20), (29, 56, 34), (29, 42, 37), 57
HELD = ["tavelor-e2e-other", "act", "Other", "Act"]  # another program's Control+Alt+G
TAVELOR = ["tavelor", "apply-active-profile", "Tavelor", "Apply Active Profile"]
PLACES = dict(zip(CLIENTS, ([200, 100], [2100, 150], [2700, 400], [600, 500])))  # two on Virtual-1
# Sets {title: [desktop or -1 to keep, vertical, horizontal, minimized, fullScreen, keepAbove]} on two desktops, then
# activates "qt window"; answers as wayland_steps.states_come_back wants, for the "S ..." xterms and the clients.
STATES = """if (typeof workspace.desktops === "number") workspace.desktops = 2;
else if (workspace.desktops.length < 2) workspace.createDesktop(1, "2");
const set = %s, desktop = w => typeof w.desktop === "number" ? w.desktop : w.desktops.map(d => String(d.id)).join();
const active = workspace.activeWindow !== undefined ? "activeWindow" : "activeClient";
all.forEach(w => { const s = set[w.caption]; if (!s) return;
    if (s[0] >= 0) { if (typeof w.desktop === "number") w.desktop = s[0] + 1; else w.desktops = [workspace.desktops[s[0]]]; }
    w.setMaximize(s[1], s[2]); w.minimized = s[3]; w.fullScreen = s[4]; w.keepAbove = s[5]; });
if (Object.keys(set).length) workspace[active] = all.find(w => w.caption === "qt window");
answer([all.filter(w => w.caption.startsWith("S ") || %s.includes(w.caption)).reduce((o, w) => (o[w.caption] =
    [desktop(w), w.maximizeMode, w.minimized, w.fullScreen, w.keepAbove], o), {}), String(workspace[active]),
    String(workspace.currentDesktop)]);"""
SCRIPT = ("const all = typeof workspace.windowList === 'function' ? workspace.windowList() : workspace.clientList();\n"
          "const answer = (value) => callDBus('%s', '/kwine2e', 'app.tavelor.KWinE2E', 'Answer', JSON.stringify(value));\n")

def press(*codes):
    subprocess.run([os.environ["TAVELOR_FAKE_KEYS"], *map(str, codes)], check=True)

def notices():  # the summaries of the notifications shown, as tests/desktop/sni-watcher logs them
    with open(os.environ["TAVELOR_TEST_NOTIFY_LOG"], encoding="utf-8") as log:
        return [json.loads(line)["summary"] for line in log if line.strip()]

class KWin(dbus.service.Object, TrayDesktop):
    """Runs scripts in KWin that answer on this object; the journey's desktop."""
    def __init__(self, bus):
        super().__init__(bus, "/kwine2e")
        self.bus, self.answer, self.count, self.menu = bus, None, 0, None
        self.scripting = dbus.Interface(bus.get_object("org.kde.KWin", "/Scripting"), "org.kde.kwin.Scripting")
    @dbus.service.method("app.tavelor.KWinE2E", in_signature="s")
    def Answer(self, text):  # noqa: N802
        self.answer = json.loads(text)
    def run(self, body):
        self.count, self.answer = self.count + 1, None
        name, path = f"tavelor-e2e-{self.count}", f"{os.environ['XDG_RUNTIME_DIR']}/e2e-{self.count}.js"
        with open(path, "w", encoding="utf-8") as script:
            script.write(SCRIPT % self.bus.get_unique_name() + body)
        self.scripting.loadScript(path, name, signature="ss")
        self.scripting.start()
        wait_until(lambda: self.answer is not None, 10, "the script's answer")
        self.scripting.unloadScript(name)
        return self.answer
    def windows(self):
        return self.run("answer(all.map(w => (f => [w.caption, w.pid, f.x, f.y, f.width, f.height])(w.frameGeometry)));")
    def frames(self):
        return {w[0]: w[2:] for w in self.windows() if w[0] in CLIENTS}
    def dialog_up(self, pid):
        return any(w[1] == pid for w in self.windows())
    def close(self, pid):  # as the window manager's close button does
        self.run("all.forEach(w => { if (w.pid == %d) w.closeWindow(); }); answer(0);" % pid)
    def scramble(self):
        self.run("all.forEach((w, i) => { if (%s.includes(w.caption)) w.frameGeometry = {x: 30 + 200 * i, "
                 "y: 500 - 100 * i, width: 350, height: 250}; }); answer(0);" % json.dumps(list(CLIENTS)))
    def spread(self, shift):
        self.run("const at = %s; all.forEach(w => { if (at[w.caption]) w.frameGeometry = {x: at[w.caption][0] + %d, "
                 "y: at[w.caption][1] + %d, width: 400, height: 300}; }); answer(0);" % (json.dumps(PLACES), shift, shift))
        wait_until(lambda: all(self.frames()[t][:2] == [x + shift, y + shift] for t, (x, y) in PLACES.items()), 10, "moves")
    def states(self, table):  # STATES
        return self.run(STATES % (json.dumps(table), json.dumps(list(CLIENTS))))
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
        cls.accel = dbus.Interface(cls.panel.bus.get_object("org.kde.kglobalaccel", "/kglobalaccel"), "org.kde.KGlobalAccel")
        start_clients(cls.addClassCleanup)
        wait_until(lambda: len(cls.kwin.frames()) == len(CLIENTS), 30, "the clients")
        os.environ["QT_QPA_PLATFORM"] = "wayland"
        cls.home, cls.program = start_tavelor(cls.addClassCleanup)
        cls.kwin.menu = cls.panel.wait_for_item(cls.program.pid).menu()
    def test_0_dock_cycle(self):
        outputs = lambda *change: lambda *_: subprocess.run(["kscreen-doctor", *change], check=True, timeout=30)  # noqa: E731
        dock_cycle(self, self.kwin, self.home, self.program.pid, ["Virtual-0", "Virtual-1"],
                   outputs("output.Virtual-1.disable"), outputs("output.Virtual-1.enable"))
    def test_1_journey_through_the_menu_and_the_shortcut(self):
        journey(self, self.kwin, self.home, self.program.pid)
    def shortcut(self):  # key code and modifiers in the settings
        with open(self.home.settings_file, encoding="utf-8") as conf:
            return re.findall(r"^hotKey(?:KeyCode|Modifiers)=(\d+)$", conf.read(), re.M)
    def held(self):  # kglobalaccel's keys for Tavelor
        return any(self.accel.shortcut(TAVELOR))
    def record(self, keys, done=None):  # Space on the record button, keys: until done(), or once recording
        self.kwin.choose(self.kwin.menu.layout().find("Raccourci clavier", prefix=True).label)
        if done:
            wait_until(lambda: done() or press(SPACE) or press(*keys) or spin(1), 10, "the recording")
        else:
            wait_until(lambda: not self.held() or press(SPACE) or spin(1), 10, "the recording")
            press(*keys)
    def test_2_shortcut_window_records_and_refuses_what_another_program_holds(self):
        pid, saved, item = self.program.pid, self.kwin.frames(), "Raccourci clavier\u2026 (\u2303\u21e7K)"
        self.record(CTRL_SHIFT_K, lambda: self.shortcut() == ["40", "4608"])
        self.kwin.close(pid)  # as KWin's close button: the window comes back from the menu, its item the new shortcut
        wait_until(lambda: not self.kwin.dialog_up(pid), 10, "the window to close")
        self.kwin.choose(item)
        wait_until(lambda: self.kwin.dialog_up(pid), 10, "the window again")
        self.kwin.close(pid)
        self.kwin.scramble()
        scrambled = wait_until(lambda: (f := self.kwin.frames()) != saved and f, 10, "the scramble")
        press(*CTRL_ALT_T)
        spin(2)
        self.assertEqual(self.kwin.frames(), scrambled, "the old shortcut still applies")
        until_back(self.kwin.frames, saved, lambda: press(*CTRL_SHIFT_K), "the new shortcut")
        # Another program's combination reaches the recording window and is refused: none held.
        self.accel.doRegister(HELD)
        self.accel.setShortcut(HELD, [0x0C000047], dbus.UInt32(6))  # Control+Alt+G
        fired = []
        self.panel.bus.add_signal_receiver(lambda *a: fired.append(a), "globalShortcutPressed",
                                           path="/component/" + HELD[0].replace("-", "_"))
        self.record(CTRL_ALT_G)
        wait_until(lambda: "The shortcut \u2303\u2325G is taken" in notices(), 10, "the notice")
        self.assertEqual((fired, self.shortcut(), self.held()), ([], ["40", "4608"], False))
        wait_until(lambda: fired or press(*CTRL_ALT_G) or spin(1), 10, "the other program's shortcut")
        self.record(CTRL_SHIFT_K, self.held)
    def test_2_states_of_xterms_come_back_and_the_focus_and_desktop_stay(self):
        no = [False] * 3
        saved = {"S desk": [1, False, False, *no], "S max": [-1, True, True, *no], "S vert": [-1, True, False, *no],
                 "S min": [-1, False, False, True, False, False], "S full": [-1, False, False, False, True, False],
                 "S above": [-1, False, False, False, False, True]}
        terms = [subprocess.Popen(["xterm", "-T", title]) for title in saved]
        self.addCleanup(lambda: [(t.terminate(), t.wait()) for t in terms])
        wait_until(lambda: set(saved) <= {w[0] for w in self.kwin.windows()}, 30, "the xterms")
        _, read = states_come_back(self, self.kwin, self.home, self.program.pid, self.kwin.states, saved, {
            "S desk": [0, False, False, *no], "S max": [-1, False, True, *no], "S vert": [-1, False, False, True, False,
            False], "S min": [-1, True, True, *no], "S full": [-1, False, False, False, False, True],
            "S above": [-1, False, False, True, False, False]})
        self.assertEqual((read["S desk"][0] != read["S max"][0], read["S min"][2]), (True, True))
    def test_3_quit_frees_the_shortcut(self):  # Launch at Login is the same on every desktop: tray_e2e
        self.kwin.choose("Quit")
        self.assertEqual((self.program.wait(10), self.held()), (0, False))
    def test_4_backend_faults_kwin_ended_last(self):
        self.assertEqual(subprocess.run([sys.argv[1], "-platform", "offscreen"]).returncode, 0)

if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
