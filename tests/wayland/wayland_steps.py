"""What the KWin and GNOME Shell tests share: native GTK, Qt and XWayland windows,
build/tavelor with its tray item, and the journey a user makes with it."""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from panel import Panel, spin, wait_until  # noqa: E402,F401
from tavelor_process import Home, Tavelor  # noqa: E402

GTK_WINDOW = """import sys, gi; gi.require_version('Gtk', '3.0'); from gi.repository import Gtk, GLib
GLib.set_prgname(sys.argv[1]); w = Gtk.Window(title=sys.argv[2]); w.set_default_size(300, 200)
w.show_all(); Gtk.main()"""
CLIENTS = {"gtk one": "org.tavelor.GtkOne", "gtk two": "org.tavelor.GtkTwo",
           "qt window": "org.tavelor.QtNative", "x term": None}

def start_clients(add_cleanup):  # native GTK and Qt, an xterm on XWayland
    commands = [(["/usr/bin/python3", "-c", GTK_WINDOW, app, title], {"GDK_BACKEND": "wayland"})
                for title, app in CLIENTS.items() if "gtk" in title]
    commands += [([os.environ["TAVELOR_QT_WINDOW"], "qt window"], {"QT_QPA_PLATFORM": "wayland"}),
                 (["xterm", "-T", "x term", "-geometry", "60x15"], {})]
    for command, env in commands:
        process = subprocess.Popen(command, env=dict(os.environ, **env))
        add_cleanup(lambda p=process: (p.terminate(), p.wait()))

def start_tavelor(add_cleanup, *args):
    home = Home()
    home.write_shortcut(0x11, 0x1000 | 0x0800)  # Control+Option+T, by key position
    program = Tavelor(os.environ["TAVELOR_EXE"], home, home.root, *args)
    add_cleanup(program.stop)
    return home, program

def until_back(frames, saved, action, what, pause=3):
    """Repeats action() until frames() == saved: a busy compositor may lose the first
    keys of a new keyboard (a restore is idempotent, so this hides no missing one)."""
    wait_until(lambda: frames() == saved or action() or spin(pause), 4 * pause, what)

def save(desktop, home, pid, name):
    """Save Layout... with name typed into the native dialog; answers the profile saved and its frames by title."""
    desktop.choose("Save Layout...")
    wait_until(lambda: desktop.dialog_up(pid), 10, "the save dialog, a native window")
    desktop.type(name)
    desktop.menu.wait_for(lambda l: l.find(name), what="the profile in the menu")
    profile = next(p for p in home.read_profiles() if p["name"] == name)
    return profile, {s["windowTitle"]: [s["frame"][k] for k in ("x", "y", "width", "height")]
                     for s in profile["snapshots"]}

class TrayDesktop:
    """A desktop whose only menu is the tray's, self.menu."""
    def choose(self, *labels):
        self.menu.click(self.menu.wait_for(lambda l: l.find(*labels)).find(*labels))
    def wait_for_menu(self, what):
        pass

def dock_cycle(test, desktop, home, pid, connectors, undock, dock, split=1920):
    """Saves "docked" spread over both displays and marks it (its check in the menu and the file
    follow the item, off and on again); moved by the user, undocked a while, docked again: the
    saved frames come back by themselves. desktop as for journey(), plus spread(shift);
    undock(saved); split: where the second display starts."""
    desktop.spread(0)
    profile, saved = save(desktop, home, pid, "docked")
    test.assertEqual((saved, [m["connector"] for m in profile["displays"]], {f[0] >= split for f in saved.values()}),
                     (desktop.frames(), connectors, {False, True}))
    follow = ("docked", "Apply When These Displays Connect")
    for checked in (True, False, True):
        desktop.choose(*follow)
        desktop.menu.wait_for(lambda l: l.find(*follow).checked == checked, what=f"the mark: {checked}")
        desktop.wait_for_menu(f"the menu with the mark: {checked}")
        test.assertEqual(home.read_profiles()[0].get("applyOnDisplayConnect", False), checked)
    desktop.spread(150)  # the user's own layout, which KWin puts back with its output
    undock(saved)
    wait_until(lambda: all(f[0] < split for f in desktop.frames().values()), 10, "the windows on the first display")
    spin(2)  # undocked a while, as a user is: Tavelor waits for each setup to settle
    dock()
    wait_until(lambda: desktop.frames() == saved, 15, "the windows back where saved")

def journey(test, desktop, home, pid):
    """Save Layout... with the name typed; once active the shortcut, and the profile's
    Apply, put scrambled windows back. desktop: its menu, frames() of the clients by title,
    choose(*labels), wait_for_menu(what), dialog_up(pid), type(text), shortcut(), scramble()."""
    profile, saved = save(desktop, home, pid, "desk")
    apps = {s["windowTitle"]: s["bundleIdentifier"] for s in profile["snapshots"]}
    # KWin 6 finds a desktop file for an X11 window itself.
    test.assertEqual((saved, apps.pop("x term") in ("xterm", "debian-xterm", "XTerm"), apps),
                     (desktop.frames(), True, {t: a for t, a in CLIENTS.items() if a}))
    desktop.choose("desk", "Set as Active")
    desktop.menu.wait_for(lambda l: l.find("desk", "Deactivate"), what="the profile to be active")
    desktop.wait_for_menu("the menu with the active profile")
    for action, what in [(desktop.shortcut, "from the shortcut"),
                         (lambda: desktop.choose("desk", "Apply"), "from the menu")]:
        desktop.scramble()
        wait_until(lambda: all(f != saved[t] for t, f in desktop.frames().items()), 10, "the scramble")
        until_back(desktop.frames, saved, action, f"the windows back {what}")

def states_come_back(test, desktop, home, pid, states, saved, changed):
    """states(table) sets the windows to the table's states ({}: none) and answers [the windows' states, the focused
    window, the current desktop] once they hold. Saved as "state", changed, the profile applied: the states come back
    and stay, and so do the focus and the desktop. Answers the profile and the states saved."""
    read = states(saved)[0]
    profile, _ = save(desktop, home, pid, "state")
    focus = states(changed)[1:]
    desktop.choose("state", "Apply")
    wait_until(lambda: states({})[0] == read, 10, "the states back")
    spin(1)
    test.assertEqual(states({}), [read, *focus])
    return profile, read
