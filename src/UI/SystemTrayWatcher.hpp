#pragma once

#include <QDBusServiceWatcher>
#include <QObject>
#include <QTimer>

namespace tavelor {

/// Tells when a system tray is there to take Tavelor's icon, and when one
/// appears later: at login the panel often starts after Tavelor.
///
/// A tray is either a StatusNotifierWatcher on the session bus (the panels of
/// KDE, LXQt, Xfce, the GNOME AppIndicator extension) or an XEmbed tray, the
/// owner of the X selection _NET_SYSTEM_TRAY_S<screen>. Both are looked at
/// here, not through QSystemTrayIcon: the toolkit decides between the two kinds
/// once for the whole process, so it must not be asked before one of them is
/// there.
class SystemTrayWatcher final : public QObject {
    Q_OBJECT

public:
    explicit SystemTrayWatcher(QObject* parent = nullptr);

    /// Whether a tray of either kind is there now.
    static bool isTrayThere();

    /// Watches until a tray appears, then emits trayAppeared() once.
    void watch();

Q_SIGNALS:
    void trayAppeared();

private:
    void check();

    QDBusServiceWatcher m_busWatcher;
    // The XEmbed selection has no change notice we could wait for without
    // selecting events on the root window behind the toolkit's back.
    QTimer m_xembedPoll;
};

} // namespace tavelor
