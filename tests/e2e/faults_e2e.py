#!/usr/bin/python3
"""Faults a long-running build/tavelor meets on a real desktop, each survived as a
user would want: the X server going away, the window manager killed and
restarted, windows made and destroyed in a tight loop under the shortcut, a full
disk, and hostile windows while the menu is used.

Run inside tests/desktop/test-desktop --tray; each test class is its own CTest
entry (tests/e2e/CMakeLists.txt), so a test that kills the window manager or
mounts a file system leaves nothing behind for the next.

Environment: TAVELOR_EXE, TAVELOR_FIXTURE_CLIENT (tests/x11/fixtures),
TAVELOR_E2E_OUT; FullDiskTest needs TAVELOR_TEST_PRIVATE_MOUNTS=1 (a
private mount namespace, from unshare -m).
"""

import os
import select
import signal
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import tray_steps  # noqa: E402
import xdesktop  # noqa: E402
from panel import spin, wait_until  # noqa: E402
from tavelor_process import SHORTCUT_KEYS, profile, snapshot  # noqa: E402
from tray_e2e import OUT, TrayTestCase  # noqa: E402

FIXTURE = os.environ.get("TAVELOR_FIXTURE_CLIENT", "build/tests/x11/tavelor_fixture_client")

# What Qt's xcb plugin and libxcb print when a request fails.
X_ERROR_MARKS = ("X Error", "XCB error", "xcb error", "X server error", "BadWindow", "BadMatch")


def stderr_lines(text):
    return [line for line in text.splitlines() if line.strip()]


def process_gone(pid):
    """Ended, reaped or not (its parent is the test desktop's script)."""
    try:
        with open(f"/proc/{pid}/stat", encoding="utf-8") as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] == "Z"
    except FileNotFoundError:
        return True


class Fixture:
    """tests/x11/fixtures' client: windows with the properties asked for."""

    def __init__(self, *args):
        self.process = subprocess.Popen([FIXTURE, *args], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                        text=True)
        self.windows = []
        while True:
            line = self.process.stdout.readline()
            if not line:
                raise RuntimeError(f"fixture client ended: {self.process.stderr.read()}")
            if line.strip() == "ready":
                break
            self.windows.append(int(line, 16))

    def count(self):
        """With --bells: the bells rung since it started."""
        self.process.stdin.write("bells\n")
        self.process.stdin.flush()
        return int(self.process.stdout.readline().split()[-1])

    def quit(self):
        """Ends the client; answers what it printed on the way out."""
        if self.process.poll() is not None:
            return ""
        out, _ = self.process.communicate("quit\n", timeout=30)
        return out


class FaultTestCase(TrayTestCase):
    """As the tray tests, with clean-ups run in reverse before theirs."""

    def setUp(self):
        super().setUp()
        self.out = os.path.join(OUT, "faults", self.id().rsplit(".", 1)[-1])
        os.makedirs(self.out, exist_ok=True)
        self.cleanups = []

    def tearDown(self):
        for cleanup in reversed(self.cleanups):
            cleanup()
        super().tearDown()

    def xterm(self, title, **kwargs):
        return self.client(xdesktop.xterm, title, **kwargs)

    def fixture(self, *args):
        client = Fixture(*args)
        self.cleanups.append(client.quit)
        return client


class XServerGoneTest(FaultTestCase):
    """The X server Tavelor runs on is killed: one line, a non-zero exit,
    no signal (so no core dump), the profiles file as it was."""

    def start_xvfb(self):
        read_end, write_end = os.pipe()
        server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                   "1024x768x24", "-nolisten", "tcp", "-noreset"],
                                  pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        os.close(write_end)
        self.cleanups.append(lambda: (server.kill(), server.wait()))
        text = b""
        deadline = time.monotonic() + 20
        while not text.endswith(b"\n") and time.monotonic() < deadline:
            ready, _, _ = select.select([read_end], [], [], 1)
            if ready:
                chunk = os.read(read_end, 64)
                if not chunk:
                    break
                text += chunk
        os.close(read_end)
        self.assertTrue(text.endswith(b"\n"), f"Xvfb did not start ({text!r})")
        display = f":{text.decode().strip()}"
        wait_until(lambda: subprocess.run(["xdpyinfo", "-display", display],
                                          capture_output=True).returncode == 0,
                   10, f"Xvfb on {display} to answer")
        return server, display

    def run_and_kill_server(self, while_running=None, qt_platform=None):
        server, display = self.start_xvfb()
        self.home.write_profiles([profile("Kept", [snapshot("XTerm", "t", 10, 20, 300, 200)],
                                          active=True)])
        with open(self.home.profiles_file, "rb") as saved:
            before = saved.read()
        environment = self.home.environment()
        environment["DISPLAY"] = display
        if qt_platform:
            environment["QT_QPA_PLATFORM"] = qt_platform
        self.home.environment = lambda lang=None: environment
        program = self.start()
        if qt_platform:
            spin(1.5)
        else:
            menu = self.panel.wait_for_item(program.pid).menu()
            layout = menu.wait_for(lambda l: l.find("Save Layout..."),
                                   what="the menu to be filled")
            if while_running:
                while_running(menu, layout)
            spin(0.3)
        self.assertTrue(program.running(), program.stderr())
        lines_before = stderr_lines(program.stderr())

        server.send_signal(signal.SIGKILL)
        status = program.wait(30)
        lines = stderr_lines(program.stderr())[len(lines_before):]

        self.assertGreater(status, 0, f"an exit status, not a signal; stderr: {lines!r}")
        self.assertEqual(len(lines), 1, f"one line on stderr, got {lines!r}")
        self.assertTrue(lines[0].startswith("Tavelor:") and "X server" in lines[0], lines[0])
        with open(self.home.profiles_file, "rb") as kept:
            self.assertEqual(kept.read(), before)

    def test_idle(self):
        self.run_and_kill_server()
        # The lock of the copy that ended so abruptly does not keep the next out.
        del self.home.environment
        self.panel.wait_for_item(self.start().pid)

    def test_with_the_save_dialog_open(self):
        # The dialog runs its own event loop, with a window on the dying server.
        def open_dialog(menu, layout):
            menu.click(layout.find("Save Layout..."))
            spin(1.0)

        self.run_and_kill_server(open_dialog)

    def test_no_server_at_start(self):
        # As at a login whose X server is not up (yet, or any more).
        environment = self.home.environment()
        environment["DISPLAY"] = ":65000"
        self.home.environment = lambda lang=None: environment
        program = self.start()
        status = program.wait(30)
        lines = stderr_lines(program.stderr())
        self.assertGreater(status, 0, f"an exit status, not a signal; stderr: {lines!r}")
        self.assertEqual(len(lines), 1, f"one line on stderr, got {lines!r}")
        self.assertTrue(lines[0].startswith("Tavelor:"), lines[0])

    def test_toolkit_not_on_that_server(self):
        # As in a Wayland session, where the toolkit talks to the compositor and
        # only Tavelor's own connection goes to XWayland: nothing else notices.
        self.run_and_kill_server(qt_platform="offscreen")


class WindowManagerRestartTest(FaultTestCase):
    """openbox killed: menu commands say so in an alert and save nothing, the
    shortcut moves nothing; openbox back: the same process saves and applies."""

    def test_gate_closes_and_reopens(self):
        wm_pid = int(os.environ["TAVELOR_TEST_WM_PID"])
        term = self.xterm("faults-wm-term", x=60, y=80)
        home_frame = xdesktop.settle(term)[0]
        self.home.write_shortcut()
        program, menu, layout = self.start_with_menu()
        layout = tray_steps.save_layout(menu, layout, program.pid, "Before")
        layout = tray_steps.set_active(menu, layout, "Before")
        saved = self.home.read_profiles()

        os.kill(wm_pid, signal.SIGKILL)
        wait_until(lambda: process_gone(wm_pid), 5, "openbox to die")
        spin(0.3)

        # "Save Layout..." shows the permission alert, not the name dialog: a
        # name typed into it goes nowhere.
        menu.click(layout.find("Save Layout..."))
        alert = wait_until(lambda: (xdesktop.windows_of(program.pid) or [None])[-1], 10,
                           "the permission alert")
        xdesktop.run("xdotool", "windowfocus", "--sync", str(alert), check=False)
        xdesktop.type_text("Ghost")
        xdesktop.key("Return")
        wait_until(lambda: not xdesktop.windows_of(program.pid), 5, "the alert to close")
        spin(0.5)
        self.assertIsNone(menu.layout().find("Ghost"))
        self.assertEqual(self.home.read_profiles(), saved)

        # The shortcut beeps and moves nothing while the gate is shut.
        xdesktop.run("xdotool", "windowmove", str(term.window), "500", "400")
        moved = wait_until(lambda: term.frame() if term.frame().x != home_frame.x else None, 5,
                           "the xterm to move")
        bells = self.fixture("--bells")
        rung = bells.count()
        xdesktop.key(SHORTCUT_KEYS)
        wait_until(lambda: bells.count() > rung, 5, "a beep")
        spin(0.5)
        self.assertEqual(term.frame(), moved)
        self.assertEqual(bells.count(), rung + 1)
        self.assertTrue(program.running())

        wm = subprocess.Popen(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
        self.cleanups.append(lambda: (wm.terminate(), wm.wait()))
        # The old frame extents stay on the window; the new openbox is there
        # once its check window answers.
        wait_until(lambda: subprocess.run(["wmctrl", "-m"], capture_output=True).returncode == 0,
                   15, "the new openbox")
        spin(0.5)
        xdesktop.settle(term)

        # Same process: the shortcut applies, and a new save scans the windows.
        xdesktop.key(SHORTCUT_KEYS)
        wait_until(lambda: xdesktop.frames_match(term.frame(), home_frame, term.increments()),
                   10, f"the xterm back at {home_frame} (is at {term.frame()})")
        layout = tray_steps.save_layout(menu, menu.layout(), program.pid, "After")
        after = next(p for p in self.home.read_profiles() if p["name"] == "After")
        self.assertIn("faults-wm-term", [s.get("windowTitle") for s in after["snapshots"]])
        self.assertTrue(program.running())


class ChurnTest(FaultTestCase):
    """Windows made and destroyed as fast as the server takes them while the
    shortcut applies a profile naming them, again and again."""

    def test_thousands_of_windows_under_the_shortcut(self):
        term = self.xterm("faults-churn-term", x=40, y=60)
        home_frame = xdesktop.settle(term)[0]
        self.home.write_shortcut()
        program, menu, layout = self.start_with_menu()
        # Saved with windows of the churning kind on screen, so that every
        # apply looks for windows that come and go under it.
        still = self.fixture("--window", "--count=4", "--class=churn,Churn", "--title=churn %d",
                             "--geometry=120x80+600+400")
        layout = tray_steps.save_layout(menu, layout, program.pid, "Churning")
        tray_steps.set_active(menu, layout, "Churning")
        still.quit()

        churn = self.fixture("--fast-churn", "--window", "--count=4", "--class=churn,Churn",
                             "--title=churn %d", "--geometry=120x80+600+400")
        deadline = time.monotonic() + 20
        presses = 0
        # A number of presses, not a time: a loaded machine presses slower.
        while time.monotonic() < deadline or presses < 100:
            xdesktop.key(SHORTCUT_KEYS)
            presses += 1
            spin(0.05)
        cycles = int(churn.quit().split()[-1])

        self.assertTrue(program.running(), program.stderr())
        self.assertGreaterEqual(cycles, 1000, "thousands of windows made and destroyed")
        errors = [line for line in stderr_lines(program.stderr())
                  if any(mark in line for mark in X_ERROR_MARKS)]
        self.assertEqual(errors, [])
        self.assertIsNotNone(menu.layout().find("Churning"))
        # And the shortcut still does its work.
        xdesktop.run("xdotool", "windowmove", str(term.window), "600", "300")
        wait_until(lambda: term.frame().x != home_frame.x, 5, "the xterm to move")
        xdesktop.key(SHORTCUT_KEYS)
        wait_until(lambda: xdesktop.frames_match(term.frame(), home_frame, term.increments()),
                   10, "the xterm back")
        print(f"{cycles} churn cycles, {presses} shortcut presses", file=sys.stderr)


class FullDiskTest(FaultTestCase):
    """XDG_DATA_HOME on a tiny tmpfs, filled up or made read-only: a save fails,
    the old file stays byte for byte, and no temporary file is left beside it."""

    def mount_data_folder(self):
        if not os.environ.get("TAVELOR_TEST_PRIVATE_MOUNTS"):
            self.skipTest("needs a private mount namespace (unshare -m)")
        subprocess.run(["mount", "-t", "tmpfs", "-o", "size=256k,mode=0700", "tavelor-full",
                        self.home.data], check=True)
        self.cleanups.append(lambda: subprocess.run(["umount", "-l", self.home.data]))
        self.home.write_profiles([profile("Old", [snapshot("XTerm", "old window")])])
        with open(self.home.profiles_file, "rb") as saved:
            return saved.read()

    def test_save_on_a_full_disk(self):
        before = self.mount_data_folder()
        # Fill every block left.
        filler = os.open(os.path.join(self.home.data, "filler"), os.O_WRONLY | os.O_CREAT)
        try:
            while os.write(filler, b"x" * 4096):
                pass
        except OSError:
            pass
        finally:
            os.close(filler)
        self.save_fails_and_leaves(before)

    def test_save_into_a_folder_that_cannot_be_written(self):
        # The tests run as root, whom mode bits do not stop: a read-only mount does.
        before = self.mount_data_folder()
        program = self.start()
        self.panel.wait_for_item(program.pid)
        subprocess.run(["mount", "-o", "remount,ro", self.home.data], check=True)
        self.save_fails_and_leaves(before, program)

    def save_fails_and_leaves(self, before, program=None):
        self.xterm("faults-disk-term", x=40, y=60)
        if program is None:
            program = self.start()
        menu = self.panel.wait_for_item(program.pid).menu()
        layout = menu.wait_for(lambda l: l.find("Save Layout..."), what="the menu to be filled")
        menu.click(layout.find("Save Layout..."))
        dialog = wait_until(lambda: (xdesktop.windows_of(program.pid) or [None])[-1], 10,
                            "the save dialog")
        xdesktop.activate(dialog)
        xdesktop.type_text("Too big")
        xdesktop.key("Return")
        wait_until(lambda: not xdesktop.windows_of(program.pid), 5, "the dialog to close")
        spin(0.5)
        self.assertTrue(program.running())
        # The menu is rebuilt from the file, which is as it was.
        layout = menu.layout()
        self.assertIsNotNone(layout.find("Old"))
        self.assertIsNone(layout.find("Too big"))
        with open(self.home.profiles_file, "rb") as kept:
            self.assertEqual(kept.read(), before)
        self.assertEqual(sorted(os.listdir(self.home.profiles_folder)), ["profiles.json"])


class HostileWindowsTest(FaultTestCase):
    """Windows no sane client makes, on screen while the menu is read and
    "Save Layout..." is used: the menu keeps answering (how fast is for
    bench/tray_bench.py)."""

    def test_menu_answers_and_saves(self):
        term = self.xterm("faults-hostile-term", x=40, y=60)
        program, menu, layout = self.start_with_menu()
        self.fixture("--window", "--title-bytes=4000000", "--class=huge,Huge",
                     "--window", "--title-hex=fffec328e282eda080", "--class=bad,Bad",
                     "--window", f"--pid={program.pid}", "--title=claims tavelor",
                     "--class=liar,Liar",
                     "--window", f"--pid={term.process.pid}", "--title=claims xterm",
                     "--class=liar2,Liar2",
                     "--window", "--title=long class", f"--class=long,{'L' * 120000}")
        self.fixture("--retitle-hz=1000", "--window", "--title=retitled", "--class=fast,Fast")

        for _ in range(20):
            self.assertIsNotNone(menu.layout().find("Save Layout..."))
            spin(0.05)

        # A window claims Tavelor's pid, so the dialog is the window that is new.
        others = set(xdesktop.windows_of(program.pid))
        menu.click(menu.layout().find("Save Layout..."))
        dialog = wait_until(lambda: next((w for w in xdesktop.windows_of(program.pid)
                                          if w not in others), None), 10, "the save dialog")
        xdesktop.activate(dialog)
        xdesktop.type_text("Hostile")
        xdesktop.key("Return")
        menu.wait_for(lambda l: l.find("Hostile"), what="the profile in the menu")
        saved = next(p for p in self.home.read_profiles() if p["name"] == "Hostile")
        titles = [s.get("windowTitle") or "" for s in saved["snapshots"]]
        self.assertIn("faults-hostile-term", titles)
        self.assertIn("claims xterm", titles)
        self.assertIsNotNone(menu.layout().find("Hostile"))
        self.assertTrue(program.running())


if __name__ == "__main__":
    unittest.main(verbosity=2)
