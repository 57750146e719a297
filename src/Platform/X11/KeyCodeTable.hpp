#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tavelor::x11 {

/// Tavelor's key code set (the Apple virtual key codes, which name key
/// positions: 0 is the key right of Caps Lock, A on a US keyboard) against the
/// XKB key names, which name the same positions (AC01, ...). Both directions;
/// codes without a key of their own (Function, 0x34) have no name.
std::optional<std::string_view> xkbKeyName(std::uint16_t keyCode);
std::optional<std::uint16_t> keyCodeForXkbKeyName(std::string_view name);

} // namespace tavelor::x11
