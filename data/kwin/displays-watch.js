// Stays loaded and calls Tavelor back each time an output is added, removed,
// moved or rescaled. KWin sends these signals once it has moved the windows of
// a removed output (5.27's numberScreensChanged comes just before, its
// virtualScreenGeometryChanged just after), so the last call of a change
// comes when KWin's own rearranging is done.
(function () {
    const notify = function () {
        callDBus(request.service, request.path, "app.tavelor.KWinDisplays", "outputsChanged");
    };
    const watched = [];
    const watchOutputs = function () {
        const outputs = workspace.screens || [];
        for (let i = 0; i < outputs.length; ++i) {
            if (watched.indexOf(outputs[i]) >= 0)
                continue;
            watched.push(outputs[i]);
            outputs[i].geometryChanged.connect(notify);
        }
    };
    ["screensChanged", "numberScreensChanged", "screenResized", "virtualScreenGeometryChanged"]
        .forEach(function (name) {
            const signal = workspace[name];
            if (signal && typeof signal.connect === "function")
                signal.connect(notify);
        });
    if (workspace.screens) {
        watchOutputs();
        workspace.screensChanged.connect(watchOutputs);
    }
})();
