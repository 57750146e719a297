#pragma once

#include "Platform/WindowAccess.hpp"

namespace tavelor::x11 {

class X11Connection;

/// X11 has no per-program permission to read or move other windows: what
/// Tavelor needs instead is a reachable display and an EWMH window manager,
/// since every window it sees comes from _NET_CLIENT_LIST and every move goes
/// through the window manager. So windows can be worked with when the
/// connection is up and a window manager runs that lists _NET_CLIENT_LIST in
/// _NET_SUPPORTED. "Runs" is the _NET_SUPPORTING_WM_CHECK handshake: the root
/// names a window that names itself, so the properties a window manager left
/// behind when it exited do not count. There is nothing to prompt for.
///
/// Each call makes one pipelined round of property reads (three round trips at
/// most), so a window manager started after Tavelor is seen at the next check.
class X11WindowAccess final : public platform::WindowAccess {
public:
    /// `connection` null: no display, never answers true.
    explicit X11WindowAccess(X11Connection* connection) : m_connection(connection) {}

    bool canWorkWithWindows(bool mayPrompt) override;

private:
    X11Connection* m_connection;
};

} // namespace tavelor::x11
