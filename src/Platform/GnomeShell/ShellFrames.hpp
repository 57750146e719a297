#pragma once

#include <QList>
#include <QMetaType>
#include <QRect>
#include <QtGlobal>

class QDBusArgument;

namespace tavelor::gnomeshell {

/// One frame asked of the shell: the window's id and where it goes.
struct ShellFrame {
    quint64 window = 0;
    QRect frame;
};

QDBusArgument& operator<<(QDBusArgument& argument, const ShellFrame& frame);
const QDBusArgument& operator>>(const QDBusArgument& argument, ShellFrame& frame);

/// Sends the frames in one call, without waiting for the windows to get there.
/// The shell answers where each window is now, which Tavelor does not need:
/// the next listing tells. False when the call failed (no extension, or a frame
/// it refused: then no window moved).
bool applyShellFrames(const QList<ShellFrame>& frames);

} // namespace tavelor::gnomeshell

Q_DECLARE_METATYPE(tavelor::gnomeshell::ShellFrame)
