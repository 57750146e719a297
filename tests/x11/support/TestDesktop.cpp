#include "support/TestDesktop.hpp"

#include "Platform/X11/XcbPointers.hpp"

#include <QCoreApplication>
#include <QThread>

namespace tavelor::x11::testing {

FixtureClient::FixtureClient(const QStringList& arguments)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(TAVELOR_FIXTURE_CLIENT), arguments);
    // Window ids, one a line, then "ready".
    while (m_process.waitForStarted(10000) &&
           (m_process.canReadLine() || m_process.waitForReadyRead(15000))) {
        bool ok = false;
        const QByteArray line = m_process.readLine().trimmed();
        if (line == "ready")
            break;
        if (const uint id = line.toUInt(&ok, 16); ok)
            m_windows.push_back(id);
    }
}

FixtureClient::~FixtureClient()
{
    m_process.kill();
    m_process.waitForFinished(5000);
}

namespace {

// A reply, its error dropped rather than queued as an event; the events
// that came in meanwhile go to the listeners.
template <typename ReplyFn, typename Cookie>
auto ask(X11Connection& connection, ReplyFn replyFn, Cookie cookie)
{
    xcb_generic_error_t* error = nullptr;
    XcbPtr<std::remove_pointer_t<decltype(replyFn(connection.get(), cookie, &error))>> reply(
        replyFn(connection.get(), cookie, &error));
    std::free(error);
    connection.dispatchPendingEvents();
    return reply;
}

QByteArray property(X11Connection& connection, xcb_window_t window, xcb_atom_t name,
                    xcb_atom_t type)
{
    const auto reply = ask(connection, xcb_get_property_reply,
                           xcb_get_property(connection.get(), 0, window, name, type, 0, 1 << 16));
    if (!reply)
        return {};
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

} // namespace

std::vector<xcb_window_t> clientList(X11Connection& connection)
{
    const QByteArray bytes = property(connection, connection.root(),
                                      connection.atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW);
    const auto* data = reinterpret_cast<const xcb_window_t*>(bytes.constData());
    return {data, data + bytes.size() / 4};
}

std::optional<WindowFrame> wmFrame(X11Connection& connection, xcb_window_t window)
{
    xcb_window_t current = window;
    for (int depth = 0; depth < 16; ++depth) {
        const auto tree =
            ask(connection, xcb_query_tree_reply, xcb_query_tree(connection.get(), current));
        if (!tree)
            return std::nullopt;
        if (tree->parent == tree->root)
            break;
        current = tree->parent;
    }
    const auto geometry =
        ask(connection, xcb_get_geometry_reply, xcb_get_geometry(connection.get(), current));
    if (!geometry)
        return std::nullopt;
    const double border = 2.0 * geometry->border_width;
    return WindowFrame{double(geometry->x), double(geometry->y), geometry->width + border,
                       geometry->height + border};
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        QCoreApplication::processEvents();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QThread::msleep(2);
    }
}

} // namespace tavelor::x11::testing
