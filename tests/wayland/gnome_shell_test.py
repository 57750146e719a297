#!/usr/bin/python3
"""Tavelor and its Shell extension in a headless GNOME Shell (one class per
tests/wayland/gnome-session run): native GTK and Qt windows, an XWayland xterm,
keys through Mutter's RemoteDesktop, the top bar read and clicked through Eval."""

import json
import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import dbus  # noqa: E402
import dbus.mainloop.glib  # noqa: E402
from panel import Panel, TrayItem, wait_until  # noqa: E402
from tavelor_process import Home, Tavelor  # noqa: E402

dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
NAME, PATH, IFACE = "io.github.tavelor.Shell", "/io/github/tavelor/Shell", "io.github.tavelor.Shell"
GTK_WINDOW = """import sys, gi; gi.require_version('Gtk', '3.0'); from gi.repository import Gtk, GLib
GLib.set_prgname(sys.argv[1]); w = Gtk.Window(title=sys.argv[2]); w.set_default_size(300, 200)
w.show_all(); Gtk.main()"""
# The top-bar menu as a tree of [label, flags, children].
READ_TOP_BAR = """(function () {
    const read = menu => menu._getMenuItems().map(item => {
        if (item.constructor.name === 'PopupSeparatorMenuItem') return ['---', [], []];
        const flags = (item._ornament === 2 ? ['checked'] : []).concat(item.getSensitive() ? [] : ['disabled']);
        return [item.label.text, flags, item.menu && item.menu !== menu ? read(item.menu) : []];
    });
    const button = Main.panel.statusArea['tavelor'];
    return button ? read(button.menu) : null;
})()"""
CHOOSE = """(function (path) {
    let menu = Main.panel.statusArea['tavelor'].menu, item = null;
    for (const label of path) {
        item = menu._getMenuItems().find(i => i.label && i.label.text === label);
        if (!item) return 'missing ' + label;
        menu = item.menu;
    }
    item.activate(null);
    return 'ok';
})(%s)"""
FOCUSED = "global.display.focus_window ? String(global.display.focus_window.get_id()) : null"
EVERY_WINDOW = ("global.get_window_actors().map(a => a.meta_window).map(w => [w.get_title(), "
                "w.get_pid(), (r => [r.x, r.y, r.width, r.height])(w.get_frame_rect())])")
CONTROL_ALT_T = [0xFFE3, 0xFFE9, ord("t")]


def shell(bus=None):
    return dbus.Interface((bus or dbus.SessionBus()).get_object(NAME, PATH), IFACE)


def windows():
    return json.loads(str(shell().ListWindows()))


def by_title(title):
    return next((w for w in windows() if w["title"] == title), None)


def shown(*titles):
    listed = {w["title"]: w for w in windows()}
    return all(t in listed and listed[t]["frame"][2] > 0 for t in titles)


def shell_eval(code):
    ok, result = dbus.SessionBus().get_object("org.gnome.Shell", "/org/gnome/Shell").Eval(
        code, dbus_interface="org.gnome.Shell")
    assert ok, result
    return json.loads(result) if result else None


def outline(tree, depth=0):
    """The top-bar tree in the form of panel.MenuNode.outline()."""
    return [line for label, flags, children in tree for line in
            ["  " * depth + (label if label == "---" else repr(label)) + (f" [{', '.join(flags)}]" if flags else "")]
            + outline(children, depth + 1)]


def choose(*labels):
    result = shell_eval(CHOOSE % json.dumps(list(labels)))
    assert result == "ok", result


class Clients:
    def __init__(self, add_cleanup):
        self.add_cleanup = add_cleanup

    def start(self, command, **env):
        process = subprocess.Popen(command, env=dict(os.environ, **env))
        self.add_cleanup(lambda: (process.terminate(), process.wait()))

    def all_kinds(self):
        self.start(["/usr/bin/python3", "-c", GTK_WINDOW, "org.tavelor.GtkOne", "gtk one"], GDK_BACKEND="wayland")
        self.start(["/usr/bin/python3", "-c", GTK_WINDOW, "org.tavelor.GtkTwo", "gtk two"], GDK_BACKEND="wayland")
        self.start(["xterm", "-T", "x term", "-geometry", "60x15", "-e", "sleep", "600"])
        self.start([os.environ["TAVELOR_QT_WINDOW"], "--window", "qt window"], QT_QPA_PLATFORM="wayland")
        return ("gtk one", "gtk two", "x term", "qt window")


class RemoteKeyboard:
    """Keys pressed through Mutter's RemoteDesktop interface, as a real keyboard's."""

    def __init__(self, test):
        bus = dbus.SessionBus()
        desktop = bus.get_object("org.gnome.Mutter.RemoteDesktop", "/org/gnome/Mutter/RemoteDesktop")
        path = dbus.Interface(desktop, "org.gnome.Mutter.RemoteDesktop").CreateSession()
        self.session = dbus.Interface(bus.get_object("org.gnome.Mutter.RemoteDesktop", path),
                                      "org.gnome.Mutter.RemoteDesktop.Session")
        self.session.Start()
        test.addCleanup(self.session.Stop)
        # The compositor takes a moment to add the virtual keyboard: a lone
        # Shift first, so that the keys of a test are not the ones lost.
        self.press([0xFFE1])
        time.sleep(0.3)

    def press(self, keysyms):
        for keysym in keysyms:
            self.session.NotifyKeyboardKeysym(dbus.UInt32(keysym), True)
        for keysym in reversed(keysyms):
            self.session.NotifyKeyboardKeysym(dbus.UInt32(keysym), False)


class ExtensionInterfaceTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        titles = Clients(cls.addClassCleanup).all_kinds()
        wait_until(lambda: shown(*titles), 30, "the windows")

    def test_bad_input_is_refused_and_moves_nothing(self):
        before = {w["id"]: w["frame"] for w in windows()}
        one = dbus.UInt64(int(by_title("gtk one")["id"]))
        for batch in ([(one, 10, 10, 0, 100)], [(one, 10, 10, 100, -5)], [(one, 2**31 - 1, 10, 100, 100)],
                      [(one, 10, 10, 100, 100), (one, 10, -(2**31), 100, 100)],
                      [(one, 0, 0, 100, 100)] * 5000):
            with self.subTest(batch=batch[:2]), self.assertRaises(dbus.DBusException) as raised:
                shell().ApplyFrames(batch, signature="a(tiiii)")
            self.assertEqual(raised.exception.get_dbus_name(), f"{IFACE}.Error.InvalidArgs")
        bus = dbus.SessionBus()
        for method, signature, args in (("ApplyFrames", "s", ["x"]), ("ApplyFrames", "a(ii)", [[(1, 2)]]),
                                        ("GrabShortcut", "i", [5]), ("ListWindows", "s", ["extra"])):
            with self.subTest(method=method, signature=signature), self.assertRaises(dbus.DBusException):
                bus.call_blocking(NAME, PATH, IFACE, method, signature, args)
        (unknown,) = shell().ApplyFrames([(dbus.UInt64(999999), 10, 10, 100, 100)], signature="a(tiiii)")
        self.assertFalse(unknown[1])
        time.sleep(0.3)
        self.assertEqual({w["id"]: w["frame"] for w in windows()}, before)

    def test_shortcut_fires_for_its_owner_and_refuses_a_second_caller(self):
        address = os.environ["DBUS_SESSION_BUS_ADDRESS"]
        owner, other = dbus.bus.BusConnection(address), dbus.bus.BusConnection(address)
        presses = {"owner": 0, "other": 0}
        for who, bus in (("owner", owner), ("other", other)):
            bus.add_signal_receiver(lambda who=who: presses.__setitem__(who, presses[who] + 1),
                                    "ShortcutPressed", IFACE, None, PATH)
        with self.assertRaises(dbus.DBusException):
            shell(owner).GrabShortcut("<Control><Alt>NoSuchKeyName")
        shell(owner).GrabShortcut("<Control><Alt>t")
        with self.assertRaises(dbus.DBusException) as raised:
            shell(other).GrabShortcut("<Control><Alt>y")
        self.assertEqual(raised.exception.get_dbus_name(), f"{IFACE}.Error.Busy")
        RemoteKeyboard(self).press(CONTROL_ALT_T)
        wait_until(lambda: presses["owner"] == 1, 10, "the press")
        self.assertEqual(presses["other"], 0)
        # Gone from the bus, the owner's shortcut is released for the next program.
        owner.close()
        wait_until(lambda: self._grabs(other), 5, "the shortcut to be free")
        shell(other).ReleaseShortcut()

    def _grabs(self, bus):
        try:
            return shell(bus).GrabShortcut("<Control><Alt>y") or True
        except dbus.DBusException:
            return False


class TavelorTest(unittest.TestCase):
    """Tavelor with its tray item in whatever watcher the session has."""

    def setUp(self):
        shell_eval("Main.overview.hide()")  # the shell starts in it, where typing searches
        self.titles = Clients(self.addCleanup).all_kinds()
        self.home = Home()
        self.home.write_shortcut()  # Control-Option-T
        self.tavelor = Tavelor(os.environ["TAVELOR_EXE"], self.home, self.home.root, "gnome")
        self.addCleanup(self.tavelor.stop)
        self.panel = Panel()
        watcher = self.panel.bus.get_object("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher")
        items = lambda: watcher.Get("org.kde.StatusNotifierWatcher", "RegisteredStatusNotifierItems",
                                    dbus_interface="org.freedesktop.DBus.Properties")
        key = str(wait_until(items, 15, "Tavelor's item in the watcher")[0])
        # The AppIndicator extension lists items as "name@/path".
        self.menu = TrayItem(self.panel.bus, key.replace("@/", "/")).menu()

    def top_bar_shows_the_menu(self, what):
        wait_until(lambda: outline(shell_eval(READ_TOP_BAR) or []) == self.menu.layout().outline(),
                   10, what)


class TopBarMenuTest(TavelorTest):
    """No tray in the session: the extension's stand-in watcher and top-bar menu."""

    def test_save_from_the_top_bar_then_the_shortcut_restores(self):
        self.top_bar_shows_the_menu("the top-bar menu")
        wait_until(lambda: shown(*self.titles), 30, "the windows")
        choose("Save Layout...")
        dialog = wait_until(lambda: next((w for w in windows() if w["pid"] == self.tavelor.pid), None),
                            10, "the save dialog")
        wait_until(lambda: shell_eval(FOCUSED) == dialog["id"], 10, "the dialog to have the focus")
        keyboard = RemoteKeyboard(self)
        keyboard.press([ord(c) for c in "desk"])
        keyboard.press([0xFF0D])  # Return
        self.menu.wait_for(lambda l: l.find("desk"), what="the profile in the menu")
        self.top_bar_shows_the_menu("the top-bar menu with the profile")
        choose("desk", "Set as Active")
        self.menu.wait_for(lambda l: l.find("desk", "Deactivate"), what="the profile to be active")
        self.top_bar_shows_the_menu("the top-bar menu with the active profile")

        (desk,) = [p for p in self.home.read_profiles() if p["isActive"]]
        saved = {s["windowTitle"]: [s["frame"][k] for k in ("x", "y", "width", "height")]
                 for s in desk["snapshots"]}
        self.assertEqual({t: by_title(t)["frame"] for t in self.titles}, saved)
        apps = {s["windowTitle"]: s["bundleIdentifier"] for s in desk["snapshots"]}
        self.assertEqual([apps["gtk one"], apps["gtk two"]], ["org.tavelor.GtkOne", "org.tavelor.GtkTwo"])

        scrambled = [(dbus.UInt64(int(by_title(t)["id"])), 500 + 90 * i, 400 + 60 * i, 420, 300)
                     for i, t in enumerate(self.titles)]
        shell().ApplyFrames(scrambled, signature="a(tiiii)")
        wait_until(lambda: all(by_title(t)["frame"] != saved[t] for t in self.titles), 10, "the scramble")
        keyboard.press(CONTROL_ALT_T)
        wait_until(lambda: {t: by_title(t)["frame"] for t in self.titles} == saved, 10,
                   f"the saved frames {saved}")


class WithAppIndicatorTest(TavelorTest):
    """With the AppIndicator extension's watcher the stand-in stays out: no second icon."""

    def test_the_item_is_in_the_appindicator_watcher_only(self):
        self.assertNotIn("tavelor", shell_eval("Object.keys(Main.panel.statusArea)"))
        self.assertIsNotNone(self.menu.layout().find("Save Layout..."))


class ExtensionDisabledTest(TavelorTest):
    """Extension off (AppIndicator tray): "Save Layout..." alerts, moves and saves nothing."""

    def test_save_shows_the_alert(self):
        before = wait_until(lambda: [w for w in shell_eval(EVERY_WINDOW) if w[0] == "gtk one" and w[2][2]],
                            30, "the window")
        self.menu.click(self.menu.layout().find("Save Layout..."))
        wait_until(lambda: [w for w in shell_eval(EVERY_WINDOW) if w[1] == self.tavelor.pid and w[2][2]],
                   10, "the alert")
        self.assertEqual([w for w in shell_eval(EVERY_WINDOW) if w[0] == "gtk one"], before)
        self.assertFalse(os.path.exists(self.home.profiles_file)
                         and any(p["snapshots"] for p in self.home.read_profiles()))


if __name__ == "__main__":
    unittest.main(verbosity=2)
