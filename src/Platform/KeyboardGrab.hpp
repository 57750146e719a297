#pragma once

#include <cstdint>
#include <functional>

namespace tavelor::platform {

/// The whole keyboard taken for one of Tavelor's own windows, so that the
/// shortcut window sees every key: also a combination another program holds as
/// its global shortcut, and Tavelor's own.
///
/// Contract: while the grab is held every key press goes to the handler given
/// to grab(), with the native values a toolkit key event of the window system
/// would carry (KeyEventTranslator reads them), and to nothing else: neither
/// the focused window nor another program's shortcut sees it. The grab ends on
/// release(), when the window is hidden or destroyed, and when the window
/// system goes away; grab() again moves it. Where clients cannot take the
/// keyboard (Wayland), the focused window's own key events carry the keys
/// instead of the handler, and the grab keeps other programs' shortcuts from
/// taking them first. Main thread only.
class KeyboardGrab {
public:
    using KeyHandler =
        std::function<void(std::uint32_t nativeScanCode, std::uint32_t nativeModifiers)>;

    KeyboardGrab() = default;
    virtual ~KeyboardGrab() = default;
    KeyboardGrab(const KeyboardGrab&) = delete;
    KeyboardGrab& operator=(const KeyboardGrab&) = delete;

    /// Takes the keyboard for the window with native id `window` (the
    /// toolkit's winId()). False when the window system refused: another
    /// program holds the keyboard, or the window is not shown.
    virtual bool grab(std::uint64_t window, KeyHandler onKeyPress) = 0;
    /// Gives the keyboard back; nothing when it is not held.
    virtual void release() = 0;
    virtual bool isGrabbed() const = 0;
};

} // namespace tavelor::platform
