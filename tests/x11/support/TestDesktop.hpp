#pragma once

#include "Models/WindowFrame.hpp"
#include "Platform/X11/X11Connection.hpp"

#include <QProcess>
#include <QString>
#include <QStringList>

#include <xcb/xcb.h>

#include <chrono>
#include <functional>
#include <optional>
#include <ostream>
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
    /// The same, arguments separated by spaces.
    explicit FixtureClient(const char* arguments)
        : FixtureClient(QString::fromUtf8(arguments).split(u' ', Qt::SkipEmptyParts))
    {}
    ~FixtureClient();
    FixtureClient(const FixtureClient&) = delete;
    FixtureClient& operator=(const FixtureClient&) = delete;
    const std::vector<xcb_window_t>& windows() const { return m_windows; }
    qint64 pid() const { return m_process.processId(); }

private:
    QProcess m_process;
    std::vector<xcb_window_t> m_windows;
};

/// The client windows the window manager lists, in _NET_CLIENT_LIST order.
std::vector<xcb_window_t> clientList(X11Connection& connection);

/// The frame as the window manager draws it: the geometry of the client's
/// top-level ancestor (the window manager's frame window), border included.
std::optional<WindowFrame> wmFrame(X11Connection& connection, xcb_window_t window);

/// Pumps Qt's events (and so the connection's) until `done` or the timeout.
bool waitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(5));

} // namespace tavelor::x11::testing

namespace tavelor {
inline void PrintTo(const WindowFrame& f, std::ostream* os)
{
    *os << '{' << f.x << ' ' << f.y << ' ' << f.width << ' ' << f.height << '}';
}
} // namespace tavelor
