// Tavelor's companion in GNOME Shell: lists the windows, moves them in
// batches and holds Tavelor's global shortcut, over a small D-Bus interface on
// the session bus, with their workspace, maximised, minimised, fullscreen,
// kept-above state and stacking order. Only the compositor may do these on Wayland; every decision
// about what goes where stays in Tavelor.
//
// One source for both loaders: lines marked "//legacy:" are kept for GNOME
// 43-44 (the imports system), lines marked "//module:" for 45 and later (ES
// modules); the build writes each flavour with the marks stripped.
//legacy: const {Gio, GLib, Meta, Shell} = imports.gi;
//legacy: const Main = imports.ui.main;
//legacy: const Me = imports.misc.extensionUtils.getCurrentExtension();
//legacy: const {TrayFallback} = Me.imports.trayMenu;
//module: import Gio from 'gi://Gio';
//module: import GLib from 'gi://GLib';
//module: import Meta from 'gi://Meta';
//module: import Shell from 'gi://Shell';
//module: import * as Main from 'resource:///org/gnome/shell/ui/main.js';
//module: import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';
//module: import {TrayFallback} from './trayMenu.js';

const BUS_NAME = 'io.github.tavelor.Shell';
const OBJECT_PATH = '/io/github/tavelor/Shell';
const ERROR_PREFIX = 'io.github.tavelor.Shell.Error.';

// A batch larger than any desktop holds is a runaway caller, not a layout.
const MAX_BATCH = 4096;
// Coordinates beyond this are no screen's; sizes must be positive.
const MAX_COORDINATE = 1000000;

const INTERFACE_XML = `
<node>
  <interface name="io.github.tavelor.Shell">
    <method name="ListWindows">
      <arg type="s" name="windows" direction="out"/>
    </method>
    <method name="ApplyFrames">
      <arg type="a(tiiii)" name="frames" direction="in"/>
      <arg type="a(tbiiii)" name="results" direction="out"/>
    </method>
    <method name="ApplyLayout">
      <arg type="a(tiiii)" name="frames" direction="in"/>
      <arg type="s" name="state" direction="in"/>
      <arg type="a(tbiiii)" name="results" direction="out"/>
    </method>
    <method name="GrabShortcut">
      <arg type="s" name="accelerator" direction="in"/>
    </method>
    <method name="ReleaseShortcut"/>
    <signal name="ShortcutPressed"/>
    <property name="Version" type="u" access="read"/>
  </interface>
</node>`;

const INTERFACE_INFO = Gio.DBusNodeInfo.new_for_xml(INTERFACE_XML).interfaces[0];

class CallError extends Error {
    constructor(name, message) {
        super(message);
        this.dbusName = ERROR_PREFIX + name;
    }
}

function windowRole(window) {
    if (window.is_override_redirect())
        return 'other';
    switch (window.get_window_type()) {
    case Meta.WindowType.NORMAL:
    case Meta.WindowType.DIALOG:
    case Meta.WindowType.MODAL_DIALOG:
    case Meta.WindowType.UTILITY:
        return 'window';
    default:
        return 'other';
    }
}

function orText(value) {
    return typeof value === 'string' && value.length > 0 ? value : null;
}

function trackedAppId(window) {
    const app = Shell.WindowTracker.get_default().get_window_app(window);
    // Window-backed apps are the tracker's own stand-ins ("window:12"), no
    // desktop entry: Tavelor looks the entry up itself from the other names.
    if (!app || app.is_window_backed())
        return [null, null];
    return [orText(app.get_id()), orText(app.get_name())];
}

// Meta.MaximizeFlags as a number: 1 horizontal, 2 vertical, 3 both.
function maximizedFlags(window) {
    const flags = window.get_maximized();
    return (flags & Meta.MaximizeFlags.HORIZONTAL ? 1 : 0) |
        (flags & Meta.MaximizeFlags.VERTICAL ? 2 : 0);
}

function describeWindow(window, stackPosition) {
    const frame = window.get_frame_rect();
    const [appId, appName] = trackedAppId(window);
    let workspace = null;
    try {
        const ws = window.get_workspace();
        workspace = ws ? ws.index() : null;
    } catch (e) {
        workspace = null;
    }
    return {
        id: String(window.get_id()),
        appId,
        appName,
        gtkAppId: orText(window.get_gtk_application_id()),
        sandboxedAppId: orText(window.get_sandboxed_app_id()),
        wmClass: orText(window.get_wm_class()),
        wmClassInstance: orText(window.get_wm_class_instance()),
        title: typeof window.get_title() === 'string' ? window.get_title() : null,
        pid: window.get_pid(),
        frame: [frame.x, frame.y, frame.width, frame.height],
        role: windowRole(window),
        skipTaskbar: window.is_skip_taskbar(),
        minimized: window.minimized,
        workspace,
        onAllWorkspaces: window.is_on_all_workspaces(),
        maximized: maximizedFlags(window),
        fullscreen: window.is_fullscreen(),
        above: window.is_above(),
        stackPosition,
        monitor: window.get_monitor(),
    };
}

function liveWindows() {
    const windows = global.get_window_actors()
        .map(actor => actor.get_meta_window())
        .filter(window => window !== null);
    // The order windows appeared in, not the stacking order, so that two
    // windows with one title pair the same way at every apply.
    windows.sort((a, b) => a.get_stable_sequence() - b.get_stable_sequence());
    return windows;
}

function listing() {
    const windows = liveWindows();
    // 0 at the bottom of the stacking order.
    const stacked = new Map(global.display.sort_windows_by_stacking(windows)
        .map((window, position) => [window, position]));
    return windows.map(window => describeWindow(window, stacked.get(window) ?? null));
}

function checkFrames(frames) {
    if (frames.length > MAX_BATCH)
        throw new CallError('InvalidArgs', `at most ${MAX_BATCH} frames in one call`);
    for (const [id, x, y, width, height] of frames) {
        const inRange = v => Math.abs(v) <= MAX_COORDINATE;
        if (!inRange(x) || !inRange(y) || width <= 0 || height <= 0 ||
            width > MAX_COORDINATE || height > MAX_COORDINATE)
            throw new CallError('InvalidArgs', `frame of window ${id} out of range`);
    }
}

// The state part of ApplyLayout: {"states": [[id, workspace, maximized,
// minimized, fullscreen, above], ...], "raise": [id, ...]}, ids as text,
// workspace -1 for all workspaces or null to leave it, maximized as listed.
function parseLayoutState(text) {
    let state;
    try {
        state = JSON.parse(text);
    } catch (e) {
        throw new CallError('InvalidArgs', 'the state is not JSON');
    }
    const states = state?.states ?? [];
    const raise = state?.raise ?? [];
    const isFlag = v => typeof v === 'boolean';
    const fine = Array.isArray(states) && Array.isArray(raise) &&
        states.length <= MAX_BATCH && raise.length <= MAX_BATCH &&
        raise.every(id => typeof id === 'string') &&
        states.every(entry => Array.isArray(entry) && entry.length === 6 &&
            typeof entry[0] === 'string' &&
            (entry[1] === null || (Number.isInteger(entry[1]) && entry[1] >= -1 && entry[1] < 1024)) &&
            [0, 1, 2, 3].includes(entry[2]) && entry.slice(3).every(isFlag));
    if (!fine)
        throw new CallError('InvalidArgs', 'malformed state');
    return {states: new Map(states.map(entry => [entry[0], entry])), raise};
}

function placeOnWorkspace(window, workspace) {
    if (workspace === null)
        return;
    if (workspace === -1) {
        window.stick();
        return;
    }
    if (window.is_on_all_workspaces())
        window.unstick();
    // false: the user stays on the workspace they are on.
    window.change_workspace_by_index(workspace, false);
}

function setFlags(window, [, , maximized, minimized, fullscreen, above]) {
    const flags = (maximized & 1 ? Meta.MaximizeFlags.HORIZONTAL : 0) |
        (maximized & 2 ? Meta.MaximizeFlags.VERTICAL : 0);
    if (flags)
        window.maximize(flags);
    if (fullscreen !== window.is_fullscreen())
        fullscreen ? window.make_fullscreen() : window.unmake_fullscreen();
    if (above !== window.is_above())
        above ? window.make_above() : window.unmake_above();
    if (minimized !== window.minimized)
        minimized ? window.minimize() : window.unminimize();
}

function applyFrames(frames, state = {states: new Map(), raise: []}) {
    // Every frame is checked before any window moves: a bad batch moves nothing.
    checkFrames(frames);
    const byId = new Map(liveWindows().map(window => [String(window.get_id()), window]));
    const moved = [];
    for (const [id, x, y, width, height] of frames) {
        const window = byId.get(String(id));
        if (!window || window.is_override_redirect()) {
            moved.push([id, null]);
            continue;
        }
        const wanted = state.states.get(String(id));
        if (wanted)
            placeOnWorkspace(window, wanted[1]);
        // The frame asked for is the unmaximised one.
        if (window.get_maximized())
            window.unmaximize(Meta.MaximizeFlags.BOTH);
        if (wanted && window.is_fullscreen())
            window.unmake_fullscreen();
        window.move_resize_frame(false, x, y, width, height);
        if (wanted)
            setFlags(window, wanted);
        moved.push([id, window]);
    }
    // Raising restacks within each layer. Mutter leaves the focus alone through
    // all of this (raise, fullscreen, unminimize): nothing to give back.
    for (const id of state.raise)
        byId.get(id)?.raise();
    // What the shell made of each request (it keeps windows below the top bar
    // and pulls them on-screen); the client may still be catching up.
    return moved.map(([id, window]) => {
        if (!window)
            return [id, false, 0, 0, 0, 0];
        const r = window.get_frame_rect();
        return [id, true, r.x, r.y, r.width, r.height];
    });
}

class ShortcutGrab {
    constructor(onPressed) {
        this._onPressed = onPressed;
        this._action = Meta.KeyBindingAction.NONE;
        this._accelerator = null;
        this._handler = global.display.connect('accelerator-activated',
            (display, action) => {
                if (action !== Meta.KeyBindingAction.NONE && action === this._action)
                    this._onPressed();
            });
    }

    grab(accelerator) {
        this.release();
        const action = global.display.grab_accelerator(accelerator, Meta.KeyBindingFlags.NONE);
        if (action === Meta.KeyBindingAction.NONE)
            throw new CallError('Taken', `cannot grab "${accelerator}"`);
        const name = Meta.external_binding_name_for_action(action);
        Main.wm.allowKeybinding(name, Shell.ActionMode.ALL);
        this._action = action;
        this._accelerator = name;
    }

    release() {
        if (this._action === Meta.KeyBindingAction.NONE)
            return;
        Main.wm.allowKeybinding(this._accelerator, Shell.ActionMode.NONE);
        global.display.ungrab_accelerator(this._action);
        this._action = Meta.KeyBindingAction.NONE;
        this._accelerator = null;
    }

    destroy() {
        this.release();
        global.display.disconnect(this._handler);
    }
}

class ShellService {
    constructor() {
        this._connection = null;
        this._registration = 0;
        this._nameOwnerId = 0;
        // The bus name of the program that holds the shortcut: the shortcut
        // is one program's, and goes when that program leaves the bus.
        this._owner = null;
        this._ownerWatch = 0;
        this._shortcut = new ShortcutGrab(() => this._emitPressed());
    }

    start() {
        this._nameOwnerId = Gio.bus_own_name(Gio.BusType.SESSION, BUS_NAME,
            Gio.BusNameOwnerFlags.NONE,
            connection => this._register(connection), null, null);
    }

    stop() {
        this._forgetOwner();
        this._shortcut.destroy();
        if (this._registration)
            this._connection.unregister_object(this._registration);
        this._registration = 0;
        if (this._nameOwnerId)
            Gio.bus_unown_name(this._nameOwnerId);
        this._nameOwnerId = 0;
        this._connection = null;
    }

    _register(connection) {
        this._connection = connection;
        this._registration = connection.register_object(OBJECT_PATH, INTERFACE_INFO,
            (conn, sender, path, iface, method, params, invocation) =>
                this._call(sender, method, params, invocation),
            (conn, sender, path, iface, property) =>
                property === 'Version' ? new GLib.Variant('u', 1) : null,
            null);
    }

    _call(sender, method, params, invocation) {
        try {
            invocation.return_value(this._answer(sender, method, params));
        } catch (e) {
            const name = e.dbusName ?? ERROR_PREFIX + 'Failed';
            invocation.return_dbus_error(name, e.message ?? String(e));
        }
    }

    _answer(sender, method, params) {
        switch (method) {
        case 'ListWindows':
            return new GLib.Variant('(s)', [JSON.stringify(listing())]);
        case 'ApplyFrames': {
            const [frames] = params.deepUnpack();
            return new GLib.Variant('(a(tbiiii))', [applyFrames(frames)]);
        }
        case 'ApplyLayout': {
            const [frames, state] = params.deepUnpack();
            return new GLib.Variant('(a(tbiiii))', [applyFrames(frames, parseLayoutState(state))]);
        }
        case 'GrabShortcut': {
            const [accelerator] = params.deepUnpack();
            if (this._owner !== null && this._owner !== sender)
                throw new CallError('Busy', 'the shortcut belongs to another program');
            this._shortcut.grab(accelerator);
            this._watchOwner(sender);
            return null;
        }
        case 'ReleaseShortcut':
            if (this._owner !== null && this._owner !== sender)
                throw new CallError('Busy', 'the shortcut belongs to another program');
            this._forgetOwner();
            return null;
        default:
            throw new CallError('UnknownMethod', `no method ${method}`);
        }
    }

    _watchOwner(sender) {
        if (this._owner === sender)
            return;
        this._owner = sender;
        this._ownerWatch = Gio.bus_watch_name_on_connection(this._connection, sender,
            Gio.BusNameWatcherFlags.NONE, null, () => this._forgetOwner());
    }

    _forgetOwner() {
        this._shortcut.release();
        if (this._ownerWatch)
            Gio.bus_unwatch_name(this._ownerWatch);
        this._ownerWatch = 0;
        this._owner = null;
    }

    _emitPressed() {
        if (this._connection && this._owner)
            this._connection.emit_signal(this._owner, OBJECT_PATH, BUS_NAME,
                'ShortcutPressed', null);
    }
}

//legacy: class TavelorExtension {
//module: export default class TavelorExtension extends Extension {
    enable() {
        this._service = new ShellService();
        this._service.start();
//legacy:         const folder = Me.dir;
//module:         const folder = Gio.File.new_for_path(this.path);
        this._tray = new TrayFallback(folder.get_child('tavelor-symbolic.svg'));
        this._tray.start();
    }

    disable() {
        this._tray?.stop();
        this._tray = null;
        this._service?.stop();
        this._service = null;
    }
}
//legacy: function init() {
//legacy:     return new TavelorExtension();
//legacy: }
