#include "support/TestDesktop.hpp"

#include "Platform/X11/XcbPointers.hpp"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>

namespace tavelor {
void PrintTo(const WindowSnapshot& s, std::ostream* os)
{
    const auto text = [](const std::optional<QString>& t) {
        if (!t)
            return std::string("absent");
        return '"' + (t->size() > 80 ? t->left(80) + "..." : *t).toStdString() + '"';
    };
    *os << '{' << text(s.bundleIdentifier) << ", " << text(s.appName) << ", " << text(s.windowTitle)
        << ", ";
    PrintTo(s.frame, os);
    *os << '}';
}
} // namespace tavelor

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

bool Child::readUntil(const QString& last, QStringList& lines, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        while (m_process.canReadLine()) {
            const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
            lines << line;
            if (line == last)
                return true;
        }
        if (m_process.state() == QProcess::NotRunning)
            return false;
        m_process.waitForReadyRead(100);
    }
    return false;
}

void Child::writeLine(const QString& line)
{
    m_process.write((line + u'\n').toUtf8());
    m_process.waitForBytesWritten(5000);
}

FixtureClient::FixtureClient(const QStringList& arguments)
    : m_child(QStringLiteral(TAVELOR_FIXTURE_CLIENT), arguments)
{
    QStringList lines;
    m_child.readUntil(QStringLiteral("ready"), lines);
    for (const QString& line : lines) {
        bool ok = false;
        const uint id = line.toUInt(&ok, 16);
        if (ok)
            m_windows.push_back(id);
    }
}

void FixtureClient::destroyAll()
{
    m_child.writeLine(QStringLiteral("destroy-all"));
    QStringList lines;
    m_child.readUntil(QStringLiteral("destroyed"), lines);
    m_windows.clear();
}

std::vector<xcb_window_t> clientList(X11Connection& connection)
{
    xcb_connection_t* c = connection.get();
    XcbPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c,
        xcb_get_property(c, 0, connection.root(), connection.atom("_NET_CLIENT_LIST"),
                         XCB_ATOM_WINDOW, 0, 1 << 16),
        nullptr));
    connection.dispatchPendingEvents();
    if (!reply || reply->format != 32)
        return {};
    const auto* data = static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
    return {data, data + xcb_get_property_value_length(reply.get()) / 4};
}

namespace {

QString classOf(X11Connection& connection, xcb_window_t window)
{
    xcb_connection_t* c = connection.get();
    xcb_generic_error_t* error = nullptr;
    XcbPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256), &error));
    XcbPtr<xcb_generic_error_t> discard(error);
    if (!reply)
        return {};
    const QByteArray bytes(static_cast<const char*>(xcb_get_property_value(reply.get())),
                           xcb_get_property_value_length(reply.get()));
    const QList<QByteArray> parts = bytes.split('\0');
    return parts.size() > 1 ? QString::fromLatin1(parts[1]) : QString();
}

} // namespace

xcb_window_t waitForNewClient(X11Connection& connection, const std::vector<xcb_window_t>& before,
                              const QString& className)
{
    xcb_window_t found = XCB_WINDOW_NONE;
    waitUntil(
        [&] {
            for (xcb_window_t w : clientList(connection)) {
                if (std::find(before.begin(), before.end(), w) == before.end() &&
                    classOf(connection, w) == className) {
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
    xcb_connection_t* c = connection.get();
    xcb_window_t current = window;
    for (int depth = 0; depth < 16; ++depth) {
        xcb_generic_error_t* error = nullptr;
        XcbPtr<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(c, xcb_query_tree(c, current), &error));
        XcbPtr<xcb_generic_error_t> discard(error);
        if (!tree)
            return std::nullopt;
        if (tree->parent == tree->root)
            break;
        current = tree->parent;
    }
    xcb_generic_error_t* error = nullptr;
    XcbPtr<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, current), &error));
    XcbPtr<xcb_generic_error_t> discard(error);
    connection.dispatchPendingEvents();
    if (!geometry)
        return std::nullopt;
    const double border = 2.0 * geometry->border_width;
    return WindowFrame{double(geometry->x), double(geometry->y), geometry->width + border,
                       geometry->height + border};
}

std::optional<WindowFrame> clientArea(X11Connection& connection, xcb_window_t window)
{
    xcb_connection_t* c = connection.get();
    xcb_generic_error_t* error = nullptr;
    XcbPtr<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, window), &error));
    XcbPtr<xcb_generic_error_t> discard(error);
    error = nullptr;
    XcbPtr<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, window, connection.root(), 0, 0), &error));
    XcbPtr<xcb_generic_error_t> discard2(error);
    connection.dispatchPendingEvents();
    if (!geometry || !origin)
        return std::nullopt;
    return WindowFrame{double(origin->dst_x), double(origin->dst_y), double(geometry->width),
                       double(geometry->height)};
}

bool wmctrl(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("wmctrl"), arguments);
    return process.waitForFinished(10000) && process.exitCode() == 0;
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

ErrorCounter::ErrorCounter(X11Connection& connection) : m_connection(connection)
{
    m_listener = connection.addEventListener([count = m_count](const xcb_generic_event_t& event) {
        if (event.response_type == 0)
            ++*count;
        return false;
    });
}

ErrorCounter::~ErrorCounter()
{
    m_connection.removeEventListener(m_listener);
}

} // namespace tavelor::x11::testing
