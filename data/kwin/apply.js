// Sets the frames of request.frames ([id, x, y, width, height] each, null for
// a part to keep) in one pass and answers how many windows were still there.
(function () {
    const windows = typeof workspace.windowList === "function"
        ? workspace.windowList() : workspace.clientList();
    const byId = {};
    for (let i = 0; i < windows.length; ++i)
        byId[String(windows[i].internalId)] = windows[i];
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
    callDBus(tavelorReply.service, tavelorReply.path, "app.tavelor.KWinScriptReply", "deliver",
             tavelorReply.token, String(moved));
})();
