#pragma once

#include "Models/WindowState.hpp"
#include "Platform/X11/EwmhAtoms.hpp"

#include <xcb/xcb.h>

#include <array>
#include <cstdint>

namespace tavelor::x11 {

class X11Connection;
struct WindowReadings;

/// A window's state as its EWMH properties tell it: _NET_WM_DESKTOP,
/// _NET_WM_STATE (MAXIMIZED_VERT/HORZ, HIDDEN, FULLSCREEN, ABOVE) and its
/// place in _NET_CLIENT_LIST_STACKING.
WindowState stateOf(const WindowReadings& readings, const EwmhAtoms& atoms);

/// A client message to the root, as EWMH asks pagers to send them (redirected
/// to the window manager). Never waited for; an error (the window is gone) is
/// discarded.
void sendToRoot(X11Connection& connection, xcb_window_t window, xcb_atom_t type,
                const std::array<std::uint32_t, 5>& data);

/// Asks the window manager for a saved state, as a pager would (source 2),
/// and leaves the user's current desktop and the focus alone. None of them is
/// flushed: the caller flushes once for the whole batch.
class WindowStateRequests {
public:
    WindowStateRequests(X11Connection& connection, const EwmhAtoms& atoms);

    /// _NET_WM_DESKTOP: onto `state`'s desktop, or all of them.
    void moveToDesktop(const WindowReadings& window, const WindowState& state);
    /// Shown again first when saved shown (removing _NET_WM_STATE_HIDDEN,
    /// which openbox and xfwm4 honour without focusing the window, unlike
    /// mapping it or _NET_ACTIVE_WINDOW); then maximised, fullscreen and
    /// above as saved; iconified last (WM_CHANGE_STATE) when saved minimised.
    /// Maximised and fullscreen are taken as cleared already: the frame write
    /// before this one clears them.
    void setState(const WindowReadings& window, const WindowState& state);
    /// To the top of its layer: _NET_RESTACK_WINDOW.
    void raise(const WindowReadings& window);

    /// _NET_ACTIVE_WINDOW: focuses and raises the window.
    void activate(const WindowReadings& window);

private:
    void changeState(xcb_window_t window, bool add, xcb_atom_t first, xcb_atom_t second);

    X11Connection& m_connection;
    EwmhAtoms m_atoms;
};

} // namespace tavelor::x11
