// Stays loaded and calls Tavelor back each time the outputs change: one is
// added, removed, moved or rescaled (KWin 6: screensChanged, 5.27:
// numberScreensChanged and screenResized; both: virtualScreenGeometryChanged).
// A change brings a few calls. KWin moves the windows of an output that went
// before its last signal (5.27's numberScreensChanged comes just before the
// moves, virtualScreenGeometryChanged just after), so the last call of a
// change comes when KWin's own rearranging is done.
(function () {
    const notify = function () {
        callDBus(request.service, request.path, "app.tavelor.KWinDisplays", "outputsChanged");
    };
    ["screensChanged", "numberScreensChanged", "screenResized", "virtualScreenGeometryChanged"]
        .forEach(function (name) {
            const signal = workspace[name];
            if (signal && typeof signal.connect === "function")
                signal.connect(notify);
        });
})();
