// Lists every managed window with what Tavelor reads of it, in KWin's own
// order (the order the windows appeared), and sends the list back in one call.
// KWin 6 has workspace.windowList(), 5.27 workspace.clientList().
(function () {
    const windows = typeof workspace.windowList === "function"
        ? workspace.windowList() : workspace.clientList();
    const flag = function (value) { return value === true; };
    const text = function (value) { return value === undefined || value === null ? "" : String(value); };
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
                || flag(w.appletPopup) || flag(w.splash)
        });
    }
    callDBus(tavelorReply.service, tavelorReply.path, "app.tavelor.KWinScriptReply", "deliver",
             tavelorReply.token, JSON.stringify(listed));
})();
