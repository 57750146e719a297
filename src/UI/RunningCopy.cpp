#include "UI/RunningCopy.hpp"

#include "UI/DesktopNotification.hpp"
#include "UI/MenuText.hpp"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace tavelor {

namespace {

const QString kServiceName = QStringLiteral("io.github.tavelor.Tavelor");
const QString kObjectPath = QStringLiteral("/io/github/tavelor/Tavelor");
// A running copy answers at once; one that hangs must not keep the second
// start from exiting.
constexpr int kAnswerTimeoutMs = 2000;

} // namespace

RunningCopy::~RunningCopy()
{
    if (!m_published)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(kObjectPath);
    bus.unregisterService(kServiceName);
}

bool RunningCopy::publish()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    if (!bus.registerObject(kObjectPath, this, QDBusConnection::ExportScriptableSlots))
        return false;
    if (!bus.registerService(kServiceName)) {
        bus.unregisterObject(kObjectPath);
        return false;
    }
    m_published = true;
    return true;
}

bool RunningCopy::askRunningCopyToShowItself()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    const QDBusMessage call = QDBusMessage::createMethodCall(
        kServiceName, kObjectPath, kServiceName, QStringLiteral("ShowAlreadyRunning"));
    return bus.call(call, QDBus::Block, kAnswerTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

void RunningCopy::ShowAlreadyRunning()
{
    showDesktopNotification(localized("Tavelor is already running"),
                            localized("Its menu is in the system tray."));
}

} // namespace tavelor
