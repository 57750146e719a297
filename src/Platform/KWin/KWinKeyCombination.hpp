#pragma once

#include "Models/HotKey.hpp"

#include <xkbcommon/xkbcommon.h>

#include <optional>

namespace tavelor::kwin {

/// The Qt key (Qt::Key) a keysym stands for in a Qt key combination, as KDE's
/// shortcut settings store it: letters upper case, function and editing keys
/// their Qt::Key_ codes, keypad keys with Qt::KeypadModifier. Nothing for
/// modifiers, dead keys and keysyms without a character.
std::optional<int> qtKeyOfKeysym(xkb_keysym_t keysym);

/// The Qt key combination (key | modifiers) of a hot key on `keymap`: the
/// keysym on the first level of its key in `layout`, with cmd as Meta, option
/// as Alt, control as Ctrl and shift as Shift. Nothing when the keymap has no
/// such key or the key types nothing a shortcut can name.
std::optional<int> qtKeyCombination(const HotKey& hotKey, xkb_keymap* keymap,
                                    xkb_layout_index_t layout);

/// The Qt key combination of a hot key on the session's keyboard: KWin hands
/// its keymap and layout to XWayland, so that is read when there is a display;
/// otherwise the keymap of the XKB_DEFAULT_* settings (or libxkbcommon's).
std::optional<int> qtKeyCombinationOnSessionKeyboard(const HotKey& hotKey);

} // namespace tavelor::kwin
