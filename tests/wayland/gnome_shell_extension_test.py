#!/usr/bin/python3
"""The Shell extension's D-Bus interface against a real GNOME Shell: run inside
tests/wayland/gnome-session. Native GTK windows and an XWayland xterm are listed
and moved; bad input is refused without moving anything; the shortcut fires
for its owner only, from keys injected through Mutter's RemoteDesktop."""

import json
import os
import subprocess
import sys
import time
import unittest

import dbus
import dbus.mainloop.glib
from gi.repository import GLib

dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)

NAME, PATH, IFACE = "io.github.tavelor.Shell", "/io/github/tavelor/Shell", "io.github.tavelor.Shell"
GTK_WINDOW = """
import sys, gi
gi.require_version('Gtk', '3.0')
from gi.repository import Gtk, GLib
GLib.set_prgname(sys.argv[1])
w = Gtk.Window(title=sys.argv[2]); w.set_default_size(300, 200)
w.connect('destroy', Gtk.main_quit); w.show_all(); Gtk.main()
"""


def shell(bus=None):
    bus = bus or dbus.SessionBus()
    return dbus.Interface(bus.get_object(NAME, PATH), IFACE)


def wait_until(predicate, timeout=20.0):
    """Runs the GLib loop until predicate() holds; its last value."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        while context.pending():
            context.iteration(False)
        time.sleep(0.05)
    return predicate()


def windows():
    return json.loads(str(shell().ListWindows(timeout=5)))


def by_title(title):
    return next((w for w in windows() if w["title"] == title), None)


class Clients:
    def __init__(self):
        self.processes = []

    def gtk(self, app_id, title):
        env = dict(os.environ, GDK_BACKEND="wayland")
        self.processes.append(subprocess.Popen(["/usr/bin/python3", "-c", GTK_WINDOW, app_id, title], env=env))

    def xterm(self, title):
        self.processes.append(subprocess.Popen(["xterm", "-T", title, "-geometry", "60x15", "-e", "sleep", "600"]))

    def stop(self):
        for p in self.processes:
            p.terminate()
            p.wait()


class ExtensionTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.clients = Clients()
        cls.clients.gtk("org.tavelor.GtkOne", "gtk one")
        cls.clients.gtk("org.tavelor.GtkTwo", "gtk two")
        cls.clients.xterm("x term")
        # Listed once mapped; the frame is real once the client's first commit is in.
        shown = lambda t: by_title(t) and by_title(t)["frame"][2] > 0
        assert wait_until(lambda: all(shown(t) for t in ("gtk one", "gtk two", "x term"))), windows()

    @classmethod
    def tearDownClass(cls):
        cls.clients.stop()

    def frame_of(self, title):
        return by_title(title)["frame"]

    def test_listing_names_each_window(self):
        listed = {w["title"]: w for w in windows()}
        cases = [  # title, field, expected
            ("gtk one", "wmClass", "org.tavelor.GtkOne"),
            ("gtk two", "wmClass", "org.tavelor.GtkTwo"),
            ("gtk one", "role", "window"),
            ("x term", "wmClass", "XTerm"),
            ("x term", "wmClassInstance", "xterm"),
            ("x term", "skipTaskbar", False),
        ]
        for title, field, expected in cases:
            with self.subTest(title=title, field=field):
                self.assertEqual(listed[title][field], expected)
        for w in listed.values():
            self.assertGreater(w["pid"], 0)
            self.assertEqual(len(w["frame"]), 4)
        ids = [int(w["id"]) for w in windows()]
        self.assertEqual(len(ids), len(set(ids)))

    def test_batch_moves_every_window_and_reports_where_they_went(self):
        targets = {"gtk one": [100, 150, 400, 300], "gtk two": [700, 200, 500, 350],
                   "x term": [300, 600, 480, 260]}
        batch = [(dbus.UInt64(int(by_title(t)["id"])), *f) for t, f in targets.items()]
        results = shell().ApplyFrames(dbus.Array(batch, signature="(tiiii)"), timeout=5)
        self.assertEqual([bool(r[1]) for r in results], [True] * 3)
        for title, target in targets.items():
            with self.subTest(title=title):
                # The terminal rounds its size to character cells.
                wait_until(lambda: self.frame_of(title)[:2] == target[:2], 5)
                self.assertEqual(self.frame_of(title)[:2], target[:2])
        self.assertEqual(wait_until(lambda: self.frame_of("gtk one") == targets["gtk one"], 5), True)

    def test_shell_keeps_windows_below_the_top_bar(self):
        window = by_title("gtk two")
        (result,) = shell().ApplyFrames([(dbus.UInt64(int(window["id"])), 0, 0, 300, 200)], signature="a(tiiii)")
        self.assertTrue(result[1])
        self.assertGreater(wait_until(lambda: self.frame_of("gtk two")[1], 5), 0)

    def test_bad_input_is_refused_and_moves_nothing(self):
        before = {w["id"]: w["frame"] for w in windows()}
        one = dbus.UInt64(int(by_title("gtk one")["id"]))
        absurd = [
            [(one, 10, 10, 0, 100)],
            [(one, 10, 10, 100, -5)],
            [(one, 2**31 - 1, 10, 100, 100)],
            [(one, 10, 10, 100, 100), (one, 10, -(2**31), 100, 100)],
        ]
        for batch in absurd:
            with self.subTest(batch=batch):
                with self.assertRaises(dbus.DBusException) as raised:
                    shell().ApplyFrames(batch, signature="a(tiiii)")
                self.assertEqual(raised.exception.get_dbus_name(), "io.github.tavelor.Shell.Error.InvalidArgs")
        malformed = [("ApplyFrames", "s", ["x"]), ("ApplyFrames", "a(ii)", [[(1, 2)]]),
                     ("GrabShortcut", "i", [5]), ("ListWindows", "s", ["extra"])]
        bus = dbus.SessionBus()
        for method, signature, args in malformed:
            with self.subTest(method=method, signature=signature):
                with self.assertRaises(dbus.DBusException):
                    bus.call_blocking(NAME, PATH, IFACE, method, signature, args)
        (unknown,) = shell().ApplyFrames([(dbus.UInt64(999999), 10, 10, 100, 100)], signature="a(tiiii)")
        self.assertFalse(unknown[1])
        with self.assertRaises(dbus.DBusException):
            shell().ApplyFrames([(one, 0, 0, 100, 100)] * 5000, signature="a(tiiii)")
        time.sleep(0.3)
        self.assertEqual({w["id"]: w["frame"] for w in windows()}, before)

    def test_shortcut_fires_for_its_owner_and_refuses_a_second_caller(self):
        owner_bus, other_bus = dbus.bus.BusConnection(os.environ["DBUS_SESSION_BUS_ADDRESS"]), \
            dbus.bus.BusConnection(os.environ["DBUS_SESSION_BUS_ADDRESS"])
        presses = {"owner": 0, "other": 0}
        for who, bus in (("owner", owner_bus), ("other", other_bus)):
            bus.add_signal_receiver(lambda who=who: presses.__setitem__(who, presses[who] + 1),
                                    "ShortcutPressed", IFACE, None, PATH)
        with self.assertRaises(dbus.DBusException):
            shell(owner_bus).GrabShortcut("<Control><Alt>NoSuchKeyName")
        shell(owner_bus).GrabShortcut("<Control><Alt>t")
        with self.assertRaises(dbus.DBusException) as raised:
            shell(other_bus).GrabShortcut("<Control><Alt>y")
        self.assertEqual(raised.exception.get_dbus_name(), "io.github.tavelor.Shell.Error.Busy")
        keyboard = RemoteKeyboard()
        keyboard.press([0xFFE3, 0xFFE9, ord("t")])  # Control_L, Alt_L, t
        self.assertTrue(wait_until(lambda: presses["owner"] == 1, 10), presses)
        self.assertEqual(presses["other"], 0)
        # Gone from the bus, the owner's shortcut is released for the next program.
        owner_bus.close()
        self.assertTrue(wait_until(lambda: self._grab_succeeds(other_bus), 5))
        shell(other_bus).ReleaseShortcut()
        keyboard.stop()

    def _grab_succeeds(self, bus):
        try:
            shell(bus).GrabShortcut("<Control><Alt>y")
            return True
        except dbus.DBusException:
            return False


class RemoteKeyboard:
    """Keys pressed through Mutter's RemoteDesktop interface, as a real keyboard's."""

    def __init__(self):
        bus = dbus.SessionBus()
        desktop = bus.get_object("org.gnome.Mutter.RemoteDesktop", "/org/gnome/Mutter/RemoteDesktop")
        path = dbus.Interface(desktop, "org.gnome.Mutter.RemoteDesktop").CreateSession()
        self.session = dbus.Interface(bus.get_object("org.gnome.Mutter.RemoteDesktop", path),
                                      "org.gnome.Mutter.RemoteDesktop.Session")
        self.session.Start()
        # The compositor takes a moment to add the virtual keyboard: a lone
        # Shift first, so that the keys of a test are not the ones lost.
        self.press([0xFFE1])
        time.sleep(0.3)

    def press(self, keysyms):
        for keysym in keysyms:
            self.session.NotifyKeyboardKeysym(dbus.UInt32(keysym), True)
        for keysym in reversed(keysyms):
            self.session.NotifyKeyboardKeysym(dbus.UInt32(keysym), False)

    def stop(self):
        self.session.Stop()


if __name__ == "__main__":
    unittest.main(verbosity=2)
