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

namespace {

bool call(const QString& method, const QVariantList& arguments)
{
    static const bool registered = [] {
        qDBusRegisterMetaType<ShellFrame>();
        qDBusRegisterMetaType<QList<ShellFrame>>();
        return true;
    }();
    (void)registered;
    return callShell(method, arguments).type() == QDBusMessage::ReplyMessage;
}

} // namespace

bool applyShellFrames(const QList<ShellFrame>& frames)
{
    return call(QStringLiteral("ApplyFrames"), {QVariant::fromValue(frames)});
}

bool applyShellLayout(const QList<ShellFrame>& frames, const QString& state)
{
    return call(QStringLiteral("ApplyLayout"), {QVariant::fromValue(frames), state});
}

} // namespace tavelor::gnomeshell
