#pragma once

namespace tavelor::platform {

/// Whether Tavelor can work with the window system at all: read and move other
/// applications' windows.
///
/// Contract: every call asks afresh (nothing is cached), so a window manager
/// started, or an extension enabled, between two calls shows at the next one.
/// canWorkWithWindows(true) may first do what the platform does to obtain the
/// right (nothing on X11 and KWin); it does not wait for the user. Main thread
/// only.
class WindowAccess {
public:
    WindowAccess() = default;
    virtual ~WindowAccess() = default;
    WindowAccess(const WindowAccess&) = delete;
    WindowAccess& operator=(const WindowAccess&) = delete;

    virtual bool canWorkWithWindows(bool mayPrompt) = 0;
};

} // namespace tavelor::platform
