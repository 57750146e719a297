// Lists every managed window with what Tavelor reads of it, in KWin's own
// order (the order the windows appeared), and sends the list back in one call.
// KWin 6 has workspace.windowList(), 5.27 workspace.clientList().
(function () {
    const windows = typeof workspace.windowList === "function"
        ? workspace.windowList() : workspace.clientList();
    const flag = function (value) { return value === true; };
    const text = function (value) { return value === undefined || value === null ? "" : String(value); };
    // Desktops: 5.27 numbers them from 1 in `desktop`; 6 lists desktop
    // objects in `desktops`, in the order of workspace.desktops. Maximised:
    // 6's maximizeMode (1 vertical, 2 horizontal, 3 both); 5.27 tells none.
    // Stacking: 6's workspace.stackingOrder, bottom first; 5.27 has none.
    const desktopIds = typeof workspace.desktops === "object"
        ? Array.prototype.map.call(workspace.desktops, function (d) { return String(d.id); }) : [];
    const stacked = {};
    const stacking = workspace.stackingOrder || [];
    for (let i = 0; i < stacking.length; ++i)
        stacked[text(stacking[i].internalId)] = i;
    const desktopOf = function (w) {
        if (w.onAllDesktops === true)
            return -1;
        if (typeof w.desktop === "number")
            return w.desktop - 1;
        const own = w.desktops && w.desktops.length ? desktopIds.indexOf(String(w.desktops[0].id)) : -1;
        return own >= 0 ? own : null;
    };
    const listed = [];
    for (let i = 0; i < windows.length; ++i) {
        const w = windows[i];
        const frame = w.frameGeometry;
        listed.push({
            id: text(w.internalId),
            pid: typeof w.pid === "number" ? w.pid : 0,
            resourceClass: text(w.resourceClass),
            resourceName: text(w.resourceName),
            desktopFileName: text(w.desktopFileName),
            caption: text(w.caption),
            frame: frame ? [frame.x, frame.y, frame.width, frame.height] : null,
            normal: flag(w.normalWindow),
            dialog: flag(w.dialog),
            utility: flag(w.utility),
            skipTaskbar: flag(w.skipTaskbar),
            special: flag(w.dock) || flag(w.desktopWindow) || flag(w.notification)
                || flag(w.criticalNotification) || flag(w.onScreenDisplay)
                || flag(w.appletPopup) || flag(w.splash),
            state: {
                desktop: desktopOf(w),
                maximized: typeof w.maximizeMode === "number" ? w.maximizeMode : null,
                minimized: flag(w.minimized),
                fullScreen: flag(w.fullScreen),
                keepAbove: flag(w.keepAbove),
                stack: stacked[text(w.internalId)] === undefined ? null : stacked[text(w.internalId)]
            }
        });
    }
    callDBus(tavelorReply.service, tavelorReply.path, "app.tavelor.KWinScriptReply", "deliver",
             tavelorReply.token, JSON.stringify(listed));
})();
