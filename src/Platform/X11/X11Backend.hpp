#pragma once

#include "Platform/BackendParts.hpp"

#include <memory>

namespace tavelor::x11 {

class X11Connection;
class X11Keyboard;

/// Tavelor's own connection to an X server (the desktop's, or XWayland) and
/// its keyboard, shared by every X11 part.
struct X11Display {
    std::unique_ptr<X11Connection> connection;
    std::unique_ptr<X11Keyboard> keyboard;

    /// `display` as for X11Connection::open (null: the DISPLAY variable). The
    /// connection is null when no X server could be reached; every part then
    /// answers as an empty desktop.
    static std::shared_ptr<X11Display> open(const char* display = nullptr);
    ~X11Display();
    X11Display() = default;
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;
};

/// Every capability served by the X server of `display`, the login item by
/// the XDG autostart folder.
platform::BackendParts makeX11Parts(const std::shared_ptr<X11Display>& display);

/// The X11 (and XWayland) backend on its own, as the factory makes it for an
/// X11 session; tests and benchmarks make it directly.
class X11Backend final : public platform::ComposedBackend {
public:
    explicit X11Backend(const char* display = nullptr) : X11Backend(X11Display::open(display)) {}

    /// Null when no X server could be reached.
    X11Connection* connection() const { return m_display->connection.get(); }

private:
    explicit X11Backend(std::shared_ptr<X11Display> display)
        : ComposedBackend(makeX11Parts(display)), m_display(std::move(display))
    {}

    std::shared_ptr<X11Display> m_display;
};

} // namespace tavelor::x11
