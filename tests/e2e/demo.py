#!/usr/bin/python3
"""scripts/run's show without a display, in tests/desktop/test-desktop --tray: two
windows saved as a profile from the tray menu, set active, scrambled, put back by
the shortcut; screenshots of each stage (and of the menu) go to OUT.
Usage: demo.py TAVELOR OUT"""
import os
import sys
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import tray_steps  # noqa: E402
import xdesktop as x  # noqa: E402
from panel import Panel, wait_until  # noqa: E402
from tavelor_process import SHORTCUT_KEYS, Home, Tavelor  # noqa: E402

def describe(clients):
    return ", ".join("{0} {3}x{4}+{1}+{2}".format(c.title, *c.frame()) for c in clients)

def screenshot_menu(item, pid, out):
    """Left-clicks the icon where a bottom panel has it (the menu opens upwards),
    opens the profile's submenu from the keyboard, crops to both menus."""
    x.run("xdotool", "mousemove", "--sync", "560", "788")
    item.activate(560, 788)
    x.settle(x.Window(wait_until(lambda: x.windows_of(pid), 10, "the menu")[-1]))
    x.run("xdotool", "mousemove", "--sync", "1270", "10")  # out of the way, so that hovering picks no entry
    x.key("Down", "Down", "Right")
    wait_until(lambda: len(x.windows_of(pid)) > 1, 5, "the profile's submenu")
    frames = x.settle(*map(x.Window, x.windows_of(pid)))
    left, top = (max(min(f[i] for f in frames) - 16, 0) for i in (0, 1))
    path = x.screenshot(out, "menu", region=(left, top, max(f[0] + f[2] for f in frames) + 16 - left,
                                              max(f[1] + f[3] for f in frames) + 16 - top))
    x.key("Escape", "Escape")
    wait_until(lambda: not x.windows_of(pid), 5, "the menu to close")
    return path

def main(executable, out):
    home, panel = Home(), Panel()
    home.write_shortcut()
    clients = [x.xterm("Sample terminal", 60, 60), x.xclock("Sample clock", 220, 220, 760, 90)]
    # As a new user on an English desktop meets it.
    program = Tavelor(executable, home, out, lang="en_US.UTF-8")
    try:
        saved = dict(zip((c.title for c in clients), x.settle(*clients)))
        print(f"Tavelor runs in a test desktop ({os.environ.get('DISPLAY')}).\n  windows: {describe(clients)}")
        menu, layout = panel.wait_for_menu(program.pid)
        layout = tray_steps.save_layout(menu, layout, program.pid, "Sample layout")
        tray_steps.set_active(menu, layout, "Sample layout")
        print('  saved them as "Sample layout" from the tray menu, and set it active')
        shots = [x.screenshot(out, "before"), screenshot_menu(panel.item_of(program.pid), program.pid, out)]
        print("  a left click on the tray icon opened its menu")
        clients[0].move_resize(520, 360, 560, 300)
        clients[1].move_resize(80, 470, 300, 200)
        print(f"  scrambled: {describe(clients)}")
        shots.append(x.screenshot(out, "scrambled"))
        x.key(SHORTCUT_KEYS)
        wait_until(lambda: all(c.back(saved[c.title]) for c in clients), 10, "the windows")
        print(f"  Control+Alt+Shift+L put them back: {describe(clients)}")
        shots.append(x.screenshot(out, "after"))
        print("Screenshots:\n" + "\n".join(f"  {path}" for path in shots))
        return 0
    except (TimeoutError, OSError) as error:
        print(f"scripts/run: the show stopped: {error}\n  Tavelor's stderr: "
              f"{program.stderr_path}", file=sys.stderr)
        return 1
    finally:
        program.stop()
        for client in clients:
            client.close()

if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
