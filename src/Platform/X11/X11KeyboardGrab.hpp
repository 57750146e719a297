#pragma once

#include "Platform/KeyboardGrab.hpp"

#include <xcb/xcb.h>

namespace tavelor::x11 {

class X11Connection;

/// An active keyboard grab (GrabKeyboard) on Tavelor's own connection, not the
/// toolkit's: key presses then come here whatever window has the focus, and
/// the passive grabs of other clients (their global shortcuts) do not
/// activate. The server ends the grab itself when the window becomes
/// unviewable or the connection closes; the owner releases it on hiding too,
/// so both sides agree that it is gone.
class X11KeyboardGrab final : public platform::KeyboardGrab {
public:
    /// `connection` may be null: then every grab is refused.
    explicit X11KeyboardGrab(X11Connection* connection);
    ~X11KeyboardGrab() override;
    X11KeyboardGrab(const X11KeyboardGrab&) = delete;
    X11KeyboardGrab& operator=(const X11KeyboardGrab&) = delete;

    bool grab(std::uint64_t window, KeyHandler onKeyPress) override;
    void release() override;
    bool isGrabbed() const override { return m_window != XCB_WINDOW_NONE; }

private:
    bool onEvent(const xcb_generic_event_t& event);

    X11Connection* m_connection;
    xcb_window_t m_window = XCB_WINDOW_NONE;
    KeyHandler m_onKeyPress;
    int m_listenerId = 0;
};

} // namespace tavelor::x11
