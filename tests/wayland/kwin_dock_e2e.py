"""Run by kwin_e2e.py with two outputs: a dock cycle through build/tavelor, the profile saved and
marked; when the output comes back, KWin puts back its own last layout and Tavelor the saved one."""

import json
import subprocess
import unittest

from kwin_e2e import KWin
from panel import spin
from wayland_steps import CLIENTS, Panel, rect, start_clients, start_tavelor, wait_until

PLACES = dict(zip(CLIENTS, ([200, 100], [2100, 150], [2700, 400], [600, 500])))  # two on Virtual-1
outputs = lambda change: subprocess.run(["kscreen-doctor", change], check=True, capture_output=True)  # noqa: E731


class KWinDockTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.panel = Panel()
        cls.kwin = KWin(cls.panel.bus)  # its object and name freed for kwin_e2e's own after
        cls.addClassCleanup(lambda: (cls.kwin.remove_from_connection(), setattr(cls.kwin, "name", None)))
        start_clients(cls.addClassCleanup)
        wait_until(lambda: len(cls.kwin.frames()) == len(CLIENTS), 30, "the clients")
        cls.home, cls.program = start_tavelor(cls.addClassCleanup)
        cls.kwin.menu = cls.panel.wait_for_item(cls.program.pid).menu()

    def place(self, shift):
        self.kwin.run("const at = %s; all.forEach(w => { if (at[w.caption]) w.frameGeometry = {x: at[w.caption][0] + "
                      "%d, y: at[w.caption][1] + %d, width: 400, height: 300}; }); answer(0);"
                      % (json.dumps(PLACES), shift, shift))
        wait_until(lambda: all(self.kwin.frames()[t][:2] == [x + shift, y + shift] for t, (x, y) in PLACES.items()), 10, "moves")

    def test_dock_undock_dock_puts_the_marked_profile_back(self):
        kwin, menu = self.kwin, self.kwin.menu
        self.place(0)
        kwin.choose("Save Layout...")
        wait_until(lambda: kwin.dialog_up(self.program.pid), 10, "the save dialog")
        kwin.type("desk")
        menu.wait_for(lambda l: l.find("desk"), what="the profile in the menu")
        (profile,) = self.home.read_profiles()
        saved = {s["windowTitle"]: rect(s["frame"]) for s in profile["snapshots"]}
        self.assertEqual(saved, kwin.frames())
        self.assertEqual([m["connector"] for m in profile["displays"]], ["Virtual-0", "Virtual-1"])
        kwin.choose("desk", "Apply When These Displays Connect")
        menu.wait_for(lambda l: l.find("desk", "Apply When These Displays Connect").checked, what="the mark")
        self.place(150)  # the user's own layout, which KWin keeps for the output
        outputs("output.Virtual-1.disable")
        wait_until(lambda: all(f[0] < 1920 for f in kwin.frames().values()), 10, "KWin to move the windows")
        spin(2)  # undocked a while: docked again before Tavelor settles, KWin's own layout stays
        outputs("output.Virtual-1.enable")
        wait_until(lambda: kwin.frames() == saved, 15, "the windows back where saved")
