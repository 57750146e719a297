#include "Platform/X11/X11KeyboardLayout.hpp"

#include "Platform/X11/X11Keyboard.hpp"

#include <array>

namespace tavelor::x11 {

namespace {

// XKB has no flag for dead keys: they are the dead_* block of keysyms.
constexpr bool isDeadKeysym(xkb_keysym_t keysym)
{
    return keysym >= XKB_KEY_dead_grave && keysym <= XKB_KEY_dead_longsolidusoverlay;
}

} // namespace

std::optional<QString> X11KeyboardLayout::typedText(std::uint16_t keyCode)
{
    const XkbKeymapPtr keymap = m_keyboard.keymap();
    if (!keymap || xkb_keymap_num_layouts(keymap.get()) == 0)
        return std::nullopt;
    const std::optional<xcb_keycode_t> key = X11Keyboard::xKeyCode(keymap.get(), keyCode);
    if (!key)
        return std::nullopt;
    const xkb_layout_index_t layout = m_keyboard.effectiveLayout(keymap.get());

    const xkb_keysym_t* syms = nullptr;
    const int count = xkb_keymap_key_get_syms_by_level(keymap.get(), *key, layout, 0, &syms);
    if (count <= 0 || (count == 1 && isDeadKeysym(syms[0])))
        return std::nullopt;
    QString text;
    for (int i = 0; i < count; ++i) {
        std::array<char, 8> utf8{};
        const int size = xkb_keysym_to_utf8(syms[i], utf8.data(), utf8.size());
        // The size counts the terminating zero; 0 is a keysym without a character.
        if (size > 1)
            text += QString::fromUtf8(utf8.data(), size - 1);
    }
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

} // namespace tavelor::x11
