#pragma once

#include <cstdint>

namespace tavelor {

/// Carbon modifier bits, the encoding of HotKey::modifiers on every platform.
inline constexpr std::uint32_t cmdKey = 0x0100;
inline constexpr std::uint32_t shiftKey = 0x0200;
inline constexpr std::uint32_t optionKey = 0x0800;
inline constexpr std::uint32_t controlKey = 0x1000;

/// The global shortcut: a key of Tavelor's own key code set (the key positions
/// of the Apple virtual key codes: 0 is A, 36 Return, 49 Space, 122 F1, ...)
/// and a Carbon modifier mask. Every shortcut that is saved, loaded or
/// registered has a non-zero mask.
struct HotKey {
    std::uint16_t keyCode = 0;
    std::uint32_t modifiers = 0;

    friend bool operator==(const HotKey&, const HotKey&) = default;
};

} // namespace tavelor
