// Tavelor's icon and menu in the top bar of a GNOME Shell without any tray.
//
// Tavelor's toolkit publishes its tray item only to a StatusNotifierWatcher.
// Where none runs (vanilla GNOME has none), this one stands in: it takes the
// watcher's bus name, accepts the registrations, and shows Tavelor's own item
// as a top-bar button whose menu is read from the item's com.canonical.dbusmenu
// object; a chosen entry goes back to Tavelor as a "clicked" event. Items of
// other programs are accepted but not shown: hosting every program's tray is
// the AppIndicator extension's work, and with it enabled this stands aside.
//legacy: const {Gio, GLib, St} = imports.gi;
//legacy: const Main = imports.ui.main;
//legacy: const PanelMenu = imports.ui.panelMenu;
//legacy: const PopupMenu = imports.ui.popupMenu;
//module: import Gio from 'gi://Gio';
//module: import GLib from 'gi://GLib';
//module: import St from 'gi://St';
//module: import * as Main from 'resource:///org/gnome/shell/ui/main.js';
//module: import * as PanelMenu from 'resource:///org/gnome/shell/ui/panelMenu.js';
//module: import * as PopupMenu from 'resource:///org/gnome/shell/ui/popupMenu.js';

const WATCHER_NAME = 'org.kde.StatusNotifierWatcher';
const WATCHER_PATH = '/StatusNotifierWatcher';
const ITEM_INTERFACE = 'org.kde.StatusNotifierItem';
const MENU_INTERFACE = 'com.canonical.dbusmenu';
const ITEM_ID = /^tavelor/i;

const WATCHER_INFO = Gio.DBusNodeInfo.new_for_xml(`
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
  </interface>
</node>`).interfaces[0];

// The text a menu shows for a dbusmenu label: "_" marks a mnemonic, "__" is "_".
function shownLabel(label) {
    return label.replace(/__|_/g, m => (m === '__' ? '_' : ''));
}

function call(connection, name, path, iface, method, params, replyType) {
    return new Promise((resolve, reject) => {
        connection.call(name, path, iface, method, params,
            replyType ? new GLib.VariantType(replyType) : null,
            Gio.DBusCallFlags.NONE, 5000, null, (conn, result) => {
                try {
                    resolve(conn.call_finish(result));
                } catch (e) {
                    reject(e);
                }
            });
    });
}

// One registered item shown in the top bar, with its dbusmenu.
class TrayButton {
    constructor(connection, busName, itemPath, iconFile) {
        this._connection = connection;
        this._busName = busName;
        this._menuPath = null;
        this._button = new PanelMenu.Button(0.5, 'Tavelor', false);
        this._button.add_child(new St.Icon({
            gicon: Gio.FileIcon.new(iconFile),
            style_class: 'system-status-icon',
        }));
        Main.panel.addToStatusArea('tavelor', this._button);
        this._openId = this._button.menu.connect('open-state-changed', (menu, open) => {
            if (open)
                this._aboutToShow();
        });
        this._layoutSignal = 0;
        this._createdId = 0;
        this._focusTimeout = 0;
        this._start(itemPath).catch(e => logError(e, 'Tavelor: tray item'));
    }

    async _start(itemPath) {
        const reply = await call(this._connection, this._busName, itemPath,
            'org.freedesktop.DBus.Properties', 'Get',
            new GLib.Variant('(ss)', [ITEM_INTERFACE, 'Menu']), '(v)');
        this._menuPath = reply.deepUnpack()[0].deepUnpack();
        this._layoutSignal = this._connection.signal_subscribe(this._busName, MENU_INTERFACE,
            'LayoutUpdated', this._menuPath, null, Gio.DBusSignalFlags.NONE,
            () => this._reload());
        await this._reload();
    }

    async _aboutToShow() {
        if (!this._menuPath)
            return;
        try {
            await call(this._connection, this._busName, this._menuPath, MENU_INTERFACE,
                'AboutToShow', new GLib.Variant('(i)', [0]), '(b)');
        } catch (e) {
            // Optional for a menu; the layout read before stands.
        }
    }

    async _reload() {
        if (!this._menuPath)
            return;
        const reply = await call(this._connection, this._busName, this._menuPath,
            MENU_INTERFACE, 'GetLayout', new GLib.Variant('(iias)', [0, -1, []]),
            '(u(ia{sv}av))');
        const [, root] = reply.recursiveUnpack();
        if (!this._button)
            return;
        this._button.menu.removeAll();
        this._fill(this._button.menu, root[2]);
    }

    _fill(menu, children) {
        for (const [id, props, grandchildren] of children) {
            if (props.visible === false)
                continue;
            if (props.type === 'separator') {
                menu.addMenuItem(new PopupMenu.PopupSeparatorMenuItem());
                continue;
            }
            const label = shownLabel(props.label ?? '');
            let item;
            if (props['children-display'] === 'submenu') {
                item = new PopupMenu.PopupSubMenuMenuItem(label);
                this._fill(item.menu, grandchildren);
            } else {
                item = new PopupMenu.PopupMenuItem(label);
                item.connect('activate', () => this._clicked(id));
            }
            // An unchecked item lines up with the plain ones: from GNOME 46 on, NONE
            // keeps the ornament's room and HIDDEN does not.
            if (props['toggle-type'])
                item.setOrnament(props['toggle-state'] === 1
                    ? PopupMenu.Ornament.CHECK : PopupMenu.Ornament.HIDDEN ?? PopupMenu.Ornament.NONE);
            if (props.enabled === false)
                item.setSensitive(false);
            menu.addMenuItem(item);
        }
    }

    _clicked(id) {
        const params = new GLib.Variant('(isvu)',
            [id, 'clicked', new GLib.Variant('i', 0), global.get_current_time()]);
        call(this._connection, this._busName, this._menuPath, MENU_INTERFACE, 'Event', params, null)
            .catch(e => logError(e, 'Tavelor: menu event'));
        this._focusNextWindow().catch(e => logError(e, 'Tavelor: dialog focus'));
    }

    // A dialog Tavelor opens for the chosen entry is for the keys the user types
    // next. Mutter cannot tell that it answers this click (the event carries no
    // activation token) and may leave a new window of a background program
    // unfocused, so the window of Tavelor's that shows next gets the focus.
    async _focusNextWindow() {
        const reply = await call(this._connection, 'org.freedesktop.DBus', '/org/freedesktop/DBus',
            'org.freedesktop.DBus', 'GetConnectionUnixProcessID',
            new GLib.Variant('(s)', [this._busName]), '(u)');
        const [pid] = reply.deepUnpack();
        this._stopFocusing();
        this._createdId = global.display.connect('window-created', (display, window) => {
            if (window.get_pid() !== pid)
                return;
            this._stopFocusing();
            const shownId = window.connect('shown', () => {
                window.disconnect(shownId);
                Main.activateWindow(window);
            });
        });
        this._focusTimeout = GLib.timeout_add_seconds(GLib.PRIORITY_DEFAULT, 5, () => {
            this._focusTimeout = 0;
            this._stopFocusing();
            return GLib.SOURCE_REMOVE;
        });
    }

    _stopFocusing() {
        if (this._createdId)
            global.display.disconnect(this._createdId);
        this._createdId = 0;
        if (this._focusTimeout)
            GLib.source_remove(this._focusTimeout);
        this._focusTimeout = 0;
    }

    destroy() {
        this._stopFocusing();
        if (this._layoutSignal)
            this._connection.signal_unsubscribe(this._layoutSignal);
        this._layoutSignal = 0;
        this._button?.destroy();
        this._button = null;
    }
}

//legacy: var TrayFallback = class TrayFallback {
//module: export class TrayFallback {
    constructor(iconFile) {
        this._iconFile = iconFile;
        this._connection = null;
        this._registration = 0;
        this._items = new Map(); // "busName/path" -> {watch, button}
        this._ownerId = 0;
    }

    start() {
        // A real watcher (the AppIndicator extension) may take the name over.
        this._ownerId = Gio.bus_own_name(Gio.BusType.SESSION, WATCHER_NAME,
            Gio.BusNameOwnerFlags.ALLOW_REPLACEMENT | Gio.BusNameOwnerFlags.DO_NOT_QUEUE,
            connection => this._export(connection), null, () => this._withdraw());
    }

    stop() {
        this._withdraw();
        if (this._ownerId)
            Gio.bus_unown_name(this._ownerId);
        this._ownerId = 0;
    }

    _export(connection) {
        this._connection = connection;
        this._registration = connection.register_object(WATCHER_PATH, WATCHER_INFO,
            (conn, sender, path, iface, method, params, invocation) => {
                if (method === 'RegisterStatusNotifierItem')
                    this._register(sender, params.deepUnpack()[0]);
                invocation.return_value(null);
            },
            (conn, sender, path, iface, property) => {
                switch (property) {
                case 'RegisteredStatusNotifierItems':
                    return new GLib.Variant('as', [...this._items.keys()]);
                case 'IsStatusNotifierHostRegistered':
                    return new GLib.Variant('b', true);
                case 'ProtocolVersion':
                    return new GLib.Variant('i', 0);
                default:
                    return null;
                }
            }, null);
    }

    _withdraw() {
        for (const key of [...this._items.keys()])
            this._forget(key);
        if (this._registration)
            this._connection.unregister_object(this._registration);
        this._registration = 0;
        this._connection = null;
    }

    _register(sender, service) {
        // An item names its object path (then it is the sender's) or its bus name.
        const [busName, path] = service.startsWith('/')
            ? [sender, service] : [service, '/StatusNotifierItem'];
        const key = busName + path;
        if (this._items.has(key))
            return;
        const entry = {watch: 0, button: null};
        this._items.set(key, entry);
        entry.watch = Gio.bus_watch_name_on_connection(this._connection, busName,
            Gio.BusNameWatcherFlags.NONE, null, () => this._forget(key));
        this._connection.emit_signal(null, WATCHER_PATH, WATCHER_NAME,
            'StatusNotifierItemRegistered', new GLib.Variant('(s)', [key]));
        this._showIfTavelor(key, busName, path).catch(e => logError(e, 'Tavelor: tray item'));
    }

    async _showIfTavelor(key, busName, path) {
        const reply = await call(this._connection, busName, path,
            'org.freedesktop.DBus.Properties', 'Get',
            new GLib.Variant('(ss)', [ITEM_INTERFACE, 'Id']), '(v)');
        const id = reply.deepUnpack()[0].deepUnpack();
        const entry = this._items.get(key);
        if (entry && !entry.button && ITEM_ID.test(id))
            entry.button = new TrayButton(this._connection, busName, path, this._iconFile);
    }

    _forget(key) {
        const entry = this._items.get(key);
        if (!entry)
            return;
        this._items.delete(key);
        Gio.bus_unwatch_name(entry.watch);
        entry.button?.destroy();
        this._connection?.emit_signal(null, WATCHER_PATH, WATCHER_NAME,
            'StatusNotifierItemUnregistered', new GLib.Variant('(s)', [key]));
    }
}
