#pragma once

#include <cstdint>
#include <optional>

namespace tavelor::platform {

/// A key press read the way the shortcut window needs it: the key in Tavelor's
/// key code set (see HotKey) and the modifier flags held, as NSEvent-style bits.
struct KeyPress {
    static constexpr std::uint64_t kCapsLock = 1ULL << 16;
    static constexpr std::uint64_t kShift = 1ULL << 17;
    static constexpr std::uint64_t kControl = 1ULL << 18;
    static constexpr std::uint64_t kOption = 1ULL << 19;
    static constexpr std::uint64_t kCommand = 1ULL << 20;

    /// Empty for a key that has no code in the set: it cannot be recorded.
    std::optional<std::uint16_t> keyCode;
    std::uint64_t modifierFlags = 0;
};

/// Reads the native side of the toolkit's key events (QKeyEvent's
/// nativeScanCode() and nativeModifiers()), so that the widgets need no
/// knowledge of the window system.
///
/// Contract: the key is found by position on the keyboard's current keymap,
/// never by the character it types. The flags are those held when the key
/// went down; for a modifier key itself that excludes its own bit. Main thread
/// only.
class KeyEventTranslator {
public:
    KeyEventTranslator() = default;
    virtual ~KeyEventTranslator() = default;
    KeyEventTranslator(const KeyEventTranslator&) = delete;
    KeyEventTranslator& operator=(const KeyEventTranslator&) = delete;

    virtual KeyPress translate(std::uint32_t nativeScanCode, std::uint32_t nativeModifiers) = 0;
};

} // namespace tavelor::platform
