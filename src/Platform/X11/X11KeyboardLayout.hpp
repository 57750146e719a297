#pragma once

#include "Platform/KeyboardLayout.hpp"

namespace tavelor::x11 {

class X11Keyboard;

/// What keys type, from the server's keymap of the core keyboard and the
/// layout in effect. Each input source is a fresh read of both. A key types
/// the keysym of its first level (modifiers are never applied), as UTF-8
/// turned into UTF-16; a dead key or a keysym without a character types
/// nothing. Key codes without a key on the keymap answer paramErr.
class X11KeyboardLayout final : public platform::KeyboardLayout {
public:
    /// `keyboard` outlives this.
    explicit X11KeyboardLayout(X11Keyboard& keyboard);
    ~X11KeyboardLayout() override;

    std::unique_ptr<platform::InputSource> copyCurrentKeyboardInputSource() override;
    const platform::KeyLayoutData*
    unicodeKeyLayoutData(const platform::InputSource& source) override;
    /// XKB has no keyboard types: always 0.
    std::uint32_t keyboardType() override { return 0; }
    platform::OSStatus keyTranslate(const platform::KeyLayoutData& layout, std::uint16_t keyCode,
                                    std::uint16_t keyAction, std::uint32_t modifierKeyState,
                                    std::uint32_t keyboardType, std::uint32_t keyTranslateOptions,
                                    std::uint32_t* deadKeyState, std::size_t maxStringLength,
                                    std::size_t* actualStringLength,
                                    char16_t* unicodeString) override;

private:
    X11Keyboard& m_keyboard;
};

} // namespace tavelor::x11
