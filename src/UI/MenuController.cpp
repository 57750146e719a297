#include "UI/MenuController.hpp"

#include "Models/CanonicalText.hpp"
#include "Models/ReferenceDate.hpp"
#include "Platform/Backend.hpp"
#include "Platform/Displays.hpp"
#include "Platform/KeyEventTranslator.hpp"
#include "Platform/LoginItems.hpp"
#include "Services/AccessibilityPermission.hpp"
#include "Services/HotKeyStore.hpp"
#include "Services/LoginItemService.hpp"
#include "UI/Alert.hpp"
#include "UI/AlertSound.hpp"
#include "UI/MenuText.hpp"
#include "UI/ShortcutNotice.hpp"
#include "UI/ShortcutSettingsController.hpp"

#include <QAction>
#include <QCoreApplication>
#include <QHash>
#include <QKeySequence>
#include <QSettings>
#include <QStandardPaths>

namespace tavelor {

namespace {

std::optional<QUuid> profileIdOf(const QAction* action)
{
    if (!action)
        return std::nullopt;
    const QVariant data = action->data();
    // Exactly a QUuid: a string that happens to spell an id is another kind.
    if (data.metaType() != QMetaType::fromType<QUuid>())
        return std::nullopt;
    return data.value<QUuid>();
}

std::optional<MenuController::RemoveAppRef> removeAppRefOf(const QAction* action)
{
    if (!action)
        return std::nullopt;
    const QVariant data = action->data();
    if (data.metaType() != QMetaType::fromType<MenuController::RemoveAppRef>())
        return std::nullopt;
    return data.value<MenuController::RemoveAppRef>();
}

} // namespace

MenuController::Locations MenuController::Locations::standard()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return {data + QStringLiteral("/Tavelor"), config + QStringLiteral("/Tavelor/Tavelor.conf")};
}

MenuController::MenuController(platform::Backend& backend, const Locations& locations)
    : m_backend(backend), m_locations(locations), m_store(locations.profilesFolder),
      m_scanner(backend.windowSource()), m_restorer(backend.windowSource(), &backend.displays()),
      m_hotKeyService(backend.globalShortcuts(), backend.keyboardLayout())
{
    // The service outlives no controller in practice, but a trigger posted to
    // the event loop may run after the controller is gone.
    m_hotKeyService.setOnTrigger([self = QPointer<MenuController>(this)] {
        if (self)
            self->applyActiveProfile();
    });

    QSettings defaults(m_locations.defaultsFile, QSettings::IniFormat);
    // The settings keep the shortcut either way: the user decides what to do.
    if (const std::optional<HotKey> hotKey = HotKeyStore::load(defaults);
        hotKey && !m_hotKeyService.registerHotKey(*hotKey))
        ShortcutNotice::couldNotRegister(m_hotKeyService.displayName(*hotKey),
                                         m_hotKeyService.lastGrabResult() ==
                                             HotKeyService::GrabResult::Taken);
}

MenuController::~MenuController() = default;

// Building the menu.

void MenuController::refresh(QMenu* menu)
{
    refresh(menu, m_labels);
}

void MenuController::refresh(QMenu* menu, MenuLabels labels)
{
    const MenuLabels previous = std::exchange(m_labels, labels);
    m_profiles = m_store.load();
    fill(menu);
    m_labels = previous;
}

void MenuController::fill(QMenu* menu)
{
    if (!menu)
        return;
    // Submenus are children of the menu and the actions belong to it, so
    // clear() drops last time's items and submenus with them.
    menu->clear();
    for (QMenu* old : menu->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
        delete old;

    addCommand(menu, localized("Save Layout..."), &MenuController::saveLayout);
    menu->addSeparator();

    if (m_profiles.isEmpty()) {
        QAction* none = menu->addAction(localized("No profiles yet"));
        none->setEnabled(false);
    }
    for (const WindowProfile& profile : std::as_const(m_profiles))
        addProfileItem(menu, profile);
    menu->addSeparator();

    addCommand(menu, shortcutTitle(), &MenuController::openShortcutSettings);

    QAction* login =
        addCommand(menu, localized("Launch at Login"), &MenuController::toggleLaunchAtLogin);
    login->setCheckable(true);
    login->setChecked(m_backend.loginItems().status() == platform::LoginItemStatus::Enabled);

    menu->addSeparator();
    QAction* quit = menu->addAction(localized("Quit"));
    quit->setShortcut(QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, QCoreApplication::instance(), &QCoreApplication::quit,
            Qt::QueuedConnection);
}

QAction* MenuController::addCommand(QMenu* menu, const QString& title, PlainCommand command)
{
    QAction* action = menu->addAction(title);
    connect(action, &QAction::triggered, this, [this, command] { (this->*command)(); });
    return action;
}

QAction* MenuController::addCommand(QMenu* menu, const QString& title, Command command)
{
    QAction* action = menu->addAction(title);
    connect(action, &QAction::triggered, this, [this, action, command] {
        // Choosing a checkable item flips its check mark before the command
        // runs; the mark stays what the menu was built with until the next
        // rebuild, and commands read it as built.
        if (action->isCheckable())
            action->setChecked(!action->isChecked());
        (this->*command)(action);
    });
    return action;
}

void MenuController::addProfileItem(QMenu* menu, const WindowProfile& profile)
{
    const QVariant id = QVariant::fromValue(profile.id);
    QAction* item =
        addCommand(menu, menuItemText(profile.name, m_labels), &MenuController::applyProfile);
    item->setData(id);
    if (profile.isActive) {
        item->setCheckable(true);
        item->setChecked(true);
    }

    auto* submenu = new QMenu(menu);
    // Panels and QMenu open the submenu of the profile's item instead of
    // firing it, so the profile is applied from its own "Apply".
    addCommand(submenu, localized("Apply"), &MenuController::applyProfile)->setData(id);
    QAction* activation =
        profile.isActive
            ? addCommand(submenu, localized("Deactivate"), &MenuController::deactivateProfile)
            : addCommand(submenu, localized("Set as Active"), &MenuController::setActiveProfile);
    activation->setData(id);
    // Only a profile that knows its monitors can follow them.
    if (profile.displays) {
        QAction* follow = addCommand(submenu, localized("Apply When These Displays Connect"),
                                     &MenuController::toggleApplyOnDisplayConnect);
        follow->setCheckable(true);
        follow->setChecked(profile.applyOnDisplayConnect);
        follow->setData(id);
    }
    submenu->addSeparator();
    addCommand(submenu, localized("Rename..."), &MenuController::renameProfile)->setData(id);
    if (!profile.snapshots.isEmpty()) {
        auto* apps = new QMenu(submenu);
        fillRemoveAppMenu(apps, profile);
        QAction* remove = submenu->addAction(localized("Remove App"));
        remove->setMenu(apps);
    }
    submenu->addSeparator();
    addCommand(submenu, localized("Delete"), &MenuController::deleteProfile)->setData(id);
    item->setMenu(submenu);
}

void MenuController::fillRemoveAppMenu(QMenu* submenu, const WindowProfile& profile)
{
    // Keys count as one under canonical equivalence; each item still shows its
    // own snapshot's name as stored.
    const QString unknown = localized("Unknown app");
    auto keyOf = [&](const WindowSnapshot& s) { return s.appName ? *s.appName : unknown; };
    QHash<QString, int> totals;
    for (const WindowSnapshot& snapshot : profile.snapshots)
        ++totals[keyOf(snapshot).normalized(QString::NormalizationForm_C)];
    QHash<QString, int> seen;
    for (const WindowSnapshot& snapshot : profile.snapshots) {
        const QString key = keyOf(snapshot);
        const QString normalized = key.normalized(QString::NormalizationForm_C);
        const int ordinal = ++seen[normalized];
        QString title = key;
        if (totals.value(normalized) != 1)
            title += QStringLiteral(" (") + QString::number(ordinal) + QLatin1Char(')');
        QAction* item =
            addCommand(submenu, menuItemText(title, m_labels), &MenuController::removeApp);
        item->setData(QVariant::fromValue(RemoveAppRef{profile.id, snapshot}));
    }
}

QString MenuController::shortcutTitle() const
{
    QString title = localized("Raccourci clavier…");
    if (const std::optional<HotKey>& hotKey = m_hotKeyService.currentHotKey())
        title += QStringLiteral(" (") +
                 menuItemText(m_hotKeyService.displayName(*hotKey), m_labels) + QLatin1Char(')');
    return title;
}

void MenuController::saveAndRefresh()
{
    m_store.save(m_profiles);
    if (m_menu)
        refresh(m_menu);
}

qsizetype MenuController::indexOfProfile(QAction* sender) const
{
    const std::optional<QUuid> id = profileIdOf(sender);
    return id ? indexOfProfile(*id) : -1;
}

qsizetype MenuController::indexOfProfile(const QUuid& id) const
{
    for (qsizetype i = 0; i < m_profiles.size(); ++i) {
        if (m_profiles[i].id == id)
            return i;
    }
    return -1;
}

// The permission gate.

bool MenuController::checkAccessibilityPermission()
{
    if (AccessibilityPermission::isTrusted(m_backend.windowAccess()))
        return true;
    if (AccessibilityPermission::isTrustedPrompting(m_backend.windowAccess()))
        return true;
    showAccessibilityAlert();
    return false;
}

void MenuController::showAccessibilityAlert()
{
    // What Tavelor needs differs between sessions; each table says it for its
    // own, chosen by the backend's name.
    const QByteArray session = m_backend.name().toUtf8();
    Alert alert;
    alert.messageText = localized("Accessibility Permission Required", session.constData());
    alert.informativeText =
        localized("Tavelor needs Accessibility permission to scan and move windows. Please enable "
                  "it in System Settings > Privacy & Security > Accessibility.",
                  session.constData());
    alert.style = Alert::Style::Warning;
    alert.addButton(localized("OK"));
    alert.runModal();
}

// Saving a layout.

void MenuController::saveLayout()
{
    if (!checkAccessibilityPermission())
        return;

    Alert alert;
    alert.messageText = localized("Save Current Layout");
    alert.informativeText = localized("Enter a name for this profile:");
    alert.style = Alert::Style::Informational;
    alert.setTextField(QString());
    alert.addButton(localized("Save"));
    alert.addButton(localized("Cancel"));
    if (alert.runModal() != Alert::kFirstButtonReturn)
        return;
    const QString name = alert.textFieldString().trimmed();
    if (name.isEmpty())
        return;

    WindowProfile profile;
    for (const WindowScanner::ScanResult& result : m_scanner.scan())
        profile.snapshots.append(result.snapshot);
    profile.id = QUuid::createUuid();
    profile.name = name;
    profile.isActive = false;
    // One reading of the clock: a new profile was created when it was last updated.
    profile.createdAt = profile.updatedAt = nowSinceReferenceDate();
    DisplaySetup displays = m_backend.displays().currentSetup();
    if (!displays.monitors.isEmpty())
        profile.displays = std::move(displays);
    m_profiles.append(std::move(profile));
    saveAndRefresh();
}

// Applying and activating.

void MenuController::applyProfile(QAction* sender)
{
    const qsizetype index = indexOfProfile(sender);
    if (index < 0)
        return;
    // The alert runs an event loop that may rebuild the list: keep a copy.
    const WindowProfile profile = m_profiles[index];
    if (!checkAccessibilityPermission())
        return;
    m_restorer.apply(profile);
}

void MenuController::setActiveProfile(QAction* sender)
{
    const std::optional<QUuid> chosen = profileIdOf(sender);
    if (!chosen || indexOfProfile(*chosen) < 0)
        return;
    const QUuid id = *chosen;
    if (!checkAccessibilityPermission())
        return;
    QList<WindowProfile> fresh = m_store.load();
    for (WindowProfile& profile : fresh)
        profile.isActive = profile.id == id;
    m_store.save(fresh);
    m_profiles = m_store.load();
    if (m_menu)
        refresh(m_menu);
}

void MenuController::deactivateProfile(QAction* /*sender*/)
{
    QList<WindowProfile> fresh = m_store.load();
    for (WindowProfile& profile : fresh)
        profile.isActive = false;
    m_store.save(fresh);
    m_profiles = m_store.load();
    if (m_menu)
        refresh(m_menu);
}

void MenuController::applyActiveProfile()
{
    m_profiles = m_store.load();
    if (!AccessibilityPermission::isTrusted(m_backend.windowAccess())) {
        AlertSound::beep();
        return;
    }
    for (const WindowProfile& profile : std::as_const(m_profiles)) {
        if (profile.isActive) {
            m_restorer.apply(WindowProfile(profile));
            return;
        }
    }
    AlertSound::beep();
}

void MenuController::applyForDisplays(const DisplaySetup& connected)
{
    m_profiles = m_store.load();
    for (const WindowProfile& profile : std::as_const(m_profiles)) {
        if (profile.applyOnDisplayConnect && profile.displays &&
            profile.displays->isSameSetup(connected)) {
            if (AccessibilityPermission::isTrusted(m_backend.windowAccess()))
                m_restorer.apply(WindowProfile(profile));
            return;
        }
    }
}

void MenuController::toggleApplyOnDisplayConnect(QAction* sender)
{
    const std::optional<QUuid> chosen = profileIdOf(sender);
    if (!chosen)
        return;
    const bool mark = !sender->isChecked();
    QList<WindowProfile> fresh = m_store.load();
    for (WindowProfile& profile : fresh) {
        if (profile.id == *chosen)
            profile.applyOnDisplayConnect = mark;
    }
    m_store.save(fresh);
    m_profiles = m_store.load();
    if (m_menu)
        refresh(m_menu);
}

// Editing profiles.

void MenuController::renameProfile(QAction* sender)
{
    const qsizetype index = indexOfProfile(sender);
    if (index < 0)
        return;
    const QUuid id = m_profiles[index].id;

    Alert alert;
    alert.messageText = localized("Rename Profile");
    alert.informativeText = localized("Enter a new name:");
    alert.style = Alert::Style::Informational;
    alert.setTextField(m_profiles[index].name);
    alert.addButton(localized("Rename"));
    alert.addButton(localized("Cancel"));
    if (alert.runModal() != Alert::kFirstButtonReturn)
        return;
    const QString name = alert.textFieldString().trimmed();
    if (name.isEmpty())
        return;
    // The dialog's event loop could have let the list change under it; address
    // the profile where it was, but only if it is still the same one.
    if (index >= m_profiles.size() || m_profiles[index].id != id)
        return;
    m_profiles[index].name = name;
    m_profiles[index].updatedAt = nowSinceReferenceDate();
    saveAndRefresh();
}

void MenuController::deleteProfile(QAction* sender)
{
    const qsizetype index = indexOfProfile(sender);
    if (index < 0)
        return;
    m_profiles.removeAt(index);
    saveAndRefresh();
}

void MenuController::removeApp(QAction* sender)
{
    const std::optional<RemoveAppRef> ref = removeAppRefOf(sender);
    if (!ref)
        return;
    const qsizetype index = indexOfProfile(ref->profileID);
    if (index < 0)
        return;
    WindowProfile& profile = m_profiles[index];
    profile.snapshots.removeIf([&](const WindowSnapshot& s) { return s == ref->snapshot; });
    profile.updatedAt = nowSinceReferenceDate();
    saveAndRefresh();
}

// The shortcut window and the login item.

void MenuController::openShortcutSettings()
{
    if (!m_shortcutSettingsController)
        m_shortcutSettingsController = std::make_unique<ShortcutSettingsController>(
            m_hotKeyService, m_backend.keyEventTranslator(), m_backend.keyboardGrab(),
            m_locations.defaultsFile);
    m_shortcutSettingsController->onChange = [self = QPointer<MenuController>(this)] {
        if (MenuController* controller = self.data())
            controller->refreshMenuIfShown();
    };
    m_shortcutSettingsController->showWindow();
}

bool MenuController::isRecordingShortcut() const
{
    return m_shortcutSettingsController && m_shortcutSettingsController->isCapturing();
}

void MenuController::toggleLaunchAtLogin(QAction* sender)
{
    const bool wasOn = sender && sender->isChecked();
    LoginItemService::setEnabled(m_backend.loginItems(), !wasOn);
    refreshMenuIfShown();
}

void MenuController::refreshMenuIfShown()
{
    if (QMenu* menu = m_menu.data())
        refresh(menu);
}

} // namespace tavelor
