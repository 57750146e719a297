#!/usr/bin/python3
"""The dock cycle in tests/wayland/gnome-session --two-monitors --eval, through the top-bar menu."""
import time
import unittest

import dbus
from gnome_shell_test import READ_TOP_BAR, TopBar, WithClients, outline, shell, shell_eval, tray_menu, windows
from wayland_steps import CLIENTS, start_tavelor, wait_until


def use_monitors(*connectors):  # Mutter's virtual monitors left to right, the first primary
    modes, mutter = {"Meta-0": "1920x1080@60.000", "Meta-1": "1280x1024@60.000"}, "org.gnome.Mutter.DisplayConfig"
    config = dbus.Interface(dbus.SessionBus().get_object(mutter, "/org/gnome/Mutter/DisplayConfig"), mutter)
    config.ApplyMonitorsConfig(config.GetCurrentState()[0], 1, [(1920 * i, 0, 1.0, dbus.UInt32(0), i == 0, [(
        c, modes[c], {})]) for i, c in enumerate(connectors)], {}, signature="uua(iiduba(ssa{sv}))a{sv}")


class DockTest(WithClients):
    def test_marked_profile_back_when_its_monitors_are(self):
        home, program = start_tavelor(self.addCleanup, "gnome")
        menu = tray_menu()  # by then the shell has placed the windows: two on each monitor
        shell().ApplyFrames([(dbus.UInt64(int(w["id"])), 100 + 2000 * (i % 2), 100 + 80 * i, 400, 300) for i, w in
                             enumerate(w for w in windows() if w["title"] in CLIENTS)], signature="a(tiiii)")
        desktop = TopBar(self, menu)
        desktop.choose("Save Layout...")
        wait_until(lambda: desktop.dialog_up(program.pid), 10, "the save dialog")
        desktop.type("docked")
        menu.wait_for(lambda l: l.find("docked"), what="the profile in the menu")
        saved = desktop.frames()
        self.assertEqual(sorted(f[0] >= 1920 for f in saved.values()), [False, False, True, True])
        for checked in (True, False, True):  # the item's check in the top bar, and on the profile
            desktop.choose("docked", "Apply When These Displays Connect")
            desktop.wait_for_menu(f"the item checked: {checked}")
            self.assertEqual("  'Apply When These Displays Connect' [checked]" in outline(shell_eval(READ_TOP_BAR)), checked)
            self.assertEqual(home.read_profiles()[0].get("applyOnDisplayConnect", False), checked)
        use_monitors("Meta-0")
        wait_until(lambda: all(f[0] < 1920 for f in desktop.frames().values()), 10, "the shell's move")
        desktop.scramble()
        time.sleep(2)  # undocked a while, as a user is: Tavelor waits for each setup to settle
        use_monitors("Meta-0", "Meta-1")
        wait_until(lambda: desktop.frames() == saved, 15, "the windows back where saved")


if __name__ == "__main__":
    unittest.main(verbosity=2)
