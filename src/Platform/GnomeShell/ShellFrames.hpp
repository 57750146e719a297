#pragma once

#include <QList>
#include <QMetaType>
#include <QRect>
#include <QtGlobal>

#include <optional>

class QDBusArgument;

namespace tavelor::gnomeshell {

/// One frame asked of the shell: the window's id and where it goes.
struct ShellFrame {
    quint64 window = 0;
    QRect frame;
};

/// What the shell made of one asked frame: where the window is now (the shell
/// keeps windows below the top bar and pulls them on-screen), or nothing when
/// no such window exists any more.
struct AppliedFrame {
    quint64 window = 0;
    std::optional<QRect> frame;
};

QDBusArgument& operator<<(QDBusArgument& argument, const ShellFrame& frame);
const QDBusArgument& operator>>(const QDBusArgument& argument, ShellFrame& frame);

/// Sends the frames in one call and answers what each window ended at, in the
/// same order; nothing when the call failed (no extension, a frame it refused:
/// then no window moved).
std::optional<QList<AppliedFrame>> applyShellFrames(const QList<ShellFrame>& frames);

} // namespace tavelor::gnomeshell

Q_DECLARE_METATYPE(tavelor::gnomeshell::ShellFrame)
