#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace tavelor::platform {

/// What a key types on the keyboard layout in use now. Key codes are Tavelor's
/// own key code set (see HotKey).
///
/// Contract: typedText() asks the window system afresh at every call, so a
/// change of layout shows at the next one. It gives the text of the key's first
/// level, with no modifier applied; nothing for a dead key, a key that types no
/// character, or a code no key of the keyboard has. Main thread only.
class KeyboardLayout {
public:
    KeyboardLayout() = default;
    virtual ~KeyboardLayout() = default;
    KeyboardLayout(const KeyboardLayout&) = delete;
    KeyboardLayout& operator=(const KeyboardLayout&) = delete;

    virtual std::optional<QString> typedText(std::uint16_t keyCode) = 0;
};

} // namespace tavelor::platform
