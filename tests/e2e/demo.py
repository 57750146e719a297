#!/usr/bin/python3
"""What scripts/run shows when there is no display: Tavelor doing its main job
in a throw-away test desktop (run inside tests/desktop/test-desktop --tray).

Two sample windows are saved as a profile through the tray menu and its dialog,
the profile is set active, the windows are scrambled, and the shortcut
(Control+Alt+Shift+L) puts them back. Screenshots of each stage go to OUT, with one of
the menu as Tavelor draws it when the panel sends a left click on its icon.

    demo.py TAVELOR OUT
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import tray_steps  # noqa: E402
import xdesktop  # noqa: E402
from panel import Panel, wait_until  # noqa: E402
from tavelor_process import SHORTCUT_KEYS, Home, Tavelor  # noqa: E402


def describe(clients):
    return ", ".join(f"{c.title} {c.frame().width}x{c.frame().height}+{c.frame().x}+{c.frame().y}"
                     for c in clients)


def screenshot_menu(item, pid, out):
    """Left-clicks the icon where a bottom panel would have it (the menu opens
    upwards, clear of the windows), opens the profile's submenu from the
    keyboard (the profile is under "Save Layout..."), and crops the screenshot
    to both menus; Escape closes them."""
    xdesktop.pointer(560, 788)
    item.activate(560, 788)
    popup = wait_until(lambda: xdesktop.windows_of(pid), 10, "the drawn menu")[-1]
    xdesktop.settle_window(popup)
    # Out of the way, so that hovering picks no entry.
    xdesktop.pointer(1270, 10)
    xdesktop.key("Down", "Down", "Right")
    wait_until(lambda: len(xdesktop.windows_of(pid)) > 1, 5, "the profile's submenu")
    frames = [xdesktop.settle_window(w) for w in xdesktop.windows_of(pid)]
    path = xdesktop.screenshot(out, "menu", region=xdesktop.union(frames, margin=16))
    xdesktop.key("Escape")
    xdesktop.key("Escape")
    wait_until(lambda: not xdesktop.windows_of(pid), 5, "the menu to close")
    return path


def main(executable, out):
    os.makedirs(out, exist_ok=True)
    home = Home()
    home.write_shortcut()
    panel = Panel()
    clients = [xdesktop.xterm("Sample terminal", 80, 24, 60, 60),
               xdesktop.xclock("Sample clock", 220, 220, 760, 90)]
    # As a new user on an English desktop meets it.
    program = Tavelor(executable, home, out, lang="en_US.UTF-8")
    try:
        xdesktop.settle(*clients)
        saved = {c.title: c.frame() for c in clients}
        print(f"Tavelor runs in a test desktop ({os.environ.get('DISPLAY')}).")
        print(f"  windows: {describe(clients)}")

        menu = panel.wait_for_item(program.pid).menu()
        layout = menu.wait_for(lambda l: l.find("Save Layout..."), what="the tray menu")
        layout = tray_steps.save_layout(menu, layout, program.pid, "Sample layout")
        layout = tray_steps.set_active(menu, layout, "Sample layout")
        print('  saved them as "Sample layout" from the tray menu, and set it active')
        before = xdesktop.screenshot(out, "before")
        menu_shot = screenshot_menu(panel.item_of(program.pid), program.pid, out)
        print("  a left click on the tray icon opened its menu")

        clients[0].move_resize(520, 360, 560, 300)
        clients[1].move_resize(80, 470, 300, 200)
        print(f"  scrambled: {describe(clients)}")
        scrambled = xdesktop.screenshot(out, "scrambled")

        xdesktop.key(SHORTCUT_KEYS)
        wait_until(lambda: all(xdesktop.frames_match(c.frame(), saved[c.title], c.increments())
                               for c in clients), 10, "the windows to be back")
        print(f"  Control+Alt+Shift+L put them back: {describe(clients)}")
        after = xdesktop.screenshot(out, "after")
        print("Screenshots:")
        for path in (before, menu_shot, scrambled, after):
            print(f"  {path}")
        return 0
    except (TimeoutError, OSError) as error:
        print(f"scripts/run: the show stopped: {error}", file=sys.stderr)
        print(f"  Tavelor's stderr: {program.stderr_path}", file=sys.stderr)
        return 1
    finally:
        program.stop()
        for client in clients:
            client.close()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
