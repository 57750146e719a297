#!/usr/bin/python3
"""Start-up, idle CPU and memory of the tray program against a minimal Qt tray
program, measured in the same run on the same test desktop.

Run inside tests/desktop/test-desktop --tray (scripts/bench does):

    tray_bench.py PROGRAM BASELINE [--runs N] [--idle SECONDS] [--profiles FILE]

- start-up: from spawning the process to the watcher's StatusNotifierItemRegistered
  for it (median and spread of N alternating runs);
- idle: user+system CPU time (/proc/PID/stat utime+stime) and context switches
  (voluntary+involuntary, /proc/PID/status) over SECONDS of idling once the item
  is registered: a program with timers or polling wakes up and shows here;
- memory: resident size (VmRSS) after the idle period, and the ratio; then again
  once a first window has been shown and closed (Tavelor's "Save Layout..."
  dialog, the baseline's own input dialog with --dialog): the first window loads
  fonts, HarfBuzz and FreeType, which a tray icon alone never needs.

- with a profiles file: the menu rebuild as a panel sees it, from the click on
  "Set as Active" (or "Deactivate") to a GetLayout that shows the change.

--profiles copies FILE in as the program's profiles file first, so the menu it
builds at start holds real content; --generate P,W makes one of P profiles of W
windows.
"""

import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

from panel import Panel, spin, wait_until  # noqa: E402

TICKS = os.sysconf("SC_CLK_TCK")


def cpu_ms(pid):
    with open(f"/proc/{pid}/stat", encoding="ascii") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    # Fields 14 and 15 of the file (utime, stime); the split starts at field 3.
    return (int(fields[11]) + int(fields[12])) * 1000.0 / TICKS


def status(pid):
    values = {}
    with open(f"/proc/{pid}/status", encoding="ascii") as text:
        for line in text:
            key, _, value = line.partition(":")
            values[key] = value.split()[0] if value.split() else ""
    return values


def switches(pid):
    values = status(pid)
    return int(values["voluntary_ctxt_switches"]) + int(values["nonvoluntary_ctxt_switches"])


def rss_kib(pid):
    return int(status(pid)["VmRSS"])


class Run:
    def __init__(self, panel, executable, profiles, args=()):
        self.home = tempfile.mkdtemp(prefix="tavelor-bench-", dir=os.environ.get("HOME"))
        env = dict(os.environ)
        env["XDG_CONFIG_HOME"] = os.path.join(self.home, "config")
        env["XDG_DATA_HOME"] = os.path.join(self.home, "data")
        if profiles:
            folder = os.path.join(env["XDG_DATA_HOME"], "Tavelor")
            os.makedirs(folder, mode=0o700)
            shutil.copyfile(profiles, os.path.join(folder, "profiles.json"))
        seen = len(panel.registrations)
        self.started = time.monotonic()
        self.process = subprocess.Popen([executable, *args], env=env, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        key = wait_until(lambda: self._registered(panel, seen), 30,
                         f"{executable} to register its tray item")
        self.startup_ms = (self.registered_at - self.started) * 1000.0
        self.key = key

    def _registered(self, panel, seen):
        for when, key in panel.registrations[seen:]:
            item = next((i for i in panel.items() if i.key == key), None)
            if item is not None and item.pid() == self.process.pid:
                self.registered_at = when
                return key
        return None

    def stop(self):
        self.process.terminate()
        self.process.wait(10)
        shutil.rmtree(self.home, ignore_errors=True)


def startup_ms(panel, executable, profiles):
    run = Run(panel, executable, profiles)
    run.stop()
    spin(0.2)
    return run.startup_ms


def idle_and_memory(panel, executable, idle, profiles):
    run = Run(panel, executable, profiles)
    # Let start-up work (icon loading, the first menu export) finish first.
    spin(2.0)
    pid = run.process.pid
    cpu_before, switches_before = cpu_ms(pid), switches(pid)
    # Sleep rather than spin: the bench itself should not disturb the idle program.
    time.sleep(idle)
    result = {"idle_cpu_ms": cpu_ms(pid) - cpu_before,
              "idle_switches": switches(pid) - switches_before, "rss_kib": rss_kib(pid)}
    run.stop()
    return result


def memory_after_a_dialog(panel, program, baseline):
    """Resident sizes (KiB) of the program after one save through its dialog, and
    of the baseline after its own dialog."""
    import tray_steps
    run = Run(panel, program, None)
    item = next(i for i in panel.items() if i.key == run.key)
    menu = item.menu()
    layout = menu.wait_for(lambda l: l.find("Save Layout..."), 30, "the menu")
    tray_steps.save_layout(menu, layout, run.process.pid, "Bench")
    spin(2.0)
    sizes = [rss_kib(run.process.pid)]
    run.stop()
    run = Run(panel, baseline, None, ["--dialog"])
    spin(3.0)
    sizes.append(rss_kib(run.process.pid))
    run.stop()
    return sizes


def generate(profile_count, window_count):
    from tavelor_process import profile, snapshot
    profiles = [profile(f"Profile {p}", [snapshot(f"App{w % 7}", f"Window {p}.{w}", 10 * w, 20 * w)
                                         for w in range(window_count)])
                for p in range(profile_count)]
    path = os.path.join(tempfile.mkdtemp(prefix="tavelor-bench-file-", dir=os.environ.get("HOME")), "profiles.json")
    with open(path, "w", encoding="utf-8") as out:
        json.dump(profiles, out, indent=2)
    return path


def exported_rebuild_ms(panel, executable, profiles, rounds=5):
    """From the click on "Set as Active" / "Deactivate" of the first profile to a
    layout read back over D-Bus that shows the rebuilt menu: what a panel waits for."""
    run = Run(panel, executable, profiles)
    try:
        item = next(i for i in panel.items() if i.key == run.key)
        menu = item.menu()
        layout = menu.wait_for(lambda l: l.find("Save Layout..."), 30, "the menu")
        first = next(e.label for e in layout.entries()[2:] if not e.is_separator)
        times = []
        for i in range(rounds):
            choose, then = ("Set as Active", "Deactivate") if i % 2 == 0 else \
                ("Deactivate", "Set as Active")
            node = layout.find(first, choose)
            started = time.monotonic()
            menu.click(node)
            layout = menu.wait_for(lambda l: l.find(first, then), 30, f"{then!r}")
            times.append((time.monotonic() - started) * 1000.0)
        return times
    finally:
        run.stop()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("baseline")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--idle", type=float, default=10.0)
    parser.add_argument("--profiles")
    parser.add_argument("--generate", metavar="PROFILES,WINDOWS",
                        help="make a profiles file of that size for the program")
    parser.add_argument("--report-only", action="store_true",
                        help="print the figures without checking the limits")
    args = parser.parse_args()
    if args.generate:
        args.profiles = generate(*(int(n) for n in args.generate.split(",")))

    panel = Panel()
    # Alternate, so that a slower stretch of the shared machine hits both alike.
    roles = {"program": (args.program, args.profiles), "baseline": (args.baseline, None)}
    results = {role: {"startups": []} for role in roles}
    for _ in range(args.runs):
        for role in ("baseline", "program"):
            results[role]["startups"].append(startup_ms(panel, *roles[role]))
    for role in ("baseline", "program"):
        executable, profiles = roles[role]
        results[role].update(idle_and_memory(panel, executable, args.idle, profiles))

    program, baseline = results["program"], results["baseline"]
    print(f"{'':28}{'tavelor':>14}{'minimal tray':>16}{'ratio':>8}")

    def row(name, a, b, unit, fmt="{:.1f}"):
        ratio = f"{a / b:.2f}" if b else "-"
        print(f"{name:28}{fmt.format(a) + unit:>14}{fmt.format(b) + unit:>16}{ratio:>8}")

    med = statistics.median
    row("start-up to registered", med(program["startups"]), med(baseline["startups"]), " ms")
    print(f"  runs, ms: program {' '.join(f'{v:.0f}' for v in program['startups'])}; "
          f"baseline {' '.join(f'{v:.0f}' for v in baseline['startups'])}")
    row(f"idle CPU over {args.idle:g} s", program["idle_cpu_ms"], baseline["idle_cpu_ms"], " ms")
    row(f"context switches in {args.idle:g} s", program["idle_switches"],
        baseline["idle_switches"], "", "{:.0f}")
    row("resident size", program["rss_kib"] / 1024, baseline["rss_kib"] / 1024, " MiB")
    after_dialog = memory_after_a_dialog(panel, args.program, args.baseline)
    row("  after a first dialog", after_dialog[0] / 1024, after_dialog[1] / 1024, " MiB")

    if args.profiles:
        rebuilds = exported_rebuild_ms(panel, args.program, args.profiles)
        print(f"{'rebuild seen over D-Bus':28}{statistics.median(rebuilds):>11.1f} ms"
              f"   (runs: {' '.join(f'{v:.0f}' for v in rebuilds)})")

    failures = []
    if args.report_only:
        return 0
    if program["idle_cpu_ms"] >= 10:
        failures.append(f"idle CPU {program['idle_cpu_ms']:.1f} ms is not under 10 ms")
    if program["rss_kib"] > 1.2 * baseline["rss_kib"]:
        failures.append("resident size is more than 1.2x the minimal tray program's")
    if after_dialog[0] > 1.2 * after_dialog[1]:
        failures.append("after a first dialog, resident size is more than 1.2x the baseline's")
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
