#pragma once

#include "Models/WindowFrame.hpp"
#include "Models/WindowSnapshot.hpp"
#include "Platform/X11/X11Connection.hpp"

#include <QProcess>
#include <QString>
#include <QStringList>

#include <xcb/xcb.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

// What the X11 tests and benchmarks need around the code under test: real
// clients started and stopped, and what the window manager itself shows.

namespace tavelor::x11::testing {

/// A child X client, killed when this goes.
class Child {
public:
    Child(const QString& program, const QStringList& arguments);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    qint64 pid() const { return m_process.processId(); }
    /// Lines the child printed, up to and including `last` (fewer if it ends).
    QStringList linesUntil(const QString& last);
    void writeLine(const QString& line);

private:
    QProcess m_process;
};

/// Our fixture client with the windows its arguments ask for.
class FixtureClient {
public:
    /// Starts it and waits until the window manager manages every window.
    explicit FixtureClient(const QStringList& arguments);
    /// The same, arguments separated by spaces.
    explicit FixtureClient(const char* arguments)
        : FixtureClient(QString::fromUtf8(arguments).split(u' ', Qt::SkipEmptyParts))
    {}
    const std::vector<xcb_window_t>& windows() const { return m_windows; }
    qint64 pid() const { return m_child.pid(); }
    void destroyAll();

private:
    Child m_child;
    std::vector<xcb_window_t> m_windows;
};

/// The client windows the window manager lists, in _NET_CLIENT_LIST order.
std::vector<xcb_window_t> clientList(X11Connection& connection);

/// A real program's client window once the window manager lists one of the
/// given WM_CLASS class that was not in `before`; XCB_WINDOW_NONE on timeout.
xcb_window_t waitForNewClient(X11Connection& connection, const std::vector<xcb_window_t>& before,
                              const QString& className);

/// The frame as the window manager draws it: the geometry of the client's
/// top-level ancestor (the window manager's frame window), border included.
std::optional<WindowFrame> wmFrame(X11Connection& connection, xcb_window_t window);

/// The client's own origin in root coordinates and size (xwininfo's
/// "Absolute upper-left" and size).
std::optional<WindowFrame> clientArea(X11Connection& connection, xcb_window_t window);

/// Runs wmctrl with these arguments: its exit code.
inline int wmctrl(const QStringList& arguments)
{
    return QProcess::execute(QStringLiteral("wmctrl"), arguments);
}

/// Pumps Qt's events (and so the connection's) until `done` or the timeout.
bool waitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(5));

/// Counts X errors that reach the connection's event queue.
class ErrorCounter {
public:
    explicit ErrorCounter(X11Connection& connection)
        : m_connection(connection), m_listener(connection.addEventListener([this](const auto& e) {
              m_count += e.response_type == 0;
              return false;
          }))
    {}
    ~ErrorCounter() { m_connection.removeEventListener(m_listener); }
    ErrorCounter(const ErrorCounter&) = delete;
    ErrorCounter& operator=(const ErrorCounter&) = delete;
    int count() const { return m_count; }

private:
    X11Connection& m_connection;
    int m_count = 0;
    int m_listener;
};

} // namespace tavelor::x11::testing

namespace tavelor {
inline void PrintTo(const WindowFrame& f, std::ostream* os)
{
    *os << '{' << f.x << ' ' << f.y << ' ' << f.width << ' ' << f.height << '}';
}
} // namespace tavelor

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
