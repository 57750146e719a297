"""Drives a tray program over D-Bus as a desktop panel does: its StatusNotifierItem
from the watcher (tests/desktop/sni-watcher), the com.canonical.dbusmenu object its
`Menu` property names, read with GetLayout and clicked with Event. Labels come with
dbusmenu's mnemonic marks (`_` marks, `__` is an underscore); nodes hold them as shown."""
import re
import time

import dbus
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

WATCHER, ITEM = "org.kde.StatusNotifierWatcher", "org.kde.StatusNotifierItem"
PROPERTIES = "org.freedesktop.DBus.Properties"

def spin(seconds):
    """Lets the GLib main loop deliver signals and replies for a while."""
    context, deadline = GLib.MainContext.default(), time.monotonic() + seconds
    while time.monotonic() < deadline:
        if not context.iteration(False):
            time.sleep(0.01)

def wait_until(predicate, timeout, what, step=0.05):
    """Runs the main loop until predicate() gives a true value, which it returns."""
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        if time.monotonic() >= deadline:
            raise TimeoutError(f"timed out after {timeout} s waiting for {what}")
        spin(step)
    return value

class MenuNode:
    def __init__(self, raw):
        item_id, properties, children = raw
        self.id, get = int(item_id), properties.get
        self.children = [MenuNode(child) for child in children]
        self.label = re.sub(r"_(_?)", r"\1", str(get("label", "")))
        self.is_separator = str(get("type", "")) == "separator"
        self.enabled, self.visible = bool(get("enabled", True)), bool(get("visible", True))
        self.checked = str(get("toggle-type", "")) != "" and int(get("toggle-state", 0)) == 1
    def entries(self):  # the visible children, separators included
        return [child for child in self.children if child.visible]
    def top(self):  # the entries as text, "---" for separators
        return ["---" if e.is_separator else e.label for e in self.entries()]
    def outline(self, depth=0):
        """A readable outline of the tree, for failure messages."""
        lines = []
        for child in self.entries():
            flags = [f for f, on in (("checked", child.checked), ("disabled", not child.enabled)) if on]
            lines += ["  " * depth + ("---" if child.is_separator else repr(child.label))
                      + (f" [{', '.join(flags)}]" if flags else "")] + child.outline(depth + 1)
        return lines
    def find(self, *labels, prefix=False):
        """The entry reached by following shown labels (or their starts) down the tree."""
        node = self
        for label in labels:
            node = node and next((c for c in node.entries() if not c.is_separator and (
                c.label.startswith(label) if prefix else c.label == label)), None)
        return node

class TrayMenu:
    def __init__(self, bus, service, path):
        self._bus, self._errors = bus, []
        self._menu = dbus.Interface(bus.get_object(service, path, introspect=False), "com.canonical.dbusmenu")
    def layout(self):
        return MenuNode(self._menu.GetLayout(0, -1, dbus.Array([], signature="s"))[1])
    def click(self, node):
        """Sends the click without waiting for its reply: a command that opens a
        modal dialog answers only once the dialog is closed, one that quits never."""
        self._menu.Event(node.id, "clicked", dbus.Int32(0), dbus.UInt32(int(time.time())), signature="isvu",
                         reply_handler=lambda: None, error_handler=self._errors.append)
        self._bus.flush()
    def wait_for(self, predicate, timeout=10, what="a menu change"):  # the layout, once predicate(layout) holds
        def check():
            for error in self._errors:
                if error.get_dbus_name() != "org.freedesktop.DBus.Error.NoReply":
                    raise error
            self.seen = self.layout()
            return self.seen if predicate(self.seen) else None
        try:
            return wait_until(check, timeout, what)
        except TimeoutError as error:
            raise TimeoutError(f"{error}; the menu was:\n" + "\n".join(self.seen.outline())) from None

class TrayItem:
    def __init__(self, bus, key):  # "name/path", or "name@/path" as GNOME's AppIndicator extension lists it
        self.key, self._bus = key, bus
        self.service, self.path = key[:key.index("/")].rstrip("@"), key[key.index("/"):]
        self._object = bus.get_object(self.service, self.path, introspect=False)
    def pid(self):  # None once its connection has gone
        daemon = self._bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus")
        try:
            return int(daemon.GetConnectionUnixProcessID(self.service, dbus_interface="org.freedesktop.DBus"))
        except dbus.DBusException:
            return None
    def menu(self):
        return TrayMenu(self._bus, self.service, str(self._object.Get(ITEM, "Menu", dbus_interface=PROPERTIES)))
    def activate(self, x, y):
        """A left click on the icon at (x, y), as the panel reports it."""
        self._object.Activate(dbus.Int32(x), dbus.Int32(y), dbus_interface=ITEM)

class Panel:
    """The panel's side of the session bus: finds items in the watcher."""
    def __init__(self):
        DBusGMainLoop(set_as_default=True)
        self.bus, self.registrations = dbus.SessionBus(), []
        self.bus.add_signal_receiver(lambda key: self.registrations.append((time.monotonic(), str(key))),
                                     signal_name="StatusNotifierItemRegistered", dbus_interface=WATCHER)
    def items(self):
        watcher = self.bus.get_object(WATCHER, "/StatusNotifierWatcher", introspect=False)
        keys = watcher.Get(WATCHER, "RegisteredStatusNotifierItems", dbus_interface=PROPERTIES)
        return [TrayItem(self.bus, str(key)) for key in keys]
    def item_of(self, pid):  # or None
        return next((item for item in self.items() if item.pid() == pid), None)
    def wait_for_item(self, pid, timeout=15):
        return wait_until(lambda: self.item_of(pid), timeout, f"the tray item of {pid}")
    def wait_for_menu(self, pid, timeout=15):
        menu = self.wait_for_item(pid, timeout).menu()
        return menu, menu.wait_for(lambda l: l.find("Save Layout..."), timeout, "the menu")
