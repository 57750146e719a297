#pragma once

#include "Models/HotKey.hpp"

#include <optional>

class QSettings;

namespace tavelor::HotKeyStore {

/// Settings keys of the shortcut, at the top level of the user's settings.
inline constexpr char kKeyCodeKey[] = "hotKeyKeyCode";
inline constexpr char kModifiersKey[] = "hotKeyModifiers";

/// The shortcut saved in `defaults`, or nothing when either entry is missing,
/// the key code is outside 0..65535 or the mask outside 1..4294967295. An entry
/// that is not a number reads as 0. Nothing is ever written back or removed:
/// a bad entry stays as the user left it.
std::optional<HotKey> load(QSettings& defaults);

} // namespace tavelor::HotKeyStore
