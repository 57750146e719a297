#pragma once

#include "Platform/X11/EwmhAtoms.hpp"
#include "Platform/X11/PropertyDecoding.hpp"

#include <xcb/xcb.h>

#include <chrono>
#include <optional>
#include <unordered_map>

namespace tavelor::x11 {

class X11Connection;
class X11WindowElement;

/// Moves and resizes other clients' windows the way EWMH asks pagers to: a
/// _NET_MOVERESIZE_WINDOW client message to the root (gravity NorthWest, source
/// 2: the user asked), or ConfigureWindow where the window manager does not
/// support it. Requests are flushed at once and never waited for; errors (the
/// window is gone) are discarded, not left for the event queue.
///
/// Maximised and fullscreen windows ignore moves, so their states are asked
/// off first, in the same flush. The window manager then changes the window's
/// decorations (openbox drops the side borders of a maximised window), which
/// the client size sent alongside could not know: when _NET_FRAME_EXTENTS
/// changes soon after, the last frame asked for is sent again with the new
/// extents.
class WindowMover {
public:
    WindowMover(X11Connection& connection, const EwmhAtoms& atoms);
    ~WindowMover();
    WindowMover(const WindowMover&) = delete;
    WindowMover& operator=(const WindowMover&) = delete;

    /// Puts the visible frame's top-left corner at (x, y).
    bool move(const X11WindowElement& element, bool useMoveResize, double x, double y);
    /// Makes the visible frame width x height, keeping its top-left corner.
    bool resize(const X11WindowElement& element, bool useMoveResize, double width, double height);

private:
    struct Target {
        std::optional<std::pair<double, double>> position;
        std::optional<std::pair<double, double>> size;
        std::optional<FrameExtents> gtkExtents;
        std::uint32_t borderWidth = 0;
        bool useMoveResize = true;
        std::chrono::steady_clock::time_point until;
    };

    void clearStates(const X11WindowElement& element);
    void send(xcb_window_t window, bool useMoveResize, std::uint32_t flags, std::int32_t x,
              std::int32_t y, std::uint32_t width, std::uint32_t height);
    bool onEvent(const xcb_generic_event_t& event);
    void resend(xcb_window_t window, const Target& target);

    X11Connection& m_connection;
    EwmhAtoms m_atoms;
    int m_listener = 0;
    std::unordered_map<xcb_window_t, Target> m_corrections;
};

} // namespace tavelor::x11
