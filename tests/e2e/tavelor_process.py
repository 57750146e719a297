"""Starting build/tavelor with private settings, and writing its files as a user's
earlier sessions would have left them."""

import json
import os
import subprocess
import tempfile
import uuid

# The example shortcut, Control+Alt+Shift+L, as Tavelor stores it (key L by
# position; Control, Option, Shift) and as xdotool presses it. No common desktop
# binds it by default, unlike Control+Alt+T (a terminal on GNOME, Ubuntu, Xfce).
HOTKEY_L = 37
CONTROL_OPTION_SHIFT = 0x1000 | 0x0800 | 0x0200
SHORTCUT_KEYS = "ctrl+alt+shift+l"


class Home:
    """Private XDG config and data folders for one program run."""

    def __init__(self, parent=None):
        # Inside a test desktop, its private home goes away with it.
        if parent is None and os.environ.get("TAVELOR_TEST_DESKTOP"):
            parent = os.environ.get("HOME")
        self.root = tempfile.mkdtemp(prefix="tavelor-e2e-", dir=parent)
        self.config = os.path.join(self.root, "config")
        self.data = os.path.join(self.root, "data")
        os.makedirs(self.config)
        os.makedirs(self.data)

    @property
    def profiles_folder(self):
        return os.path.join(self.data, "Tavelor")

    @property
    def profiles_file(self):
        return os.path.join(self.profiles_folder, "profiles.json")

    def write_shortcut(self, key_code=HOTKEY_L, modifiers=CONTROL_OPTION_SHIFT):
        folder = os.path.join(self.config, "Tavelor")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "Tavelor.conf"), "w", encoding="utf-8") as conf:
            conf.write(f"[General]\nhotKeyKeyCode={key_code}\nhotKeyModifiers={modifiers}\n")

    def write_profiles(self, profiles):
        os.makedirs(self.profiles_folder, mode=0o700, exist_ok=True)
        with open(self.profiles_file, "w", encoding="utf-8") as out:
            json.dump(profiles, out, indent=2, ensure_ascii=False)
        os.chmod(self.profiles_file, 0o600)

    def read_profiles(self):
        with open(self.profiles_file, encoding="utf-8") as source:
            return json.load(source)

    def environment(self, lang="C.UTF-8"):
        """The test desktop's environment with these folders, and the locale
        `lang` alone deciding the language, whatever the caller's is."""
        env = dict(os.environ)
        env["XDG_CONFIG_HOME"] = self.config
        env["XDG_DATA_HOME"] = self.data
        for name in ("LANGUAGE", "LC_ALL", "LC_MESSAGES"):
            env.pop(name, None)
        env["LANG"] = lang
        return env


def profile(name, snapshots=(), active=False):
    return {
        "id": str(uuid.uuid4()).upper(),
        "name": name,
        "snapshots": list(snapshots),
        "isActive": active,
        "createdAt": 790162200.25,
        "updatedAt": 791834712.5,
    }


def snapshot(app, title, x=0, y=0, width=640, height=480, bundle=None):
    entry = {"bundleIdentifier": bundle or f"org.example.{app.lower()}", "appName": app,
             "windowTitle": title, "frame": {"x": x, "y": y, "width": width, "height": height}}
    return entry


class Tavelor:
    """One run of the program; its stderr is kept in a file for the assertions."""

    def __init__(self, executable, home, log_folder, name="tavelor", lang="C.UTF-8"):
        self.stderr_path = os.path.join(log_folder, f"{name}.stderr")
        os.makedirs(log_folder, exist_ok=True)
        self._stderr = open(self.stderr_path, "w+", encoding="utf-8")
        self.process = subprocess.Popen([executable], env=home.environment(lang),
                                        stdout=subprocess.DEVNULL, stderr=self._stderr)
        self.pid = self.process.pid

    def stderr(self):
        with open(self.stderr_path, encoding="utf-8", errors="replace") as text:
            return text.read()

    def running(self):
        return self.process.poll() is None

    def wait(self, timeout):
        return self.process.wait(timeout)

    def stop(self):
        if self.running():
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self._stderr.close()
