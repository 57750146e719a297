#!/usr/bin/python3
"""Docking with 20 windows: how long Tavelor takes to put them back after the monitors
change, against how long the window manager itself takes to rearrange them after the
same kind of change, in the same run. Inside tests/desktop/test-desktop --tray [--wm W]:

    dock_bench.py TAVELOR FIXTURE_CLIENT [--runs N]

Xvfb's RandR monitors: "left" and "right" side by side, undocked is "left" alone. A
profile of 20 windows on the right monitor is saved and marked to follow its monitors.
Each run undocks (the window manager's own rearranging, if any, timed from the change
to its last move), moves every window onto the left monitor, then docks and times
from the change to the first and to the last window placed back. Frames are read
with one `xwininfo -root -tree` every few milliseconds."""

import argparse
import os
import re
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

import tray_steps  # noqa: E402
from panel import Panel, spin  # noqa: E402
from tavelor_process import Home, Tavelor  # noqa: E402

COUNT = 20
ENTRY = re.compile(r'"(bench \d+)":.*?(\d+)x(\d+)[+-]\d+[+-]\d+\s+\+?(-?\d+)\+?(-?\d+)')


def frames():
    tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
    return {m[1]: (int(m[4]), int(m[5])) for m in ENTRY.finditer(tree)}


def xrandr(*args):
    subprocess.run(["xrandr", *args], check=True, capture_output=True)


def watch(start, before, done, seconds):
    """The times from `start` of the first and the last change from the frames
    `before`, and the frames: until done(frames) holds, or without `done` until they
    have stayed the same for 0.5 s, or until `seconds` have passed."""
    first, latest = None, None
    while (now := time.perf_counter()) - start < seconds:
        if done is None and now - start - (latest or 0) > 0.5:
            break
        if (current := frames()) != before:
            latest = time.perf_counter() - start
            first, before = first if first is not None else latest, current
            if done and done(current):
                break
        time.sleep(0.003)
    return first, latest, before


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("tavelor")
    parser.add_argument("fixture")
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()

    xrandr("--setmonitor", "left", "640/0x800/0+0+0", "screen")
    xrandr("--setmonitor", "right", "640/0x800/0+640+0", "none")
    windows = []
    for i in range(COUNT):
        windows += ["--window", f"--title=bench {i}",
                    f"--geometry=200x120+{660 + i % 4 * 100}+{20 + i // 4 * 150}"]
    client = subprocess.Popen([args.fixture, *windows], stdin=subprocess.PIPE,
                              stdout=subprocess.PIPE, text=True)
    ids = [int(client.stdout.readline(), 16) for _ in range(COUNT)]
    assert client.stdout.readline().strip() == "ready"
    spin(1)
    saved = frames()

    panel, home = Panel(), Home()
    program = Tavelor(args.tavelor, home, home.root)
    menu, layout = panel.wait_for_menu(program.pid)
    layout = tray_steps.save_layout(menu, layout, program.pid, "Desk")
    menu.click(layout.find("Desk", "Apply When These Displays Connect"))
    menu.wait_for(lambda l: l.find("Desk", "Apply When These Displays Connect").checked)

    wm, first, last = [], [], []
    for run in range(args.runs):
        before, start = frames(), time.perf_counter()
        xrandr("--delmonitor", "right")
        wm.append(watch(start, before, None, 3)[1])
        for i, window in enumerate(ids):
            subprocess.run(["wmctrl", "-i", "-r", hex(window), "-e",
                            f"0,{20 + i * 15 + run},{20 + i * 20},-1,-1"], check=True)
        spin(1.5)  # past the quiet time: the undocked setup has settled
        before, start = frames(), time.perf_counter()
        xrandr("--setmonitor", "right", "640/0x800/0+640+0", "none")
        begin, end, now = watch(start, before, lambda f: f == saved, 10)
        if now != saved:
            raise SystemExit(f"run {run}: not back: {now} != {saved}")
        first.append(begin * 1000)
        last.append(end * 1000)
        spin(1.5)

    def median(values):
        return f"{statistics.median(values):7.0f} ms (min {min(values):.0f}, max {max(values):.0f})"

    moves = [m * 1000 for m in wm if m is not None]
    print(f"window manager {os.environ.get('TAVELOR_TEST_WM')}, {COUNT} windows, {args.runs} runs")
    print("undock, the window manager's own rearranging, change to its last move: " +
          (median(moves) + f", moved in {len(moves)} of {args.runs} runs" if moves
           else "it moved nothing"))
    print(f"dock, change to Tavelor's first window placed: {median(first)}")
    print(f"dock, change to Tavelor's last window placed:  {median(last)}")
    print("dock, first to last placed (the apply itself): " +
          median([b - a for a, b in zip(first, last)]))
    program.stop()
    client.communicate("quit\n", timeout=30)


main()
