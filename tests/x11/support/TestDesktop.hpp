#pragma once

#include "Platform/X11/X11Connection.hpp"

#include <QProcess>
#include <QStringList>

#include <xcb/xcb.h>

#include <chrono>
#include <functional>
#include <vector>

// What the X11 tests and benchmarks need around the code under test: our
// fixture client, and what the window manager itself shows.

namespace tavelor::x11::testing {

/// Our fixture client with the windows its arguments ask for, killed when
/// this goes.
class FixtureClient {
public:
    /// Starts it and waits until the window manager manages every window.
    explicit FixtureClient(const QStringList& arguments);
    ~FixtureClient();
    const std::vector<xcb_window_t>& windows() const { return m_windows; }

private:
    QProcess m_process;
    std::vector<xcb_window_t> m_windows;
};

/// A property of 32-bit values (cardinals, atoms, windows); empty when unset.
std::vector<std::uint32_t> cardinals(X11Connection& connection, xcb_window_t window,
                                     const char* name);

/// The client windows the window manager lists, in _NET_CLIENT_LIST order.
std::vector<xcb_window_t> clientList(X11Connection& connection);

/// Runs a shell command, as the user's own tools: e.g. "xdotool key ctrl+alt+t".
int run(const QString& command);

/// Pumps Qt's events (and so the connection's) until `done` or the timeout.
bool waitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(5));

} // namespace tavelor::x11::testing
