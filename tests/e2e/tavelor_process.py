"""Starting build/tavelor with private settings, and writing its files as a user's
earlier sessions would have left them."""
import json
import os
import subprocess
import tempfile
import uuid
from pathlib import Path

# Control+Alt+Shift+L as Tavelor stores it (key L by position; Control, Option,
# Shift) and as xdotool presses it: no common desktop binds it by default.
SHORTCUT_KEYS = "ctrl+alt+shift+l"

class Home:
    """Private XDG config and data folders for one program run; `overrides` go
    into its environment."""
    def __init__(self):  # inside a test desktop, in its private home, which goes away with it
        inside = os.environ.get("TAVELOR_TEST_DESKTOP")
        self.root = tempfile.mkdtemp(prefix="tavelor-e2e-", dir=os.environ["HOME"] if inside else None)
        self.config, self.data, self.overrides = os.path.join(self.root, "config"), os.path.join(self.root, "data"), {}
        self.profiles_folder = os.path.join(self.data, "Tavelor")
        self.profiles_file = os.path.join(self.profiles_folder, "profiles.json")
        self.settings_file = os.path.join(self.config, "Tavelor", "Tavelor.conf")
        os.makedirs(os.path.dirname(self.settings_file))
        os.makedirs(self.data)
    def write_shortcut(self, key_code=37, modifiers=0x1000 | 0x0800 | 0x0200):
        Path(self.settings_file).write_text(f"[General]\nhotKeyKeyCode={key_code}\nhotKeyModifiers={modifiers}\n")
    def write_profiles(self, profiles):
        os.makedirs(self.profiles_folder, mode=0o700, exist_ok=True)
        Path(self.profiles_file).write_text(json.dumps(profiles, indent=2, ensure_ascii=False), encoding="utf-8")
        os.chmod(self.profiles_file, 0o600)
    def read_profiles(self):
        return json.loads(Path(self.profiles_file).read_text(encoding="utf-8"))
    def environment(self, lang="C.UTF-8"):
        """The desktop's environment with these folders, `lang` alone deciding the language."""
        env = {k: v for k, v in os.environ.items() if k not in ("LANGUAGE", "LC_ALL", "LC_MESSAGES")}
        return {**env, "XDG_CONFIG_HOME": self.config, "XDG_DATA_HOME": self.data, "LANG": lang,
                **self.overrides}

def profile(name, snapshots=(), active=False):
    return {"id": str(uuid.uuid4()).upper(), "name": name, "snapshots": list(snapshots),
            "isActive": active, "createdAt": 790162200.25, "updatedAt": 791834712.5}

def snapshot(app, title, x=0, y=0, width=640, height=480, bundle=None):
    return {"bundleIdentifier": bundle or f"org.example.{app.lower()}", "appName": app,
            "windowTitle": title, "frame": {"x": x, "y": y, "width": width, "height": height}}

def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()

class Tavelor:
    """One run of the program; its stderr is kept in a file for the assertions."""
    def __init__(self, executable, home, log_folder, name="tavelor", lang="C.UTF-8"):
        os.makedirs(log_folder, exist_ok=True)
        self.stderr_path = os.path.join(log_folder, f"{name}.stderr")
        with open(self.stderr_path, "w", encoding="utf-8") as stderr:
            self.process = subprocess.Popen([executable], env=home.environment(lang),
                                            stdout=subprocess.DEVNULL, stderr=stderr)
        self.pid, self.wait, self.stop = self.process.pid, self.process.wait, lambda: stop(self.process)
    def stderr(self):
        return Path(self.stderr_path).read_text(encoding="utf-8", errors="replace")
    def lines(self):
        return [line for line in self.stderr().splitlines() if line.strip()]
    def running(self):
        return self.process.poll() is None
