// Lists the outputs KWin places windows on, in its own order and in the
// coordinates of window frames, and sends them back in one call.
// KWin 6 gives Output objects in workspace.screens. 5.27 gives scripts only
// their number and areas; its support information names each one and gives
// its scale, screen by screen in the same order.
(function () {
    const text = function (value) { return value === undefined || value === null ? "" : String(value); };
    const monitors = [];
    if (workspace.screens) {
        for (let i = 0; i < workspace.screens.length; ++i) {
            const output = workspace.screens[i];
            const area = output.geometry;
            monitors.push({
                connector: text(output.name), maker: text(output.manufacturer),
                model: text(output.model), serial: text(output.serialNumber),
                frame: [area.x, area.y, area.width, area.height], scale: output.devicePixelRatio
            });
        }
    } else {
        const blocks = text(workspace.supportInformation()).split(/\nScreen \d+:\n/).slice(1);
        for (let i = 0; i < workspace.numScreens; ++i) {
            const area = workspace.clientArea(KWin.FullScreenArea, i, 0);
            const name = /^Name: (.*)$/m.exec(blocks[i] || "");
            const scale = /^Scale: ([0-9.]+)$/m.exec(blocks[i] || "");
            monitors.push({
                connector: name ? name[1] : "", maker: "", model: "", serial: "",
                frame: [area.x, area.y, area.width, area.height], scale: scale ? Number(scale[1]) : 1
            });
        }
    }
    callDBus(tavelorReply.service, tavelorReply.path, "app.tavelor.KWinScriptReply", "deliver",
             tavelorReply.token, JSON.stringify(monitors));
})();
