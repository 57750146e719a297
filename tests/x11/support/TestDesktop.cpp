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

std::vector<std::uint32_t> cardinals(X11Connection& connection, xcb_window_t window,
                                     const char* name)
{
    xcb_connection_t* c = connection.get();
    const XcbPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, connection.atom(name), XCB_ATOM_ANY, 0, 1 << 16),
        nullptr));
    if (!reply || reply->format != 32)
        return {};
    const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return {data, data + xcb_get_property_value_length(reply.get()) / 4};
}

std::vector<xcb_window_t> clientList(X11Connection& connection)
{
    auto windows = cardinals(connection, connection.root(), "_NET_CLIENT_LIST");
    connection.dispatchPendingEvents(); // what came in meanwhile goes to the listeners
    return windows;
}

int run(const QString& command)
{
    return QProcess::execute("sh", {"-c", command});
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
