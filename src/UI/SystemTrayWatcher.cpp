#include "UI/SystemTrayWatcher.hpp"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace tavelor {

namespace {

const QString kWatcherName = QStringLiteral("org.kde.StatusNotifierWatcher");
constexpr int kXEmbedPollMs = 1000;

bool statusNotifierWatcherIsThere()
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    const QDBusConnectionInterface* daemon = bus.isConnected() ? bus.interface() : nullptr;
    return daemon && daemon->isServiceRegistered(kWatcherName).value();
}

bool xembedTrayIsThere()
{
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    // The tray of the screen the toolkit draws on: the DISPLAY's screen number.
    char* host = nullptr;
    int display = 0;
    int screen = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen))
        std::free(host);
    const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(screen);
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(
            connection,
            xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.c_str()),
            nullptr),
        &std::free);
    if (!atom)
        return false;
    const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom),
                                      nullptr),
        &std::free);
    return owner && owner->owner != XCB_NONE;
}

} // namespace

SystemTrayWatcher::SystemTrayWatcher(QObject* parent) : QObject(parent)
{
    m_xembedPoll.setInterval(kXEmbedPollMs);
    connect(&m_xembedPoll, &QTimer::timeout, this, &SystemTrayWatcher::check);
}

bool SystemTrayWatcher::isTrayThere()
{
    return statusNotifierWatcherIsThere() || xembedTrayIsThere();
}

void SystemTrayWatcher::watch()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        m_busWatcher.setConnection(bus);
        m_busWatcher.setWatchMode(QDBusServiceWatcher::WatchForRegistration);
        m_busWatcher.addWatchedService(kWatcherName);
        connect(&m_busWatcher, &QDBusServiceWatcher::serviceRegistered, this,
                &SystemTrayWatcher::check, Qt::UniqueConnection);
    }
    m_xembedPoll.start();
    // A tray may have come between the caller's look and the watch.
    check();
}

void SystemTrayWatcher::check()
{
    if (!m_xembedPoll.isActive() || !isTrayThere())
        return;
    m_xembedPoll.stop();
    m_busWatcher.removeWatchedService(kWatcherName);
    Q_EMIT trayAppeared();
}

} // namespace tavelor
