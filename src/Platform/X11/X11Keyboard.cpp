#include "Platform/X11/X11Keyboard.hpp"

#include "Platform/X11/KeyCodeTable.hpp"
#include "Platform/X11/X11Connection.hpp"
#include "Platform/X11/XcbPointers.hpp"

#include <QMetaObject>

#include <xkbcommon/xkbcommon-x11.h>

#include <string>

namespace tavelor::x11 {

X11Keyboard::X11Keyboard(X11Connection* connection) : m_connection(connection)
{
    if (!m_connection)
        return;
    std::uint8_t firstError = 0;
    if (!xkb_x11_setup_xkb_extension(
            m_connection->get(), XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
            XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, &m_firstEvent, &firstError)) {
        return;
    }
    // Keymaps come from the server, never from files: no include paths needed.
    m_context = xkb_context_new(static_cast<xkb_context_flags>(XKB_CONTEXT_NO_DEFAULT_INCLUDES |
                                                               XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
    if (!m_context)
        return;
    m_deviceId = xkb_x11_get_core_keyboard_device_id(m_connection->get());
    dispatchLater();
}

X11Keyboard::~X11Keyboard()
{
    if (m_context)
        xkb_context_unref(m_context);
}

XkbKeymapPtr X11Keyboard::keymap()
{
    if (!isAvailable())
        return nullptr;
    XkbKeymapPtr keymap{xkb_x11_keymap_new_from_device(m_context, m_connection->get(), m_deviceId,
                                                       XKB_KEYMAP_COMPILE_NO_FLAGS)};
    dispatchLater();
    return keymap;
}

xkb_layout_index_t X11Keyboard::effectiveLayout(xkb_keymap* keymap)
{
    if (!isAvailable() || !keymap)
        return 0;
    xkb_state* state = xkb_x11_state_new_from_device(keymap, m_connection->get(), m_deviceId);
    dispatchLater();
    if (!state)
        return 0;
    const xkb_layout_index_t layout = xkb_state_serialize_layout(state, XKB_STATE_LAYOUT_EFFECTIVE);
    xkb_state_unref(state);
    return layout;
}

std::optional<xcb_keycode_t> X11Keyboard::xKeyCode(xkb_keymap* keymap, std::uint16_t keyCode)
{
    const std::optional<std::string_view> name = xkbKeyName(keyCode);
    if (!keymap || !name)
        return std::nullopt;
    // xkbcommon-x11 key codes are X key codes; the name lookup follows aliases.
    const xkb_keycode_t code = xkb_keymap_key_by_name(keymap, std::string(*name).c_str());
    if (code == XKB_KEYCODE_INVALID || code > 255)
        return std::nullopt;
    return static_cast<xcb_keycode_t>(code);
}

std::uint16_t X11Keyboard::numLockMask(xkb_keymap* keymap)
{
    if (!m_connection || !keymap)
        return 0;
    XcbPtr<xcb_get_modifier_mapping_reply_t> reply{xcb_get_modifier_mapping_reply(
        m_connection->get(), xcb_get_modifier_mapping(m_connection->get()), nullptr)};
    dispatchLater();
    if (!reply)
        return 0;
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(reply.get());
    const int perModifier = reply->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t code = codes[modifier * perModifier + i];
            if (code == 0)
                continue;
            const xkb_keysym_t* syms = nullptr;
            const int count = xkb_keymap_key_get_syms_by_level(keymap, code, 0, 0, &syms);
            for (int s = 0; s < count; ++s) {
                if (syms[s] == XKB_KEY_Num_Lock)
                    return static_cast<std::uint16_t>(1U << modifier);
            }
        }
    }
    return 0;
}

void X11Keyboard::dispatchLater()
{
    // Replies awaited here may have queued events without the socket turning
    // readable again; hand them over once the current call has returned.
    QMetaObject::invokeMethod(
        m_connection, [connection = m_connection] { connection->dispatchPendingEvents(); },
        Qt::QueuedConnection);
}

} // namespace tavelor::x11
