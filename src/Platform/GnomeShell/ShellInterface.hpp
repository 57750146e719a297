#pragma once

#include <QDBusMessage>
#include <QString>
#include <QVariantList>

namespace tavelor::gnomeshell {

/// Where Tavelor's GNOME Shell extension answers on the session bus.
inline const QString shellService = QStringLiteral("io.github.tavelor.Shell");
inline const QString shellPath = QStringLiteral("/io/github/tavelor/Shell");
inline const QString shellInterface = QStringLiteral("io.github.tavelor.Shell");

/// The longest a call to the extension may block the main thread. The shell
/// answers a listing of 100 windows in a few milliseconds; a shell that takes
/// longer is stuck, and Tavelor goes on as if it had no windows.
inline constexpr int shellCallTimeoutMs = 2000;

/// The extension refuses a whole batch with a coordinate beyond this or a
/// size not above zero, so such frames are never sent.
inline constexpr int maxShellCoordinate = 1000000;

/// Calls `method` of the extension and waits for the answer, at most
/// shellCallTimeoutMs. The reply is an error message when the extension is
/// not there, refused, or did not answer in time.
QDBusMessage callShell(const QString& method, const QVariantList& arguments = {});

/// Whether the extension is on the bus now (enabled in a running shell).
bool shellAnswers();

} // namespace tavelor::gnomeshell
