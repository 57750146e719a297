#!/usr/bin/python3
"""Apply through the GNOME Shell extension: one batched call for all windows against
one call per window (the baseline, in the same run), for 20 and 100 native GTK windows; and
the batched call with each window's state (workspace 0, plain flags, all raised in order).
Inside tests/wayland/gnome-session: gnome_apply_bench.py [--runs N]. "call": sending to
the last reply; "settled": to the first listing with every frame as asked. Medians of
N runs each, the two ways alternating, each run to new on-screen frames."""
import argparse
import json
import os
import statistics
import subprocess
import time

import dbus

WINDOWS = """import sys, gi; gi.require_version('Gtk', '3.0'); from gi.repository import Gtk
for i in range(int(sys.argv[1])): w = Gtk.Window(title=f'bench {i}'); w.set_default_size(200, 150); w.show_all()
Gtk.main()"""
shell = dbus.Interface(dbus.SessionBus().get_object("io.github.tavelor.Shell", "/io/github/tavelor/Shell"),
                       "io.github.tavelor.Shell")


def listing():
    return {w["id"]: w["frame"] for w in json.loads(str(shell.ListWindows())) if (w["title"] or "").startswith("bench ")}


def apply(ids, run, mode):
    frames = [(dbus.UInt64(int(i)), 40 + (k * 37 + run * 11) % 1500, 60 + (k * 23 + run * 7) % 700,
               200 + run % 3 * 10, 150 + run % 2 * 10) for k, i in enumerate(ids)]
    start = time.perf_counter()
    if mode == "state":
        state = {"states": [[i, 0, 0, False, False, False] for i in ids], "raise": ids[run % 2:] + ids[:run % 2]}
        shell.ApplyLayout(frames, json.dumps(state), signature="a(tiiii)s")
    for batch in [frames] if mode == "batched" else [[f] for f in frames] if mode == "per window" else []:
        shell.ApplyFrames(batch, signature="a(tiiii)")
    called = time.perf_counter()
    asked = {str(int(f[0])): [int(v) for v in f[1:]] for f in frames}
    while listing() != asked:
        if time.perf_counter() > called + 5:  # from the last call: per window, the calls alone can take seconds
            raise SystemExit(f"not settled 5 s after the last call: {listing()} != {asked}")
        time.sleep(0.002)
    return (called - start) * 1000, (time.perf_counter() - start) * 1000


parser = argparse.ArgumentParser()
parser.add_argument("--runs", type=int, default=7)
runs = parser.parse_args().runs
for count in (20, 100):
    windows = subprocess.Popen(["/usr/bin/python3", "-c", WINDOWS, str(count)], env=dict(os.environ, GDK_BACKEND="wayland"))
    while sum(1 for f in listing().values() if f[2] > 0) < count:
        time.sleep(0.05)
    # Shown is not yet placed: an apply before the shell's own placement can be undone by it.
    while listing() != (time.sleep(0.5) or listing()):
        pass
    ids = sorted(listing())
    modes = ("batched", "per window", "state")
    results = {mode: [] for mode in modes}
    for run in range(runs * 3):
        results[modes[run % 3]].append(apply(ids, run, modes[run % 3]))
    for mode, label in zip(modes, ("one batched call", "one call per window", "batched with state")):
        calls, settled = (statistics.median(r[i] for r in results[mode]) for i in (0, 1))
        print(f"{count:4d} windows, {label:20s}: call {calls:7.1f} ms, settled {settled:7.1f} ms")
    windows.terminate()
    windows.wait()
    while listing():
        time.sleep(0.05)
