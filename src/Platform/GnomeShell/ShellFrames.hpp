#pragma once

#include <QList>
#include <QMetaType>
#include <QRect>
#include <QString>
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

/// As applyShellFrames, in the same one call, with the windows' workspace and
/// flags set around their frames and the windows raised in the order given
/// (the state text is the extension's JSON form of both).
bool applyShellLayout(const QList<ShellFrame>& frames, const QString& state);

} // namespace tavelor::gnomeshell

Q_DECLARE_METATYPE(tavelor::gnomeshell::ShellFrame)
