"""Steps a user takes with Tavelor, shared by the tests, bench/ and scripts/run's show."""
import xdesktop
from panel import spin, wait_until

def answer_dialog(menu, entry, pid, text, others=(), focus="windowactivate"):
    """Clicks entry, types text and Return into the window it opens (the newest of
    pid's windows not in others) and waits for that window to close."""
    menu.click(entry)
    dialog = wait_until(lambda: next((w for w in reversed(xdesktop.windows_of(pid))
                                      if w not in others), None), 10, "the dialog")
    xdesktop.run("xdotool", focus, "--sync", str(dialog), check=False)
    xdesktop.run("xdotool", "type", "--delay", "20", text)
    xdesktop.key("Return")
    wait_until(lambda: dialog not in xdesktop.windows_of(pid), 5, "the dialog to close")
    spin(0.3)

def save_layout(menu, layout, pid, name, others=()):
    """"Save Layout...", the name typed into its dialog, Return; answers the
    menu once the profile is in it."""
    answer_dialog(menu, layout.find("Save Layout..."), pid, name, others)
    return menu.wait_for(lambda l: l.find(name), what=f"the profile {name!r} in the menu")

def set_active(menu, layout, name):
    menu.click(layout.find(name, "Set as Active"))
    return menu.wait_for(lambda l: l.find(name, "Deactivate"), what=f"{name!r} active")
