#pragma once

#include "Platform/HotKeyEvents.hpp"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace tavelor::platform {

/// A keyboard input source (TISInputSourceRef), released with the object.
class InputSource {
public:
    InputSource() = default;
    virtual ~InputSource() = default;
    InputSource(const InputSource&) = delete;
    InputSource& operator=(const InputSource&) = delete;
};

/// A source's keyboard layout (UCKeyboardLayout); lives as long as its source.
class KeyLayoutData {
public:
    KeyLayoutData() = default;
    virtual ~KeyLayoutData() = default;
    KeyLayoutData(const KeyLayoutData&) = delete;
    KeyLayoutData& operator=(const KeyLayoutData&) = delete;

    /// True for layout data without content ("data without bytes").
    virtual bool isEmpty() const = 0;
};

inline constexpr std::uint16_t kUCKeyActionDown = 0;

/// What a key types on the current keyboard layout, in the shape of the Text
/// Input Sources and UCKeyTranslate calls. Key codes are Tavelor's own key code
/// set (see HotKey).
///
/// Contract: every call asks the system afresh, so a change of keyboard layout
/// shows at the next call. Main thread only.
class KeyboardLayout {
public:
    KeyboardLayout() = default;
    virtual ~KeyboardLayout() = default;
    KeyboardLayout(const KeyboardLayout&) = delete;
    KeyboardLayout& operator=(const KeyboardLayout&) = delete;

    /// TISCopyCurrentKeyboardInputSource: the source in use now, or null.
    virtual std::unique_ptr<InputSource> copyCurrentKeyboardInputSource() = 0;

    /// TISGetInputSourceProperty(kTISPropertyUnicodeKeyLayoutData): the
    /// source's layout, or null for a source without one.
    virtual const KeyLayoutData* unicodeKeyLayoutData(const InputSource& source) = 0;

    /// LMGetKbdType: the physical keyboard type, widened.
    virtual std::uint32_t keyboardType() = 0;

    /// UCKeyTranslate: the text `keyCode` types with `modifierKeyState` held.
    /// `deadKeyState` carries a pending dead key between calls (start with 0):
    /// a dead key answers status 0, a length of 0 and a non-zero state. Writes
    /// at most `maxStringLength` UTF-16 units and their count; a non-zero
    /// status (a key code the layout has no key for) writes nothing.
    virtual OSStatus keyTranslate(const KeyLayoutData& layout, std::uint16_t keyCode,
                                  std::uint16_t keyAction, std::uint32_t modifierKeyState,
                                  std::uint32_t keyboardType, std::uint32_t keyTranslateOptions,
                                  std::uint32_t* deadKeyState, std::size_t maxStringLength,
                                  std::size_t* actualStringLength, char16_t* unicodeString) = 0;
};

} // namespace tavelor::platform
