#include "Platform/GnomeShell/ShellFrames.hpp"

#include "Platform/GnomeShell/ShellInterface.hpp"

#include <QDBusArgument>
#include <QDBusMetaType>

namespace tavelor::gnomeshell {

QDBusArgument& operator<<(QDBusArgument& argument, const ShellFrame& frame)
{
    argument.beginStructure();
    argument << frame.window << qint32(frame.frame.x()) << qint32(frame.frame.y())
             << qint32(frame.frame.width()) << qint32(frame.frame.height());
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, ShellFrame& frame)
{
    qint32 x = 0, y = 0, width = 0, height = 0;
    argument.beginStructure();
    argument >> frame.window >> x >> y >> width >> height;
    argument.endStructure();
    frame.frame = QRect(x, y, width, height);
    return argument;
}

bool applyShellFrames(const QList<ShellFrame>& frames)
{
    static const bool registered = [] {
        qDBusRegisterMetaType<ShellFrame>();
        qDBusRegisterMetaType<QList<ShellFrame>>();
        return true;
    }();
    (void)registered;
    return callShell(QStringLiteral("ApplyFrames"), {QVariant::fromValue(frames)}).type() ==
           QDBusMessage::ReplyMessage;
}

} // namespace tavelor::gnomeshell
