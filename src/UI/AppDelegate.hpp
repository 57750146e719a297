#pragma once

#include "Services/DisplayWatcher.hpp"
#include "UI/MenuController.hpp"
#include "UI/QuitShortcut.hpp"
#include "UI/SystemTrayWatcher.hpp"

#include <QObject>

#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace tavelor {

namespace platform {
class Backend;
}

/// The tray program's application object: makes the one MenuController when
/// it is made (so the saved shortcut works before the event loop runs) and,
/// once launching has finished and a system tray is there, the tray icon with
/// its menu, filled before it is attached. Owns both for the life of the
/// process; the menu controller holds the menu only weakly.
///
/// At login the panel often starts after Tavelor: without a tray at launch
/// the icon waits for one, and only when none has come kNoTrayNoticeDelayMs
/// after launch does one line on stderr say so.
class AppDelegate final : public QObject {
    Q_OBJECT

public:
    /// `backend` must outlive the delegate.
    explicit AppDelegate(platform::Backend& backend, const MenuController::Locations& locations =
                                                         MenuController::Locations::standard());
    ~AppDelegate() override;
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    /// How long a tray may take to appear before stderr says there is none.
    static constexpr int kNoTrayNoticeDelayMs = 5000;

    /// Makes the tray icon and its menu, at once or when a tray appears;
    /// called once, from the event loop.
    void applicationDidFinishLaunching();

    MenuController& menuController() { return m_menuController; }
    /// Null until launching has finished.
    QSystemTrayIcon* statusItem() const { return m_statusItem.get(); }

private:
    void makeStatusItem();
    void statusItemActivated(int reason);

    MenuController m_menuController;
    DisplayWatcher m_displayWatcher;
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<QSystemTrayIcon> m_statusItem;
    MenuLabels m_labels = MenuLabels::Widgets;
    SystemTrayWatcher m_trayWatcher;
    QuitShortcut m_quitShortcut;
};

} // namespace tavelor
