#pragma once

#include "Platform/KeyEventTranslator.hpp"

namespace tavelor::x11 {

class X11Keyboard;

/// Key events of Qt's xcb (and wayland) platform: the native scan code is an
/// X key code, named through the server's current keymap and then looked up
/// in the key code table; the native modifiers are the X key state, with
/// Control, Shift, Lock, Mod1 (Alt, the Option key) and Mod4 (Super, the
/// Command key), as the grabs read them.
class X11KeyEventTranslator final : public platform::KeyEventTranslator {
public:
    /// `keyboard` outlives this.
    explicit X11KeyEventTranslator(X11Keyboard& keyboard);

    platform::KeyPress translate(std::uint32_t nativeScanCode,
                                 std::uint32_t nativeModifiers) override;

    /// The flags of an X key state.
    static std::uint64_t modifierFlags(std::uint32_t state);

private:
    X11Keyboard& m_keyboard;
};

} // namespace tavelor::x11
