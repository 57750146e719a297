#pragma once

#include "UI/MenuController.hpp"

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
/// once launching has finished, the tray icon with its menu, filled before it
/// is attached. Owns both for the life of the process; the menu controller
/// holds the menu only weakly.
class AppDelegate final : public QObject {
    Q_OBJECT

public:
    /// `backend` must outlive the delegate.
    explicit AppDelegate(platform::Backend& backend, const MenuController::Locations& locations =
                                                         MenuController::Locations::standard());
    ~AppDelegate() override;

    /// Makes the tray icon and its menu; called once, from the event loop.
    void applicationDidFinishLaunching();

    MenuController& menuController() { return m_menuController; }
    /// Null until launching has finished.
    QSystemTrayIcon* statusItem() const { return m_statusItem.get(); }

private:
    void statusItemActivated(int reason);

    MenuController m_menuController;
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<QSystemTrayIcon> m_statusItem;
    MenuLabels m_labels = MenuLabels::Widgets;
};

} // namespace tavelor
