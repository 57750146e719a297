#include "UI/TrayMenuPath.hpp"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QSystemTrayIcon>

namespace tavelor {

MenuLabels trayMenuLabels()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return MenuLabels::Widgets;
    // Qt reads the property through a QDBusInterface too, so a watcher that
    // does not introspect it is an XEmbed desktop for both of us.
    QDBusInterface watcher(
        QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.kde.StatusNotifierWatcher"), QDBusConnection::sessionBus());
    if (watcher.isValid() && watcher.property("IsStatusNotifierHostRegistered").toBool())
        return MenuLabels::DBusMenu;
    return MenuLabels::Widgets;
}

} // namespace tavelor
