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

std::optional<QList<AppliedFrame>> applyShellFrames(const QList<ShellFrame>& frames)
{
    static const bool registered = [] {
        qDBusRegisterMetaType<ShellFrame>();
        qDBusRegisterMetaType<QList<ShellFrame>>();
        return true;
    }();
    (void)registered;

    const QDBusMessage reply =
        callShell(QStringLiteral("ApplyFrames"), {QVariant::fromValue(frames)});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1 ||
        reply.signature() != QLatin1String("a(tbiiii)"))
        return std::nullopt;
    QList<AppliedFrame> applied;
    const auto results = reply.arguments().front().value<QDBusArgument>();
    results.beginArray();
    while (!results.atEnd()) {
        quint64 window = 0;
        bool found = false;
        qint32 x = 0, y = 0, width = 0, height = 0;
        results.beginStructure();
        results >> window >> found >> x >> y >> width >> height;
        results.endStructure();
        applied.append(
            {window, found ? std::optional<QRect>(QRect(x, y, width, height)) : std::nullopt});
    }
    results.endArray();
    return applied;
}

} // namespace tavelor::gnomeshell
