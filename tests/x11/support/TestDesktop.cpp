#include "support/TestDesktop.hpp"

#include "Platform/X11/XcbPointers.hpp"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>

namespace tavelor::x11::testing {

Child::Child(const QString& program, const QStringList& arguments)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The tests pick a locale for Tavelor's desktop entry names; X clients
    // would only warn that the C library lacks it.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LANG", "LC_ALL", "LC_MESSAGES"})
        environment.remove(QString::fromLatin1(name));
    m_process.setProcessEnvironment(environment);
    m_process.start(program, arguments);
    m_process.waitForStarted(10000);
}

Child::~Child()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(5000);
}

QStringList Child::linesUntil(const QString& last)
{
    QStringList lines;
    while (lines.isEmpty() || lines.back() != last) {
        if (!m_process.canReadLine() && !m_process.waitForReadyRead(15000))
            break;
        lines << QString::fromUtf8(m_process.readLine()).trimmed();
    }
    return lines;
}

void Child::writeLine(const QString& line)
{
    m_process.write((line + u'\n').toUtf8());
    m_process.waitForBytesWritten(5000);
}

FixtureClient::FixtureClient(const QStringList& arguments)
    : m_child(QStringLiteral(TAVELOR_FIXTURE_CLIENT), arguments)
{
    for (const QString& line : m_child.linesUntil(QStringLiteral("ready"))) {
        bool ok = false;
        const uint id = line.toUInt(&ok, 16);
        if (ok)
            m_windows.push_back(id);
    }
}

void FixtureClient::destroyAll()
{
    m_child.writeLine(QStringLiteral("destroy-all"));
    m_child.linesUntil(QStringLiteral("destroyed"));
    m_windows.clear();
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

xcb_window_t waitForNewClient(X11Connection& connection, const std::vector<xcb_window_t>& before,
                              const QString& className)
{
    xcb_window_t found = XCB_WINDOW_NONE;
    waitUntil(
        [&] {
            for (xcb_window_t w : clientList(connection)) {
                const QList<QByteArray> wmClass =
                    property(connection, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING).split('\0');
                if (std::find(before.begin(), before.end(), w) == before.end() &&
                    wmClass.size() > 1 && wmClass[1] == className.toLatin1()) {
                    found = w;
                    return true;
                }
            }
            return false;
        },
        std::chrono::seconds(15));
    return found;
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

std::optional<WindowFrame> clientArea(X11Connection& connection, xcb_window_t window)
{
    const auto geometry =
        ask(connection, xcb_get_geometry_reply, xcb_get_geometry(connection.get(), window));
    const auto origin =
        ask(connection, xcb_translate_coordinates_reply,
            xcb_translate_coordinates(connection.get(), window, connection.root(), 0, 0));
    if (!geometry || !origin)
        return std::nullopt;
    return WindowFrame{double(origin->dst_x), double(origin->dst_y), double(geometry->width),
                       double(geometry->height)};
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
