#pragma once

#include "Platform/KeyboardLayout.hpp"

namespace tavelor::x11 {

class X11Keyboard;

/// What keys type, from the server's keymap of the core keyboard and the
/// layout in effect, both read afresh at every call. A key types the keysyms of
/// its first level (modifiers are never applied), as UTF-8 turned into UTF-16;
/// a dead key, a keysym without a character or a code without a key on the
/// keymap types nothing.
class X11KeyboardLayout final : public platform::KeyboardLayout {
public:
    /// `keyboard` outlives this.
    explicit X11KeyboardLayout(X11Keyboard& keyboard) : m_keyboard(keyboard) {}

    std::optional<QString> typedText(std::uint16_t keyCode) override;

private:
    X11Keyboard& m_keyboard;
};

} // namespace tavelor::x11
