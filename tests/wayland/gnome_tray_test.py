#!/usr/bin/python3
"""Tavelor's menu on a GNOME Shell without any tray (run in tests/wayland/
gnome-session --eval): the extension stands in as the StatusNotifierWatcher and
shows Tavelor's icon in the top bar with the menu Tavelor exports; its entries
work. The top bar is read and clicked through org.gnome.Shell.Eval."""

import json
import os
import sys
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
import dbus  # noqa: E402
from panel import Panel, wait_until  # noqa: E402
from tavelor_process import Home, Tavelor  # noqa: E402
from gnome_shell_extension_test import Clients, RemoteKeyboard, by_title, shell  # noqa: E402

# The top-bar menu as a tree of [label, flags, children], read in the shell.
READ_TOP_BAR = """
(function () {
    const read = menu => menu._getMenuItems().map(item => {
        if (item.constructor.name === 'PopupSeparatorMenuItem')
            return ['---', [], []];
        const flags = [];
        if (item._ornament === 2) flags.push('checked');
        if (!item.getSensitive()) flags.push('disabled');
        return [item.label.text, flags, item.menu && item.menu !== menu ? read(item.menu) : []];
    });
    const button = Main.panel.statusArea['tavelor'];
    return button ? read(button.menu) : null;
})()
"""

CHOOSE = """
(function (path) {
    let menu = Main.panel.statusArea['tavelor'].menu, item = null;
    for (const label of path) {
        item = menu._getMenuItems().find(i => i.label && i.label.text === label);
        if (!item) return 'missing ' + label;
        menu = item.menu;
    }
    item.activate(null);
    return 'ok';
})(%s)
"""

FOCUSED = "global.display.focus_window ? String(global.display.focus_window.get_id()) : null"


def shell_eval(code):
    bus = dbus.SessionBus()
    ok, result = bus.get_object("org.gnome.Shell", "/org/gnome/Shell").Eval(
        code, dbus_interface="org.gnome.Shell")
    assert ok, result
    return json.loads(result) if result else None


def outline(tree, depth=0):
    lines = []
    for label, flags, children in tree:
        lines.append("  " * depth + (label if label == "---" else repr(label))
                     + (f" [{', '.join(flags)}]" if flags else ""))
        lines.extend(outline(children, depth + 1))
    return lines


def choose(*labels):
    result = shell_eval(CHOOSE % json.dumps(list(labels)))
    assert result == "ok", result


def windows():
    return json.loads(str(shell().ListWindows()))


class TopBarMenuTest(unittest.TestCase):
    def setUp(self):
        # The shell starts in the overview, where typing searches.
        shell_eval("Main.overview.hide()")
        self.clients = Clients()
        self.addCleanup(self.clients.stop)
        self.clients.gtk("org.tavelor.GtkOne", "gtk one")
        self.clients.gtk("org.tavelor.GtkTwo", "gtk two")
        self.clients.xterm("x term")
        self.home = Home()
        self.home.write_shortcut()
        self.tavelor = Tavelor(os.environ["TAVELOR_EXE"], self.home, self.home.root, "gnome-tray")
        self.addCleanup(self.tavelor.stop)
        self.panel = Panel()
        key = wait_until(lambda: next((k for _, k in self.panel.registrations), None)
                         or self._listed(), 15, "Tavelor's item in the watcher")
        self.menu = self.panel_item(key).menu()

    def _listed(self):
        watcher = self.panel.bus.get_object("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher")
        items = watcher.Get("org.kde.StatusNotifierWatcher", "RegisteredStatusNotifierItems",
                            dbus_interface="org.freedesktop.DBus.Properties")
        return str(items[0]) if items else None

    def panel_item(self, key):
        from panel import TrayItem
        # The AppIndicator extension lists items as "name@/path".
        return TrayItem(self.panel.bus, key.replace("@/", "/"))

    def top_bar_matches(self, layout):
        return outline(shell_eval(READ_TOP_BAR) or []) == layout.outline()

    def test_save_from_the_top_bar_then_the_shortcut_restores(self):
        self.assertTrue(wait_until(lambda: self.top_bar_matches(self.menu.layout()), 10,
                                   "the top-bar menu"), "\n".join(self.menu.layout().outline()))
        titles = ("gtk one", "gtk two", "x term")
        wait_until(lambda: all(by_title(t) and by_title(t)["frame"][2] > 0 for t in titles), 30,
                   "the windows")

        choose("Save Layout...")
        dialog = wait_until(lambda: next((w for w in windows() if w["pid"] == self.tavelor.pid), None),
                            10, "the save dialog")
        wait_until(lambda: shell_eval(FOCUSED) == dialog["id"], 10, "the dialog to have the focus")
        keyboard = RemoteKeyboard()
        self.addCleanup(keyboard.stop)
        keyboard.press([ord(c) for c in "desk"])
        keyboard.press([0xFF0D])  # Return
        self.menu.wait_for(lambda l: l.find("desk"), what="the profile in the menu")
        self.assertTrue(wait_until(lambda: self.top_bar_matches(self.menu.layout()), 10,
                                   "the top-bar menu with the profile"))
        choose("desk", "Set as Active")
        self.menu.wait_for(lambda l: l.find("desk", "Deactivate"), what="the profile to be active")
        self.assertTrue(wait_until(lambda: self.top_bar_matches(self.menu.layout()), 10,
                                   "the top-bar menu with the active profile"))

        (desk,) = [p for p in self.home.read_profiles() if p["isActive"]]
        saved = {s["windowTitle"]: [s["frame"][k] for k in ("x", "y", "width", "height")]
                 for s in desk["snapshots"]}
        self.assertEqual(sorted(saved), sorted(titles), (desk, self.tavelor.stderr(), windows()))
        self.assertEqual({t: by_title(t)["frame"] for t in titles}, saved)

        scrambled = [(dbus.UInt64(int(by_title(t)["id"])), 500 + 90 * i, 400 + 60 * i, 420, 300)
                     for i, t in enumerate(titles)]
        shell().ApplyFrames(scrambled, signature="a(tiiii)")
        wait_until(lambda: all(by_title(t)["frame"] != saved[t] for t in titles), 10, "the scramble")
        keyboard.press([0xFFE3, 0xFFE9, ord("t")])  # Control, Alt, T: the shortcut
        wait_until(lambda: {t: by_title(t)["frame"] for t in titles} == saved, 10,
                   f"the saved frames {saved}")


class WithAppIndicatorTest(TopBarMenuTest):
    """Run with --appindicator: its watcher hosts the item, and the stand-in
    stays out of the way (no second icon)."""

    def test_save_from_the_top_bar_then_the_shortcut_restores(self):
        self.assertNotIn("tavelor", shell_eval("Object.keys(Main.panel.statusArea)"))
        self.assertEqual(self.menu.layout().find("Save Layout...").label, "Save Layout...")


if __name__ == "__main__":
    unittest.main(verbosity=2)
