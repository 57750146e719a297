#include "UI/AppDelegate.hpp"

#include "Platform/Backend.hpp"
#include "UI/TrayMenuPath.hpp"

#include <QCursor>
#include <QFont>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

#include <cstdio>

namespace tavelor {

namespace {

constexpr auto kIconResource = ":/icons/hicolor/scalable/apps/tavelor.svg";
constexpr int kIconSize = 22;

QIcon gridIcon()
{
    QIcon icon(QString::fromLatin1(kIconResource));
    // Without the SVG plugins the icon exists but draws nothing.
    if (icon.isNull() || icon.pixmap(kIconSize, kIconSize).isNull())
        return {};
    return icon;
}

QIcon letterIcon()
{
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(kIconSize - 4);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("T"));
    painter.end();
    return QIcon(pixmap);
}

} // namespace

AppDelegate::AppDelegate(platform::Backend& backend, const MenuController::Locations& locations)
    : m_menuController(backend, locations),
      m_displayWatcher(backend.displays(), backend.windowSource(), {}),
      m_quitShortcut([this] { return m_menuController.isRecordingShortcut(); })
{
    m_displayWatcher.onConnected = [this](const DisplaySetup& connected) {
        m_menuController.applyForDisplays(connected);
    };
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching()
{
    if (SystemTrayWatcher::isTrayThere()) {
        makeStatusItem();
        return;
    }
    connect(&m_trayWatcher, &SystemTrayWatcher::trayAppeared, this, &AppDelegate::makeStatusItem);
    m_trayWatcher.watch();
    QTimer::singleShot(kNoTrayNoticeDelayMs, this, [this] {
        if (!m_statusItem)
            (void)std::fputs("Tavelor: no system tray found, so its menu cannot be shown until one "
                             "starts; the shortcut works meanwhile.\n",
                             stderr);
    });
}

void AppDelegate::makeStatusItem()
{
    if (m_statusItem)
        return;
    m_labels = trayMenuLabels();
    m_menuController.setMenuLabels(m_labels);
    m_statusItem = std::make_unique<QSystemTrayIcon>();
    QIcon icon = gridIcon();
    m_statusItem->setIcon(icon.isNull() ? letterIcon() : icon);
    m_statusItem->setToolTip(QStringLiteral("Tavelor"));

    m_menu = std::make_unique<QMenu>();
    m_menuController.setMenu(m_menu.get());
    m_menuController.refresh(m_menu.get());
    m_statusItem->setContextMenu(m_menu.get());
    connect(m_statusItem.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { statusItemActivated(reason); });
    m_statusItem->show();
}

void AppDelegate::statusItemActivated(int reason)
{
    // A right click opens the context menu by itself; a left click is the
    // usual way to open a tray utility's only menu.
    if (reason != QSystemTrayIcon::Trigger || !m_menu)
        return;
    if (m_labels == MenuLabels::Widgets) {
        if (!m_menu->isVisible())
            m_menu->popup(QCursor::pos());
        return;
    }
    // The tray's own menu is exported for the panel to draw and cannot pop up
    // here; a panel that sends the left click to us gets a drawn copy, with
    // labels written for QMenu. It goes when it closes.
    auto* popup = new QMenu;
    popup->setAttribute(Qt::WA_DeleteOnClose);
    m_menuController.refresh(popup, MenuLabels::Widgets);
    popup->popup(QCursor::pos());
}

} // namespace tavelor
