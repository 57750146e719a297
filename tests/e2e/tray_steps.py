"""Steps a user takes with Tavelor, shared by the tests and scripts/run's show."""

import xdesktop
from panel import wait_until


def save_layout(menu, layout, pid, name, before_return=None):
    """"Save Layout...", the name typed into its dialog, Return; answers the
    menu once the profile is in it."""
    menu.click(layout.find("Save Layout..."))
    dialog = wait_until(lambda: (xdesktop.windows_of(pid) or [None])[-1], 10, "the save dialog")
    xdesktop.activate(dialog)
    xdesktop.type_text(name)
    if before_return:
        before_return()
    xdesktop.key("Return")
    layout = menu.wait_for(lambda l: l.find(name), what=f"the profile {name!r} in the menu")
    wait_until(lambda: not xdesktop.windows_of(pid), 5, "the dialog to close")
    return layout


def set_active(menu, layout, name):
    menu.click(layout.find(name, "Set as Active"))
    return menu.wait_for(lambda l: l.find(name, "Deactivate"),
                         what=f"the profile {name!r} to become active")
