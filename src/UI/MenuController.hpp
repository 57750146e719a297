#pragma once

#include "Models/WindowProfile.hpp"
#include "Models/WindowSnapshot.hpp"
#include "Services/HotKeyService.hpp"
#include "Services/ProfileStore.hpp"
#include "Services/WindowRestorer.hpp"
#include "Services/WindowScanner.hpp"
#include "UI/MenuText.hpp"

#include <QList>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUuid>

#include <memory>

class QAction;

namespace tavelor {
class ShortcutSettingsController;
}

namespace tavelor {

namespace platform {
class Backend;
}

/// The one controller of the tray program: owns the services and the working
/// list of profiles, builds the whole status menu and answers every command
/// of it. Main thread only.
///
/// The profiles file is the source of truth: refresh() reloads the list from
/// it before it rebuilds the menu, and every command that changes profiles
/// writes the whole list and rebuilds the menu (when it still exists), so the
/// menu always shows what the file holds.
///
/// Menu items carry what their command needs in QAction::data(): a profile's
/// item and the "Set as Active", "Deactivate", "Rename..." and "Delete" items
/// its id (a QUuid), each item under "Remove App" a RemoveAppRef. A command
/// that finds anything else there, or an id that is not in the list, does
/// nothing.
class MenuController final : public QObject {
    Q_OBJECT

public:
    /// What identifies one saved window of one profile, for "Remove App".
    struct RemoveAppRef {
        QUuid profileID;
        WindowSnapshot snapshot;
    };

    /// Where the profiles file and the user's settings live.
    struct Locations {
        /// The folder of profiles.json.
        QString profilesFolder;
        /// The INI file with the shortcut (hotKeyKeyCode, hotKeyModifiers).
        QString defaultsFile;
        /// $XDG_DATA_HOME/Tavelor and $XDG_CONFIG_HOME/Tavelor/Tavelor.conf.
        static Locations standard();
    };

    /// Makes the store (and its folder), scanner, restorer and hot key service,
    /// installs the shortcut's command and registers the saved shortcut.
    /// Neither reads the profiles file nor touches a menu. `backend` must
    /// outlive the controller.
    explicit MenuController(platform::Backend& backend,
                            const Locations& locations = Locations::standard());
    ~MenuController() override;
    MenuController(const MenuController&) = delete;
    MenuController& operator=(const MenuController&) = delete;

    /// The status menu, held weakly: commands rebuild it while it exists.
    void setMenu(QMenu* menu) { m_menu = menu; }
    QMenu* menu() const { return m_menu; }

    /// How names are written into labels so that they show as stored; for
    /// the menu QMenu draws unless told otherwise. Takes effect at the next
    /// refresh().
    void setMenuLabels(MenuLabels labels) { m_labels = labels; }

    /// Reloads the list from the file, empties `menu` and fills it anew.
    void refresh(QMenu* menu);
    /// The same, for a menu whose labels are drawn by `labels` (a popup of
    /// our own beside an exported tray menu).
    void refresh(QMenu* menu, MenuLabels labels);

    const QList<WindowProfile>& profiles() const { return m_profiles; }
    HotKeyService& hotKeyService() { return m_hotKeyService; }
    ProfileStore& store() { return m_store; }
    const Locations& locations() const { return m_locations; }

    // Commands. Those taking an action read what the chosen item carries.
    void saveLayout();
    void applyProfile(QAction* sender);
    void setActiveProfile(QAction* sender);
    void deactivateProfile(QAction* sender);
    /// The shortcut's command: applies the first active profile of the file.
    void applyActiveProfile();
    /// Applies the first profile of the file marked to follow its monitors
    /// whose monitors are `connected`'s, as the shortcut would, but says
    /// nothing when windows cannot be moved: nobody asked for it just now.
    void applyForDisplays(const DisplaySetup& connected);
    /// Marks the profile `sender` carries to follow its monitors when
    /// `sender` was built unchecked, unmarks it otherwise.
    void toggleApplyOnDisplayConnect(QAction* sender);
    void renameProfile(QAction* sender);
    void deleteProfile(QAction* sender);
    void removeApp(QAction* sender);
    /// Opens the shortcut window, made on first use and kept from then on, and
    /// brings it to the front; its changes rebuild the menu.
    void openShortcutSettings();
    /// Registers the login item when `sender` was built unchecked, removes it
    /// otherwise; then rebuilds the menu.
    void toggleLaunchAtLogin(QAction* sender);
    /// Whether the shortcut window is recording: every key goes to it then.
    bool isRecordingShortcut() const;
    /// Null until the shortcut window was first opened.
    ShortcutSettingsController* shortcutSettingsController() const
    {
        return m_shortcutSettingsController.get();
    }

    /// The gate before windows are read or moved: the silent query, then the
    /// prompting one, then the alert. False when the command must stop.
    bool checkAccessibilityPermission();
    void showAccessibilityAlert();

private:
    using Command = void (MenuController::*)(QAction*);
    using PlainCommand = void (MenuController::*)();

    void fill(QMenu* menu);
    QAction* addCommand(QMenu* menu, const QString& title, Command command);
    QAction* addCommand(QMenu* menu, const QString& title, PlainCommand command);
    void addProfileItem(QMenu* menu, const WindowProfile& profile);
    void fillRemoveAppMenu(QMenu* submenu, const WindowProfile& profile);
    QString shortcutTitle() const;
    void saveAndRefresh();
    /// Rebuilds the status menu when it still exists.
    void refreshMenuIfShown();
    /// The position in the list of the profile with the id `sender` carries.
    qsizetype indexOfProfile(QAction* sender) const;
    qsizetype indexOfProfile(const QUuid& id) const;

    platform::Backend& m_backend;
    Locations m_locations;
    ProfileStore m_store;
    WindowScanner m_scanner;
    WindowRestorer m_restorer;
    HotKeyService m_hotKeyService;
    QList<WindowProfile> m_profiles;
    QPointer<QMenu> m_menu;
    MenuLabels m_labels = MenuLabels::Widgets;
    // Last, so that it goes before the hot key service it works on.
    std::unique_ptr<ShortcutSettingsController> m_shortcutSettingsController;
};

} // namespace tavelor

Q_DECLARE_METATYPE(tavelor::MenuController::RemoveAppRef)
