// Sets the frames of request.frames ([id, x, y, width, height] each, null for
// a part to keep) in one pass and answers how many windows were still there.
// request.states ([id, desktop, maximized, minimized, fullScreen, keepAbove]:
// desktop from 0, -1 for all, null to keep; maximized as maximizeMode, null
// when not known) give those windows their desktop before the frame and the
// rest after it; request.raise lists windows to raise in order, where KWin
// can (6). The window that has the focus keeps it.
(function () {
    const windows = typeof workspace.windowList === "function"
        ? workspace.windowList() : workspace.clientList();
    const byId = {};
    for (let i = 0; i < windows.length; ++i)
        byId[String(windows[i].internalId)] = windows[i];
    const activeKey = workspace.activeWindow !== undefined ? "activeWindow" : "activeClient";
    const active = workspace[activeKey];
    const states = {};
    (request.states || []).forEach(function (s) {
        const w = byId[s[0]];
        if (w === undefined)
            return;
        states[s[0]] = s;
        if (s[1] === -1) {
            w.onAllDesktops = true;
        } else if (s[1] !== null) {
            w.onAllDesktops = false;
            if (typeof w.desktop === "number")
                w.desktop = s[1] + 1;
            else if (s[1] < workspace.desktops.length)
                w.desktops = [workspace.desktops[s[1]]];
        }
        // A maximised or fullscreen window takes no frame.
        w.fullScreen = false;
        w.setMaximize(false, false);
    });
    let moved = 0;
    for (let i = 0; i < request.frames.length; ++i) {
        const f = request.frames[i];
        const w = byId[f[0]];
        if (w === undefined)
            continue;
        const old = w.frameGeometry;
        const pick = function (value, kept) { return value === null ? kept : value; };
        w.frameGeometry = {
            x: pick(f[1], old.x), y: pick(f[2], old.y),
            width: pick(f[3], old.width), height: pick(f[4], old.height)
        };
        ++moved;
    }
    Object.keys(states).forEach(function (id) {
        const s = states[id];
        const w = byId[id];
        if (!s[3])
            w.minimized = false;
        if (s[2] !== null)
            w.setMaximize(s[2] === 1 || s[2] === 3, s[2] === 2 || s[2] === 3);
        w.fullScreen = s[4];
        w.keepAbove = s[5];
        if (s[3])
            w.minimized = true;
    });
    // Before the raises: activating a window raises it too.
    if (active && workspace[activeKey] !== active)
        workspace[activeKey] = active;
    if (typeof workspace.raiseWindow === "function") {
        (request.raise || []).forEach(function (id) {
            if (byId[id] !== undefined)
                workspace.raiseWindow(byId[id]);
        });
    }
    callDBus(tavelorReply.service, tavelorReply.path, "app.tavelor.KWinScriptReply", "deliver",
             tavelorReply.token, String(moved));
})();
