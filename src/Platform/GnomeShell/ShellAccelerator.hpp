#pragma once

#include "Models/HotKey.hpp"

#include <QString>

#include <optional>

namespace tavelor::gnomeshell {

/// The shell's accelerator for a shortcut: modifiers as "<Control><Alt>..."
/// (command is Super, option is Alt) and the key as its hardware key code in
/// hex ("0x1c"), which Mutter binds to that key position whatever the layout
/// types there, as HotKey means. Nothing for a key code no keyboard has.
std::optional<QString> shellAccelerator(const HotKey& hotKey);

} // namespace tavelor::gnomeshell
