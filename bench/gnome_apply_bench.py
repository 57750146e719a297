#!/usr/bin/python3
"""Apply through the GNOME Shell extension: one batched call for every window
against one call per window (the baseline, measured in the same run), for 20
and 100 native GTK windows. Run inside tests/wayland/gnome-session:

    gnome_apply_bench.py [--runs N]

- call: from sending the request(s) to the last reply;
- settled: from sending to the first listing in which every window has the
  frame the shell reported for it (the clients have caught up).
Medians of N runs each, the two ways alternating, every run to new frames.
"""

import argparse
import json
import os
import statistics
import subprocess
import time

import dbus

NAME, PATH, IFACE = "io.github.tavelor.Shell", "/io/github/tavelor/Shell", "io.github.tavelor.Shell"
WINDOWS = """
import sys, gi
gi.require_version('Gtk', '3.0')
from gi.repository import Gtk
for i in range(int(sys.argv[1])):
    w = Gtk.Window(title=f'bench {i}'); w.set_default_size(200, 150); w.show_all()
Gtk.main()
"""


def listing(shell):
    return {w["id"]: w for w in json.loads(str(shell.ListWindows())) if (w["title"] or "").startswith("bench ")}


def frames_for(ids, run):
    # New frames each run, all on-screen below the top bar, so the shell takes them as asked.
    return [(dbus.UInt64(int(i)), 40 + (k * 37 + run * 11) % 1500, 60 + (k * 23 + run * 7) % 700,
             200 + run % 3 * 10, 150 + run % 2 * 10) for k, i in enumerate(ids)]


def apply(shell, frames, batched):
    start = time.perf_counter()
    if batched:
        replies = list(shell.ApplyFrames(frames, signature="a(tiiii)"))
    else:
        replies = [shell.ApplyFrames([f], signature="a(tiiii)")[0] for f in frames]
    called = time.perf_counter()
    asked = {str(int(f[0])): [int(v) for v in f[1:]] for f in frames}
    deadline = start + 5
    while any(listing(shell)[i]["frame"] != f for i, f in asked.items()):
        if time.perf_counter() > deadline:
            now = listing(shell)
            bad = [(f, now[i]["frame"]) for i, f in asked.items() if now[i]["frame"] != f]
            raise SystemExit(f"not settled after 5 s: {len(bad)} windows, e.g. {bad[:3]}; replies {replies[:2]}")
        time.sleep(0.002)
    return (called - start) * 1000, (time.perf_counter() - start) * 1000


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=7)
    args = parser.parse_args()
    shell = dbus.Interface(dbus.SessionBus().get_object(NAME, PATH), IFACE)
    for count in (20, 100):
        env = dict(os.environ, GDK_BACKEND="wayland")
        windows = subprocess.Popen(["/usr/bin/python3", "-c", WINDOWS, str(count)], env=env)
        while sum(1 for w in listing(shell).values() if w["frame"][2] > 0) < count:
            time.sleep(0.05)
        ids = sorted(listing(shell))
        results = {True: [], False: []}
        for run in range(args.runs * 2):
            batched = run % 2 == 0
            results[batched].append(apply(shell, frames_for(ids, run), batched))
        for batched, label in ((True, "one batched call"), (False, "one call per window")):
            calls = statistics.median(r[0] for r in results[batched])
            settled = statistics.median(r[1] for r in results[batched])
            print(f"{count:4d} windows, {label:20s}: call {calls:7.1f} ms, settled {settled:7.1f} ms")
        windows.terminate()
        windows.wait()
        while listing(shell):
            time.sleep(0.05)


if __name__ == "__main__":
    main()
