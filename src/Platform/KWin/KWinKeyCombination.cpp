#include "Platform/KWin/KWinKeyCombination.hpp"

#include "Platform/X11/KeyCodeTable.hpp"

#include <QChar>
#include <QString>

#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-x11.h>

#include <array>
#include <memory>
#include <string>
#include <utility>

namespace tavelor::kwin {

namespace {

struct KeysymKey {
    xkb_keysym_t keysym;
    int key;
};

constexpr std::array kSpecialKeys{
    KeysymKey{XKB_KEY_Return, Qt::Key_Return},
    KeysymKey{XKB_KEY_Tab, Qt::Key_Tab},
    KeysymKey{XKB_KEY_ISO_Left_Tab, Qt::Key_Backtab},
    KeysymKey{XKB_KEY_BackSpace, Qt::Key_Backspace},
    KeysymKey{XKB_KEY_Escape, Qt::Key_Escape},
    KeysymKey{XKB_KEY_Delete, Qt::Key_Delete},
    KeysymKey{XKB_KEY_Insert, Qt::Key_Insert},
    KeysymKey{XKB_KEY_Home, Qt::Key_Home},
    KeysymKey{XKB_KEY_End, Qt::Key_End},
    KeysymKey{XKB_KEY_Prior, Qt::Key_PageUp},
    KeysymKey{XKB_KEY_Next, Qt::Key_PageDown},
    KeysymKey{XKB_KEY_Left, Qt::Key_Left},
    KeysymKey{XKB_KEY_Up, Qt::Key_Up},
    KeysymKey{XKB_KEY_Right, Qt::Key_Right},
    KeysymKey{XKB_KEY_Down, Qt::Key_Down},
    KeysymKey{XKB_KEY_Print, Qt::Key_Print},
    KeysymKey{XKB_KEY_Pause, Qt::Key_Pause},
    KeysymKey{XKB_KEY_Menu, Qt::Key_Menu},
    KeysymKey{XKB_KEY_Help, Qt::Key_Help},
};

constexpr std::array kKeypadKeys{
    KeysymKey{XKB_KEY_KP_Enter, Qt::Key_Enter},
    KeysymKey{XKB_KEY_KP_Home, Qt::Key_Home},
    KeysymKey{XKB_KEY_KP_End, Qt::Key_End},
    KeysymKey{XKB_KEY_KP_Prior, Qt::Key_PageUp},
    KeysymKey{XKB_KEY_KP_Next, Qt::Key_PageDown},
    KeysymKey{XKB_KEY_KP_Left, Qt::Key_Left},
    KeysymKey{XKB_KEY_KP_Up, Qt::Key_Up},
    KeysymKey{XKB_KEY_KP_Right, Qt::Key_Right},
    KeysymKey{XKB_KEY_KP_Down, Qt::Key_Down},
    KeysymKey{XKB_KEY_KP_Begin, Qt::Key_Clear},
    KeysymKey{XKB_KEY_KP_Insert, Qt::Key_Insert},
    KeysymKey{XKB_KEY_KP_Delete, Qt::Key_Delete},
    KeysymKey{XKB_KEY_KP_Multiply, Qt::Key_Asterisk},
    KeysymKey{XKB_KEY_KP_Add, Qt::Key_Plus},
    KeysymKey{XKB_KEY_KP_Subtract, Qt::Key_Minus},
    KeysymKey{XKB_KEY_KP_Decimal, Qt::Key_Period},
    KeysymKey{XKB_KEY_KP_Divide, Qt::Key_Slash},
    KeysymKey{XKB_KEY_KP_Equal, Qt::Key_Equal},
};

struct KeymapDeleter {
    void operator()(xkb_keymap* keymap) const noexcept { xkb_keymap_unref(keymap); }
};
struct ContextDeleter {
    void operator()(xkb_context* context) const noexcept { xkb_context_unref(context); }
};
struct ConnectionDeleter {
    void operator()(xcb_connection_t* connection) const noexcept { xcb_disconnect(connection); }
};

// XWayland's keymap and the layout in effect there; nothing without a display.
std::optional<std::pair<std::unique_ptr<xkb_keymap, KeymapDeleter>, xkb_layout_index_t>>
displayKeymap(xkb_context* context)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return std::nullopt;
    std::unique_ptr<xcb_connection_t, ConnectionDeleter> connection(xcb_connect(nullptr, nullptr));
    if (xcb_connection_has_error(connection.get()) ||
        !xkb_x11_setup_xkb_extension(
            connection.get(), XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
            XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr))
        return std::nullopt;
    const std::int32_t device = xkb_x11_get_core_keyboard_device_id(connection.get());
    if (device < 0)
        return std::nullopt;
    std::unique_ptr<xkb_keymap, KeymapDeleter> keymap(xkb_x11_keymap_new_from_device(
        context, connection.get(), device, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keymap)
        return std::nullopt;
    xkb_state* state = xkb_x11_state_new_from_device(keymap.get(), connection.get(), device);
    xkb_layout_index_t layout = 0;
    if (state) {
        layout = xkb_state_serialize_layout(state, XKB_STATE_LAYOUT_EFFECTIVE);
        xkb_state_unref(state);
    }
    return std::pair{std::move(keymap), layout};
}

} // namespace

std::optional<int> qtKeyOfKeysym(xkb_keysym_t keysym)
{
    for (const KeysymKey& entry : kSpecialKeys) {
        if (entry.keysym == keysym)
            return entry.key;
    }
    for (const KeysymKey& entry : kKeypadKeys) {
        if (entry.keysym == keysym)
            return entry.key | static_cast<int>(Qt::KeypadModifier);
    }
    if (keysym >= XKB_KEY_KP_0 && keysym <= XKB_KEY_KP_9)
        return (Qt::Key_0 + static_cast<int>(keysym - XKB_KEY_KP_0)) |
               static_cast<int>(Qt::KeypadModifier);
    if (keysym >= XKB_KEY_F1 && keysym <= XKB_KEY_F35)
        return static_cast<int>(Qt::Key_F1 + (keysym - XKB_KEY_F1));
    const std::uint32_t character = xkb_keysym_to_utf32(keysym);
    if (character < 0x20 || character == 0x7f)
        return std::nullopt;
    // Qt names a character key by its upper case (Qt::Key_A, Qt::Key_Adiaeresis).
    const char32_t upper = QChar::toUpper(static_cast<char32_t>(character));
    return static_cast<int>(upper);
}

std::optional<int> qtKeyCombination(const HotKey& hotKey, xkb_keymap* keymap,
                                    xkb_layout_index_t layout)
{
    const std::optional<std::string_view> name = x11::xkbKeyName(hotKey.keyCode);
    if (!name || !keymap)
        return std::nullopt;
    const xkb_keycode_t code = xkb_keymap_key_by_name(keymap, std::string(*name).c_str());
    if (code == XKB_KEYCODE_INVALID)
        return std::nullopt;
    if (layout >= xkb_keymap_num_layouts_for_key(keymap, code))
        layout = 0;
    const xkb_keysym_t* syms = nullptr;
    if (xkb_keymap_key_get_syms_by_level(keymap, code, layout, 0, &syms) < 1)
        return std::nullopt;
    const std::optional<int> key = qtKeyOfKeysym(syms[0]);
    if (!key)
        return std::nullopt;
    int modifiers = 0;
    if (hotKey.modifiers & cmdKey)
        modifiers |= static_cast<int>(Qt::MetaModifier);
    if (hotKey.modifiers & optionKey)
        modifiers |= static_cast<int>(Qt::AltModifier);
    if (hotKey.modifiers & controlKey)
        modifiers |= static_cast<int>(Qt::ControlModifier);
    if (hotKey.modifiers & shiftKey)
        modifiers |= static_cast<int>(Qt::ShiftModifier);
    return *key | modifiers;
}

std::optional<int> qtKeyCombinationOnSessionKeyboard(const HotKey& hotKey)
{
    const std::unique_ptr<xkb_context, ContextDeleter> context(
        xkb_context_new(XKB_CONTEXT_NO_FLAGS));
    if (!context)
        return std::nullopt;
    if (auto fromDisplay = displayKeymap(context.get()))
        return qtKeyCombination(hotKey, fromDisplay->first.get(), fromDisplay->second);
    const std::unique_ptr<xkb_keymap, KeymapDeleter> keymap(
        xkb_keymap_new_from_names(context.get(), nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS));
    return qtKeyCombination(hotKey, keymap.get(), 0);
}

} // namespace tavelor::kwin
