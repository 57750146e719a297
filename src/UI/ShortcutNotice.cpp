#include "UI/ShortcutNotice.hpp"

#include "UI/DesktopNotification.hpp"

#include <QCoreApplication>

#include <cstdio>

namespace tavelor {

void ShortcutNotice::couldNotRegister(const QString& displayName, bool takenByAnotherProgram)
{
    const QString summary =
        QCoreApplication::translate("Tavelor", "The shortcut %1 does not work").arg(displayName);
    const QString body =
        takenByAnotherProgram
            ? QCoreApplication::translate("Tavelor", "Another program already uses %1. Record "
                                                     "another shortcut in the shortcut window.")
                  .arg(displayName)
            : QCoreApplication::translate("Tavelor", "%1 could not be registered. Record another "
                                                     "shortcut in the shortcut window.")
                  .arg(displayName);
    // The session's journal keeps stderr: one line, whatever the texts hold.
    QString line = QStringLiteral("Tavelor: %1. %2").arg(summary, body);
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    (void)std::fprintf(stderr, "%s\n", qUtf8Printable(line));
    (void)std::fflush(stderr);
    showDesktopNotification(summary, body);
}

void ShortcutNotice::taken(const QString& displayName)
{
    showDesktopNotification(
        QCoreApplication::translate("Tavelor", "The shortcut %1 is taken").arg(displayName),
        QCoreApplication::translate("Tavelor",
                                    "Another program already uses %1. Record another combination.")
            .arg(displayName));
}

} // namespace tavelor
