"""Drives a tray program over D-Bus the way a desktop panel does.

The program's StatusNotifierItem is found through the watcher of
tests/desktop/sni-watcher; its `Menu` property names the com.canonical.dbusmenu
object whose layout is read with GetLayout and whose items are triggered with
Event(id, "clicked", ...). Labels come with the dbusmenu mnemonic convention
(`_` marks the mnemonic, `__` is a literal underscore); `shown()` turns them into
the text a panel shows.
"""

import time

import dbus
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
WATCHER_PATH = "/StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
DBUSMENU = "com.canonical.dbusmenu"
PROPERTIES = "org.freedesktop.DBus.Properties"


def shown(label):
    """The text a panel shows for a dbusmenu label: mnemonic marks removed."""
    out = []
    i = 0
    while i < len(label):
        if label[i] == "_":
            if label[i + 1:i + 2] == "_":
                out.append("_")
                i += 2
                continue
            i += 1
            continue
        out.append(label[i])
        i += 1
    return "".join(out)


def spin(seconds):
    """Lets the GLib main loop deliver signals and replies for a while."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if not context.iteration(False):
            time.sleep(0.01)


def wait_until(predicate, timeout, what, step=0.05):
    """Runs the main loop until predicate() gives a true value, which it returns."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise TimeoutError(f"timed out after {timeout} s waiting for {what}")
        spin(step)


class MenuNode:
    """One entry of a dbusmenu layout: its id, properties and children."""

    def __init__(self, raw):
        item_id, properties, children = raw
        self.id = int(item_id)
        self.properties = {str(k): v for k, v in properties.items()}
        self.children = [MenuNode(child) for child in children]

    @property
    def label(self):
        return shown(str(self.properties.get("label", "")))

    @property
    def is_separator(self):
        return str(self.properties.get("type", "")) == "separator"

    @property
    def enabled(self):
        return bool(self.properties.get("enabled", True))

    @property
    def visible(self):
        return bool(self.properties.get("visible", True))

    @property
    def checked(self):
        return (str(self.properties.get("toggle-type", "")) != ""
                and int(self.properties.get("toggle-state", 0)) == 1)

    @property
    def shortcut(self):
        return [[str(key) for key in combo] for combo in self.properties.get("shortcut", [])]

    def entries(self):
        """The visible children, separators included."""
        return [child for child in self.children if child.visible]

    def outline(self, depth=0):
        """A readable outline of the tree, for failure messages."""
        lines = []
        for child in self.entries():
            text = "---" if child.is_separator else repr(child.label)
            flags = []
            if child.checked:
                flags.append("checked")
            if not child.enabled:
                flags.append("disabled")
            lines.append("  " * depth + text + (f" [{', '.join(flags)}]" if flags else ""))
            lines.extend(child.outline(depth + 1))
        return lines

    def find(self, *labels):
        """The entry reached by following shown labels down the tree, or None."""
        node = self
        for label in labels:
            node = next((c for c in node.entries() if not c.is_separator and c.label == label),
                        None)
            if node is None:
                return None
        return node


class TrayMenu:
    """A dbusmenu object of one item, read and clicked as a panel does."""

    def __init__(self, bus, service, path):
        self._bus = bus
        self._object = bus.get_object(service, path, introspect=False)
        self._menu = dbus.Interface(self._object, DBUSMENU)
        self.updates = 0
        self._pending_errors = []
        for signal in ("LayoutUpdated", "ItemsPropertiesUpdated"):
            self._menu.connect_to_signal(signal, self._updated)

    def _updated(self, *args):
        self.updates += 1

    def layout(self):
        revision, root = self._menu.GetLayout(0, -1, dbus.Array([], signature="s"))
        node = MenuNode(root)
        node.revision = int(revision)
        return node

    def click(self, node):
        """Sends the click without waiting for its reply: a command that opens a
        modal dialog answers only once the dialog is closed."""
        self._menu.Event(node.id, "clicked", dbus.Int32(0), dbus.UInt32(int(time.time())),
                         signature="isvu", reply_handler=lambda: None,
                         error_handler=self._failed)
        self._bus.flush()

    def _failed(self, error):
        # A program that quits from its own menu leaves the reply unanswered.
        if error.get_dbus_name() != "org.freedesktop.DBus.Error.NoReply":
            self._pending_errors.append(error)

    def raise_errors(self):
        if self._pending_errors:
            raise self._pending_errors.pop(0)

    def wait_for(self, predicate, timeout=10, what="a menu change"):
        """Waits until predicate(layout) holds, re-reading the layout whenever the
        program announces an update (and now and then, for updates that raced
        the subscription)."""
        state = {"seen": -1, "last": 0.0, "layout": None}

        def check():
            self.raise_errors()
            now = time.monotonic()
            if self.updates != state["seen"] or now - state["last"] > 0.5:
                state["seen"] = self.updates
                state["last"] = now
                state["layout"] = self.layout()
                if predicate(state["layout"]):
                    return state["layout"]
            return None

        try:
            return wait_until(check, timeout, what)
        except TimeoutError as error:
            outline = "\n".join(state["layout"].outline()) if state["layout"] else "(none)"
            raise TimeoutError(f"{error}; the menu was:\n{outline}") from None


class TrayItem:
    """One registered StatusNotifierItem."""

    def __init__(self, bus, key):
        self.key = key
        slash = key.index("/")
        self.service, self.path = key[:slash], key[slash:]
        self._bus = bus
        self._object = bus.get_object(self.service, self.path, introspect=False)

    def property(self, name):
        return self._object.Get(ITEM, name, dbus_interface=PROPERTIES)

    def pid(self):
        daemon = self._bus.get_object("org.freedesktop.DBus", "/org/freedesktop/DBus")
        return int(daemon.GetConnectionUnixProcessID(self.service,
                                                     dbus_interface="org.freedesktop.DBus"))

    def menu(self):
        return TrayMenu(self._bus, self.service, str(self.property("Menu")))

    def activate(self, x, y):
        """A left click on the icon at (x, y), as the panel reports it."""
        self._object.Activate(dbus.Int32(x), dbus.Int32(y), dbus_interface=ITEM)


class Panel:
    """The panel's side of the session bus: finds items in the watcher."""

    def __init__(self):
        DBusGMainLoop(set_as_default=True)
        self.bus = dbus.SessionBus()
        self._watcher = self.bus.get_object(WATCHER, WATCHER_PATH, introspect=False)
        self.registrations = []
        self.bus.add_signal_receiver(self._registered, signal_name="StatusNotifierItemRegistered",
                                     dbus_interface=WATCHER)

    def _registered(self, key):
        self.registrations.append((time.monotonic(), str(key)))

    def items(self):
        keys = self._watcher.Get(WATCHER, "RegisteredStatusNotifierItems",
                                 dbus_interface=PROPERTIES)
        return [TrayItem(self.bus, str(key)) for key in keys]

    def item_of(self, pid):
        """The item that process pid registered, or None."""
        for item in self.items():
            try:
                if item.pid() == pid:
                    return item
            except dbus.DBusException:
                continue
        return None

    def wait_for_item(self, pid, timeout=15):
        return wait_until(lambda: self.item_of(pid), timeout,
                          f"a tray item of process {pid}")
