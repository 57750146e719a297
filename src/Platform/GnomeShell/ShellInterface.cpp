#include "Platform/GnomeShell/ShellInterface.hpp"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

namespace tavelor::gnomeshell {

QDBusMessage callShell(const QString& method, const QVariantList& arguments)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(shellService, shellPath, shellInterface, method);
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, shellCallTimeoutMs);
}

bool shellAnswers()
{
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    return bus != nullptr && bus->isServiceRegistered(shellService).value();
}

} // namespace tavelor::gnomeshell
