#pragma once

#include "Platform/X11/EwmhAtoms.hpp"
#include "Platform/X11/PropertyDecoding.hpp"
#include "Platform/X11/WindowGeometry.hpp"

#include <xcb/xcb.h>

#include <chrono>
#include <optional>
#include <unordered_map>

namespace tavelor::x11 {

class X11Connection;
struct WindowReadings;

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

    using Pair = std::pair<double, double>;

    /// Puts the visible frame's top-left corner at `position` (x, y) and makes
    /// it `size` (width, height), in one request: a window manager that gets a
    /// move and a resize apart may place the second against the first's
    /// outcome. Either may be absent (kept as it is). False when nothing could
    /// be asked (no finite value).
    bool moveResize(const WindowReadings& window, bool useMoveResize,
                    const std::optional<Pair>& position, const std::optional<Pair>& size);

    /// Sends no correction to `window` any more: it is about to be maximised
    /// or made fullscreen, and a frame sent after that would undo it.
    void forget(xcb_window_t window);

private:
    struct Target {
        std::optional<Pair> position;
        std::optional<Pair> size;
        std::optional<FrameExtents> gtkExtents;
        std::uint32_t borderWidth = 0;
        bool useMoveResize = true;
        std::chrono::steady_clock::time_point until;
    };

    void clearStates(const WindowReadings& window);
    void send(xcb_window_t window, bool useMoveResize, const std::optional<MoveResizeRequest>& at,
              const std::optional<MoveResizeRequest>& to);
    bool onEvent(const xcb_generic_event_t& event);
    void resend(xcb_window_t window, const Target& target);

    X11Connection& m_connection;
    EwmhAtoms m_atoms;
    int m_listener = 0;
    std::unordered_map<xcb_window_t, Target> m_corrections;
};

} // namespace tavelor::x11
