#include "Platform/X11/X11KeyEventTranslator.hpp"

#include "Platform/X11/KeyCodeTable.hpp"
#include "Platform/X11/X11Keyboard.hpp"

namespace tavelor::x11 {

using platform::KeyPress;

namespace {

constexpr std::uint16_t kLastKeyCode = 0x7F;

std::optional<std::uint16_t> keyCodeAt(xkb_keymap* keymap, xkb_keycode_t scanCode)
{
    if (const char* name = xkb_keymap_key_get_name(keymap, scanCode)) {
        if (const std::optional<std::uint16_t> keyCode = keyCodeForXkbKeyName(name))
            return keyCode;
    }
    // The keymap may name the key by an alias of the name in the table
    // (I129 for KPPT, ...): ask the other way round, which follows aliases.
    for (std::uint16_t keyCode = 0; keyCode <= kLastKeyCode; ++keyCode) {
        if (X11Keyboard::xKeyCode(keymap, keyCode) == scanCode)
            return keyCode;
    }
    return std::nullopt;
}

} // namespace

X11KeyEventTranslator::X11KeyEventTranslator(X11Keyboard& keyboard) : m_keyboard(keyboard) {}

KeyPress X11KeyEventTranslator::translate(std::uint32_t nativeScanCode,
                                          std::uint32_t nativeModifiers)
{
    KeyPress press;
    press.modifierFlags = modifierFlags(nativeModifiers);
    if (nativeScanCode == 0 || nativeScanCode > 255)
        return press;
    // Read afresh: the user may have switched keymaps since the last key.
    const XkbKeymapPtr keymap = m_keyboard.keymap();
    if (keymap)
        press.keyCode = keyCodeAt(keymap.get(), nativeScanCode);
    return press;
}

std::uint64_t X11KeyEventTranslator::modifierFlags(std::uint32_t state)
{
    std::uint64_t flags = 0;
    if (state & XCB_MOD_MASK_LOCK)
        flags |= KeyPress::kCapsLock;
    if (state & XCB_MOD_MASK_SHIFT)
        flags |= KeyPress::kShift;
    if (state & XCB_MOD_MASK_CONTROL)
        flags |= KeyPress::kControl;
    if (state & XCB_MOD_MASK_1)
        flags |= KeyPress::kOption;
    if (state & XCB_MOD_MASK_4)
        flags |= KeyPress::kCommand;
    return flags;
}

} // namespace tavelor::x11
