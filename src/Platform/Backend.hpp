#pragma once

#include <QString>

#include <functional>

namespace tavelor::platform {

class Displays;
class GlobalShortcuts;
class KeyEventTranslator;
class KeyboardGrab;
class KeyboardLayout;
class LoginItems;
class WindowAccess;
class WindowSource;

/// The platform as the logic above it sees it: one implementation of each
/// capability in this folder, handed out by reference. They live as long as the
/// backend. BackendFactory picks them for the running session.
class Backend {
public:
    Backend() = default;
    virtual ~Backend() = default;
    Backend(const Backend&) = delete;
    Backend& operator=(const Backend&) = delete;

    /// "x11", "kwin", ...: what serves the windows, for messages and tests.
    virtual QString name() const = 0;

    /// The running applications and their windows; the frame writes of an apply.
    virtual WindowSource& windowSource() = 0;
    /// Whether windows may be read and moved at all.
    virtual WindowAccess& windowAccess() = 0;
    /// The system-wide shortcut.
    virtual GlobalShortcuts& globalShortcuts() = 0;
    /// What each key types on the current keyboard layout.
    virtual KeyboardLayout& keyboardLayout() = 0;
    /// The window system's side of the toolkit's key events.
    virtual KeyEventTranslator& keyEventTranslator() = 0;
    /// The whole keyboard for one of Tavelor's windows (the shortcut window
    /// while it records).
    virtual KeyboardGrab& keyboardGrab() = 0;
    /// The program's own login item.
    virtual LoginItems& loginItems() = 0;
    /// The monitors and their changes.
    virtual Displays& displays() = 0;

    /// `handler` runs once, from the event loop, if the window system goes away
    /// under the running program (the X server quits, the compositor ends).
    /// Nothing the backend hands out works after that. A backend that cannot
    /// lose its window system never calls it.
    virtual void setWindowSystemLostHandler(std::function<void()> handler) = 0;
};

} // namespace tavelor::platform
