/* Presses keys (Linux key codes) through KWin's org_kde_kwin_fake_input as a keyboard
 * would: down in order, up in reverse order. Exits 1 without fake input. */
#include "fake-input-client-protocol.h"

#include <stdlib.h>
#include <string.h>
#include <wayland-client.h>

static struct org_kde_kwin_fake_input* fake_input;

static void added(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                  uint32_t version)
{
    (void)data;
    if (strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
        fake_input = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4);
}

static void removed(void* data, struct wl_registry* registry, uint32_t name)
{
    (void)data, (void)registry, (void)name;
}

int main(int argc, char** argv)
{
    static const struct wl_registry_listener listener = {added, removed};
    struct wl_display* display = wl_display_connect(NULL);
    if (!display)
        return 1;
    wl_registry_add_listener(wl_display_get_registry(display), &listener, NULL);
    wl_display_roundtrip(display);
    if (!fake_input)
        return 1;
    org_kde_kwin_fake_input_authenticate(fake_input, "tavelor-tests", "key presses of the tests");
    for (int i = 1; i < argc; ++i)
        org_kde_kwin_fake_input_keyboard_key(fake_input, (uint32_t)atoi(argv[i]), 1);
    for (int i = argc - 1; i >= 1; --i)
        org_kde_kwin_fake_input_keyboard_key(fake_input, (uint32_t)atoi(argv[i]), 0);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
