#pragma once

#include <functional>
#include <memory>

namespace tavelor::platform {

class Accessibility;
class Workspace;
class HotKeyEvents;
class KeyboardLayout;
class KeyEventTranslator;
class KeyboardGrab;
class AccessibilityTrust;
class LoginItems;

/// The platform as the logic above it sees it: one object that owns an
/// implementation of every platform interface in this folder and hands them out
/// by reference. The interfaces live as long as the backend.
///
/// A backend is chosen at build time by the source set: exactly one of the
/// backend folders (X11/, ...) is compiled into the program and defines
/// createBackend(). The unit tests use Fake/ instead.
class Backend {
public:
    Backend() = default;
    virtual ~Backend() = default;
    Backend(const Backend&) = delete;
    Backend& operator=(const Backend&) = delete;

    /// The running applications.
    virtual Workspace& workspace() = 0;
    /// Windows of those applications: their attributes, moves and resizes.
    virtual Accessibility& accessibility() = 0;
    /// The kind of session this backend serves: "x11", "kwin" or
    /// "gnome-shell". Texts that tell the user what the session needs are
    /// chosen by it.
    virtual const char* name() const = 0;

    /// The system-wide shortcut: registration and the presses.
    virtual HotKeyEvents& hotKeyEvents() = 0;
    /// What each key types on the current keyboard layout.
    virtual KeyboardLayout& keyboardLayout() = 0;
    /// The window system's side of the toolkit's key events.
    virtual KeyEventTranslator& keyEventTranslator() = 0;
    /// The whole keyboard for one of Tavelor's windows (the shortcut window
    /// while it records).
    virtual KeyboardGrab& keyboardGrab() = 0;
    /// Whether windows may be read and moved at all.
    virtual AccessibilityTrust& accessibilityTrust() = 0;
    /// The program's own login item.
    virtual LoginItems& loginItems() = 0;

    /// `handler` runs once, from the event loop, if the window system goes away
    /// under the running program (the X server quits, its connection breaks).
    /// Nothing the backend hands out works after that. A backend that cannot lose
    /// its window system never calls it.
    virtual void setWindowSystemLostHandler(std::function<void()> handler) { (void)handler; }
};

/// The backend of this build. Never null: without a window system (no X
/// display) the backend answers as a desktop with nothing on it.
std::unique_ptr<Backend> createBackend();

} // namespace tavelor::platform
