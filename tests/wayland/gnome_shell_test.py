#!/usr/bin/python3
"""Tavelor and its Shell extension in a headless GNOME Shell (tests/wayland/gnome-session):
keys through Mutter's RemoteDesktop, the top bar read and clicked through Eval."""
import json
import os
import subprocess
import time
import unittest
from pathlib import Path
import dbus
import dbus.mainloop.glib
from wayland_steps import (CLIENTS, Panel, dock_cycle, journey, start_clients, start_tavelor, states_come_back,
                           until_back, wait_until)

dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
NAME = PATH_IFACE = "io.github.tavelor.Shell"
PATH = "/io/github/tavelor/Shell"
# Tavelor's top-bar menu as panel.MenuNode.outline() gives the exported one: an item a line, indented by depth.
READ_TOP_BAR = """(function read(menu, indent) { return menu ? menu._getMenuItems().flatMap(item => [indent + (
    item.constructor.name === 'PopupSeparatorMenuItem' ? '---' : `'${item.label.text}'` + (flags => flags.length ?
    ` [${flags.join(', ')}]` : '')((item._ornament === 2 ? ['checked'] : []).concat(item.getSensitive() ? [] :
    ['disabled'])))].concat(item.menu && item.menu !== menu ? read(item.menu, indent + '  ') : [])) : []; })(
    Main.panel.statusArea['tavelor']?.menu, '')"""
CHOOSE = """(function (path) { let menu = Main.panel.statusArea['tavelor'].menu, item = null;
    for (const label of path) {
        item = menu._getMenuItems().find(i => i.label && i.label.text.startsWith(label));
        if (!item) return 'missing ' + label;
        menu = item.menu;
    }
    item.activate(null); return 'ok'; })(%s)"""
FOCUSED = "global.display.focus_window ? String(global.display.focus_window.get_id()) : null"
EVERY_WINDOW = ("global.get_window_actors().map(a => a.meta_window).map(w => [w.get_title(), "
                "w.get_pid(), (r => [r.x, r.y, r.width, r.height])(w.get_frame_rect())])")
CONTROL_ALT = [0xFFE3, 0xFFE9]
# Sets the clients of wanted (title: [workspace (-1 on all), maximize flags (1 horizontal, 2 vertical), minimized,
# fullscreen, above]), if restack raises all in the reverse of their stacking and focuses "gtk two"; answers as
# wayland_steps.states_come_back wants, with "stacking": their titles, bottom first.
STATES = """((wanted, restack) => { const all = global.get_window_actors().map(a => a.meta_window).filter(
    w => %s.includes(w.get_title()));
    all.forEach(w => { const s = wanted[w.get_title()]; if (s) { w.change_workspace_by_index(s[0], false);
        s[1] ? w.maximize(s[1]) : w.unmaximize(3); s[2] ? w.minimize() : w.unminimize();
        s[3] ? w.make_fullscreen() : w.unmake_fullscreen(); s[4] ? w.make_above() : w.unmake_above(); } });
    if (restack) { global.display.sort_windows_by_stacking(all).reverse().forEach(w => w.raise());
        all.find(w => w.get_title() === 'gtk two').activate(global.get_current_time()); }
    return [Object.fromEntries(all.map(w => [w.get_title(), [w.is_on_all_workspaces() ? -1 : w.get_workspace().index(),
        w.get_maximized(), w.minimized, w.is_fullscreen(), w.is_above()]]).concat([['stacking', global.display
        .sort_windows_by_stacking(all).map(w => w.get_title())]])), %s,
        global.workspace_manager.get_active_workspace_index()]; })(%%s, %%s)""" % (json.dumps(list(CLIENTS)), FOCUSED)

def shell(bus=None):
    return dbus.Interface((bus or dbus.SessionBus()).get_object(NAME, PATH), PATH_IFACE)

def windows():
    return json.loads(str(shell().ListWindows()))

def shell_eval(code):
    ok, result = dbus.SessionBus().get_object("org.gnome.Shell", "/org/gnome/Shell").Eval(
        code, dbus_interface="org.gnome.Shell")
    assert ok, result
    return json.loads(result) if result else None

class Keyboard:
    """Keys pressed through Mutter's RemoteDesktop interface, as a real keyboard's."""
    def __init__(self, test):
        bus, mutter = dbus.SessionBus(), "org.gnome.Mutter.RemoteDesktop"
        path = dbus.Interface(bus.get_object(mutter, "/org/gnome/Mutter/RemoteDesktop"), mutter).CreateSession()
        self.session = dbus.Interface(bus.get_object(mutter, path), mutter + ".Session")
        self.session.Start()
        test.addCleanup(self.session.Stop)
        # The compositor takes a moment to add the virtual keyboard: a lone
        # Shift first, so that the keys of a test are not the ones lost.
        self.press([0xFFE1])
        time.sleep(0.3)
    def press(self, keysyms):
        for keysym, down in [(k, True) for k in keysyms] + [(k, False) for k in reversed(keysyms)]:
            self.session.NotifyKeyboardKeysym(dbus.UInt32(keysym), down)

class TopBar:
    """The desktop of the journey: Tavelor's menu in the extension's top-bar button."""
    def __init__(self, test, menu):
        self.test, self.menu, self.keyboard = test, menu, None
    def type(self, text):  # into the focused dialog, with a keyboard that has seen none before
        self.keyboard = Keyboard(self.test)
        for keys in [[ord(c)] for c in text] + [[0xFF0D]]:  # Return
            self.keyboard.press(keys)
    def shortcut(self, key="t"):
        self.keyboard.press(CONTROL_ALT + [ord(key)])
    def frames(self):  # one window a title, or the journey compares windows the profile never held
        listed = [(w["title"], w["frame"]) for w in windows() if w["title"] in CLIENTS]
        assert len(listed) == len(CLIENTS), listed
        return dict(listed)
    def choose(self, *labels):
        self.wait_for_menu("the top-bar menu")
        assert (result := shell_eval(CHOOSE % json.dumps(list(labels)))) == "ok", result
    def wait_for_menu(self, what):
        wait_until(lambda: shell_eval(READ_TOP_BAR) == self.menu.layout().outline(), 10, what)
    def dialog_up(self, pid):
        dialog = next((w for w in windows() if w["pid"] == pid), None)
        return dialog and shell_eval(FOCUSED) == dialog["id"]
    def scramble(self):
        self.place(lambda i: (500 + 90 * i, 400 + 60 * i, 420, 300))
    def spread(self, shift):  # two on each monitor
        self.place(lambda i: (100 + 2000 * (i % 2) + shift, 100 + 80 * i + shift, 400, 300))
    def place(self, frame):
        shell().ApplyFrames([(dbus.UInt64(int(w["id"])), *frame(i)) for i, w in
                             enumerate(w for w in windows() if w["title"] in CLIENTS)], signature="a(tiiii)")

def use_monitors(*connectors):  # Mutter's virtual monitors left to right, the first primary
    modes, mutter = {"Meta-0": "1920x1080@60.000", "Meta-1": "1280x1024@60.000"}, "org.gnome.Mutter.DisplayConfig"
    config = dbus.Interface(dbus.SessionBus().get_object(mutter, "/org/gnome/Mutter/DisplayConfig"), mutter)
    config.ApplyMonitorsConfig(config.GetCurrentState()[0], 1, [(1920 * i, 0, 1.0, dbus.UInt32(0), i == 0, [(
        c, modes[c], {})]) for i, c in enumerate(connectors)], {}, signature="uua(iiduba(ssa{sv}))a{sv}")

def tray_menu():
    return wait_until(Panel().items, 15, "Tavelor's item in the watcher")[0].menu()

class WithClients(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # The overview (typing searches) comes at the end of the start-up; hidden before, 48 stays starting up.
        closed = "!Main.layoutManager._startingUp && (Main.overview.hide(), !Main.overview.visible)"
        wait_until(lambda: shell_eval(closed), 20, "the start-up over and the overview closed")
        start_clients(cls.addClassCleanup)
        wait_until(lambda: {w["title"] for w in windows() if w["frame"][2] > 0} >= set(CLIENTS), 30, "the windows")
    def start(self):  # the top-bar menu when the session has no tray
        home, program = start_tavelor(self.addCleanup, "gnome")
        return home, program, TopBar(self, tray_menu())

class InterfaceTest(WithClients):
    def test_bad_input_is_refused_and_moves_nothing(self):
        target = next(w for w in windows() if w["title"] == "gtk one")  # of every batch below
        frame = lambda: next(w["frame"] for w in windows() if w["id"] == target["id"])  # noqa: E731
        before = wait_until(lambda: (lambda a: time.sleep(1) or a == frame() and a)(frame()), 30, "the window placed")
        one = dbus.UInt64(int(target["id"]))
        for batch in ([(one, 10, 10, 0, 100)], [(one, 10, 10, 100, -5)], [(one, 2**31 - 1, 10, 100, 100)],
                      [(one, 10, 10, 100, 100), (one, 10, -(2**31), 100, 100)],
                      [(one, 0, 0, 100, 100)] * 5000):
            with self.subTest(batch=batch[:2]), self.assertRaises(dbus.DBusException) as raised:
                shell().ApplyFrames(batch, signature="a(tiiii)")
            self.assertEqual(raised.exception.get_dbus_name(), f"{PATH_IFACE}.Error.InvalidArgs")
        for method, signature, args in (("ApplyFrames", "s", ["x"]), ("ApplyFrames", "a(ii)", [[(1, 2)]]),
                                        ("GrabShortcut", "i", [5]), ("ListWindows", "s", ["extra"])):
            with self.subTest(method=method, signature=signature), self.assertRaises(dbus.DBusException):
                dbus.SessionBus().call_blocking(NAME, PATH, PATH_IFACE, method, signature, args)
        (unknown,) = shell().ApplyFrames([(dbus.UInt64(999999), 10, 10, 100, 100)], signature="a(tiiii)")
        self.assertFalse(unknown[1])
        time.sleep(0.3)
        self.assertEqual(frame(), before)
    def test_shortcut_fires_for_its_owner_and_refuses_a_second_caller(self):
        address = os.environ["DBUS_SESSION_BUS_ADDRESS"]
        owner, other = dbus.bus.BusConnection(address), dbus.bus.BusConnection(address)
        presses = []
        for who, bus in (("owner", owner), ("other", other)):
            bus.add_signal_receiver(lambda who=who: presses.append(who), "ShortcutPressed", PATH_IFACE, None, PATH)
        with self.assertRaises(dbus.DBusException):
            shell(owner).GrabShortcut("<Control><Alt>NoSuchKeyName")
        shell(owner).GrabShortcut("<Control><Alt>t")
        with self.assertRaises(dbus.DBusException) as raised:
            shell(other).GrabShortcut("<Control><Alt>y")
        self.assertEqual(raised.exception.get_dbus_name(), f"{PATH_IFACE}.Error.Busy")
        keyboard = Keyboard(self)
        wait_until(lambda: presses or keyboard.press(CONTROL_ALT + [ord("t")]) or time.sleep(1), 10, "the press")
        self.assertEqual(set(presses), {"owner"})
        # Gone from the bus, the owner's shortcut is released for the next program (a gdbus call here).
        owner.close()
        grab = ["gdbus", "call", "--session", "--dest", NAME, "-o", PATH, "-m", f"{PATH_IFACE}.GrabShortcut", "<Alt>y"]
        wait_until(lambda: subprocess.run(grab, capture_output=True).returncode == 0, 5, "the shortcut to be free")

class TopBarTest(WithClients):
    """No tray in the session: the extension's stand-in watcher and top-bar menu."""
    def test_save_from_the_top_bar_then_menu_and_shortcut_restore(self):
        home, program, desktop = self.start()
        journey(self, desktop, home, program.pid)
        saved = desktop.frames()  # where the last restore put them
        # The shortcut window (untranslated title under LANG=C), its Record button focused as it opens:
        # Control+Option+Y recorded and stored, and it applies while Control+Option+T no longer does.
        desktop.choose("Raccourci clavier")
        wait_until(lambda: desktop.dialog_up(program.pid), 10, "the shortcut window")
        time.sleep(0.5)  # for the toolkit to give the focus to Record
        desktop.keyboard.press([0x20])
        stored = lambda: "hotKeyKeyCode=16\n" in Path(home.settings_file).read_text()  # noqa: E731
        wait_until(lambda: stored() or desktop.shortcut("y") or time.sleep(1), 10, "the shortcut stored")
        desktop.scramble()
        desktop.shortcut()
        time.sleep(2)
        self.assertTrue(all(f != saved[t] for t, f in desktop.frames().items()))
        until_back(desktop.frames, saved, lambda: desktop.shortcut("y"), "the windows back")
    def test_window_state_saved_and_restored(self):
        home, program, desktop = self.start()
        def states(table):  # once the table's states hold and a window has the focus; the change restacked
            shell_eval(STATES % (json.dumps(table), json.dumps(table not in ({}, saved))))
            return wait_until(lambda: (s := shell_eval(STATES % ({}, "false")))[1] and all(
                s[0][t] == v for t, v in table.items()) and s, 10, "the states")
        # Workspace 1 of 2 and maximised; maximised vertically and above; minimised; fullscreen. Then all plain, but the
        # fullscreen one minimised: the apply has it shown again.
        saved = {"gtk one": [1, 3, False, False, False], "gtk two": [0, 2, False, False, True],
                 "qt window": [0, 0, True, False, False], "x term": [0, 0, False, True, False]}
        profile, read = states_come_back(self, desktop, home, program.pid, states, saved,
                                         {t: [0, 0, t == "x term", False, False] for t in saved})
        keys = {s["windowTitle"]: {k: v for k, v in s.items() if k in
                                   ("desktop", "maximized", "minimized", "fullscreen", "keepAbove")}
                for s in profile["snapshots"]}
        self.assertEqual(keys, {"gtk one": {"desktop": 1, "maximized": "both"},
                                "gtk two": {"desktop": 0, "maximized": "vertical", "keepAbove": True},
                                "qt window": {"desktop": 0, "minimized": True},
                                "x term": {"desktop": 0, "fullscreen": True}})
        stacked = [s["windowTitle"] for s in sorted(profile["snapshots"], key=lambda s: s["stackPosition"])]
        self.assertEqual(stacked, read["stacking"])

class DockTest(WithClients):  # in a session with two monitors
    def test_marked_profile_back_when_its_monitors_are(self):
        home, program, desktop = self.start()
        dock_cycle(self, desktop, home, program.pid, ["Meta-0", "Meta-1"],
                   lambda _: use_monitors("Meta-0"), lambda: use_monitors("Meta-0", "Meta-1"))

class TrayTest(unittest.TestCase):
    """With the AppIndicator extension's watcher: Tavelor's item there and no second
    icon; with our extension off, "Save Layout..." alerts and moves and saves nothing."""
    def test_appindicator_tray(self):
        start_clients(self.addCleanup)
        gtk_one = lambda: [w for w in shell_eval(EVERY_WINDOW) if w[0] == "gtk one" and w[2][2]]  # noqa: E731
        before = wait_until(lambda: (lambda a: time.sleep(1) or a == gtk_one() and a)(gtk_one()), 30, "the window placed")
        home, program = start_tavelor(self.addCleanup, "gnome")
        menu = tray_menu()
        save = menu.wait_for(lambda l: l.find("Save Layout..."), what="the menu").find("Save Layout...")
        self.assertNotIn("tavelor", shell_eval("Object.keys(Main.panel.statusArea)"))
        if dbus.SessionBus().name_has_owner(NAME):
            return
        menu.click(save)
        wait_until(lambda: [w for w in shell_eval(EVERY_WINDOW) if w[1] == program.pid and w[2][2]],
                   10, "the alert")
        self.assertEqual(gtk_one(), before)
        self.assertFalse(os.path.exists(home.profiles_file) and any(p["snapshots"] for p in home.read_profiles()))

if __name__ == "__main__":
    unittest.main(verbosity=2)
