#pragma once

#include "Models/HotKey.hpp"

#include <functional>

namespace tavelor::platform {

/// The one system-wide shortcut.
///
/// Contract:
/// - grab() makes the combination fire from any application, replacing
///   whatever this object held before. On anything but Grabbed nothing is held.
///   Caps Lock and Num Lock never keep it from firing; holding the keys is one
///   press, not one per key repeat.
/// - Each press calls the pressed handler once, from the event loop, never
///   from inside one of these calls.
/// - release() lets the keys reach the focused window again at once. Releasing
///   when nothing is held does nothing.
/// - Main thread only.
class GlobalShortcuts {
public:
    enum class GrabResult {
        Grabbed,
        Taken,       ///< another program (or the window manager) holds it
        NoSuchKey,   ///< no key of the current keyboard has the code
        Unavailable, ///< no window system to grab from
    };

    GlobalShortcuts() = default;
    virtual ~GlobalShortcuts() = default;
    GlobalShortcuts(const GlobalShortcuts&) = delete;
    GlobalShortcuts& operator=(const GlobalShortcuts&) = delete;

    virtual GrabResult grab(const HotKey& hotKey) = 0;
    virtual void release() = 0;
    virtual void setPressedHandler(std::function<void()> handler) = 0;
};

} // namespace tavelor::platform
