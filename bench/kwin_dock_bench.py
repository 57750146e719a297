#!/usr/bin/python3
"""A dock cycle with 20 native windows, ten on each of two outputs, on KWin: the time from the
outputs settling (KWin's last output signal) to the last window Tavelor placed, split into the
settling wait and the apply, against the time KWin itself took to rearrange the windows after the
same change (first output signal to its last move), in the same run. Times are KWin's own clock,
taken by a script left loaded in KWin. Each run: the user rearranges, the second output goes, and
comes back (KWin puts back the rearranged layout, then Tavelor the marked profile's).
  KWIN_OUTPUTS=2 tests/wayland/kwin-session [--debian13] -- /usr/bin/python3 bench/kwin_dock_bench.py
      build/tavelor build/tests/wayland/tavelor_qt_window [--runs N]"""
import argparse
import json
import os
import statistics
import subprocess
import sys

import dbus.service

here = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [os.path.join(here, "..", "tests", "e2e"), os.path.join(here, "..", "tests", "wayland")]
from panel import Panel, spin, wait_until  # noqa: E402
from tavelor_process import Home, Tavelor, profile, snapshot  # noqa: E402
from kwin_e2e import KWin  # noqa: E402

COUNT = 20
WATCH = """const all = workspace.windowList ? workspace.windowList() : workspace.clientList();
const events = (name) => callDBus('%s', '/kwinbench', 'app.tavelor.KWinBench', 'Event', name, Date.now());
['screensChanged', 'numberScreensChanged', 'virtualScreenGeometryChanged'].forEach(s => {
    if (workspace[s]) workspace[s].connect(() => events('output')); });
all.forEach(w => { if (w.caption.startsWith('bench ')) w.frameGeometryChanged.connect(() => events('move')); });"""


class Events(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/kwinbench")
        self.seen = []

    @dbus.service.method("app.tavelor.KWinBench", in_signature="sd")
    def Event(self, kind, at):  # noqa: N802
        self.seen.append((float(at), str(kind)))


def layout(shift):  # title -> frame: windows 1, 3, ... on the first output, 2, 4, ... on the second
    return {f"bench {k + 1}": [k % 2 * 1920 + 60 + k // 2 * 90 + shift, 60 + k // 2 * 50 + shift, 400, 300]
            for k in range(COUNT)}


def outputs(change):
    subprocess.run(["kscreen-doctor", change], check=True, capture_output=True)


parser = argparse.ArgumentParser()
parser.add_argument("tavelor")
parser.add_argument("qt_window")
parser.add_argument("--runs", type=int, default=5)
options = parser.parse_args()
panel = Panel()
kwin, events = KWin(panel.bus), Events(panel.bus)
windows = subprocess.Popen([options.qt_window, "bench", str(COUNT)], env=dict(os.environ, QT_QPA_PLATFORM="wayland"))
frames = lambda: {w[0]: w[2:] for w in kwin.windows() if w[0].startswith("bench ")}  # noqa: E731
place = lambda at: kwin.run("const at = %s; all.forEach(w => { const f = at[w.caption]; if (f) w.frameGeometry = "  # noqa: E731
                            "{x: f[0], y: f[1], width: f[2], height: f[3]}; }); answer(0);" % json.dumps(at))
wait_until(lambda: len(frames()) == COUNT, 30, "the windows")
saved = layout(0)
home = Home()
home.write_profiles([{**profile("docked", [snapshot("QtNative", t, *f, bundle="org.tavelor.QtNative")
                                           for t, f in saved.items()]),
                      "displays": [{"connector": f"Virtual-{i}", "x": 1920 * i, "y": 0, "width": 1920, "height": 1080,
                                    "scale": 1} for i in (0, 1)], "applyOnDisplayConnect": True}])
program = Tavelor(options.tavelor, home, home.root)
panel.wait_for_item(program.pid)
place(saved)
wait_until(lambda: frames() == saved, 10, "the saved layout")
with open(os.path.join(os.environ["XDG_RUNTIME_DIR"], "bench-watch.js"), "w", encoding="utf-8") as script:
    script.write(WATCH % panel.bus.get_unique_name())  # left loaded: kwin.run() unloads its scripts
kwin.scripting.loadScript(script.name, "tavelor-bench-watch", signature="ss")
kwin.scripting.start()
rows = []
for run in range(options.runs):
    place(layout(40 + run % 2 * 20))  # the user's own layout, which KWin keeps for the output
    spin(1.5)
    for change in ("disable", "enable"):
        events.seen.clear()
        outputs(f"output.Virtual-1.{change}")
        wait_until(lambda: change == "disable" or frames() == saved, 15, "the saved layout")
        spin(3)  # Tavelor settles on the new outputs
        signals = [t for t, kind in events.seen if kind == "output"]
        moves = [t for t, kind in events.seen if kind == "move"]
        kwin_moves = [t for t in moves if t <= signals[-1] + 50]  # Tavelor waits far longer than that
        ours = [t for t in moves if t > signals[-1] + 50]
        rows.append((change, max(kwin_moves, default=signals[0]) - signals[0], len(kwin_moves),
                     ours[0] - signals[-1] if ours else None, ours[-1] - ours[0] if ours else None, len(ours)))
        print("%-8s KWin %4.0f ms (%2d moves)   settling wait %s   apply %s (%d moves)" % (
            change, rows[-1][1], rows[-1][2], "%4.0f ms" % rows[-1][3] if ours else "   -   ",
            "%3.0f ms" % rows[-1][4] if ours else "  -   ", rows[-1][5]), flush=True)
for change in ("disable", "enable"):
    mine = [r for r in rows if r[0] == change]
    median = lambda i: statistics.median(r[i] for r in mine) if all(r[i] is not None for r in mine) else None  # noqa: E731
    print(f"median {change}: KWin {median(1)} ms; settling wait {median(3)} ms; apply {median(4)} ms")
program.stop()
windows.terminate()
