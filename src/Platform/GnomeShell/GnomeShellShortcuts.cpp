#include "Platform/GnomeShell/GnomeShellShortcuts.hpp"

#include "Platform/GnomeShell/ShellAccelerator.hpp"
#include "Platform/GnomeShell/ShellInterface.hpp"

#include <QDBusConnection>
#include <QDBusServiceWatcher>

namespace tavelor::gnomeshell {

GnomeShellShortcuts::GnomeShellShortcuts()
    : m_watcher(new QDBusServiceWatcher(shellService, QDBusConnection::sessionBus(),
                                        QDBusServiceWatcher::WatchForRegistration, this))
{
    QDBusConnection::sessionBus().connect(shellService, shellPath, shellInterface,
                                          QStringLiteral("ShortcutPressed"), this,
                                          SLOT(onShortcutPressed()));
    connect(m_watcher, &QDBusServiceWatcher::serviceRegistered, this,
            &GnomeShellShortcuts::onShellAppeared);
}

platform::GlobalShortcuts::GrabResult GnomeShellShortcuts::grab(const HotKey& hotKey)
{
    release();
    const std::optional<QString> accelerator = shellAccelerator(hotKey);
    if (!accelerator)
        return GrabResult::NoSuchKey;
    const QDBusMessage reply = callShell(QStringLiteral("GrabShortcut"), {*accelerator});
    if (reply.type() == QDBusMessage::ReplyMessage) {
        m_held = hotKey;
        return GrabResult::Grabbed;
    }
    const QString error = reply.errorName();
    if (error.startsWith(shellInterface + QLatin1String(".Error.")))
        return GrabResult::Taken;
    return GrabResult::Unavailable;
}

void GnomeShellShortcuts::release()
{
    if (!m_held)
        return;
    m_held.reset();
    callShell(QStringLiteral("ReleaseShortcut"));
}

void GnomeShellShortcuts::setPressedHandler(std::function<void()> handler)
{
    m_pressed = std::move(handler);
}

void GnomeShellShortcuts::onShortcutPressed()
{
    if (m_held && m_pressed)
        m_pressed();
}

void GnomeShellShortcuts::onShellAppeared()
{
    // A new shell (or the extension enabled again) holds nothing of ours.
    if (const std::optional<HotKey> held = m_held) {
        m_held.reset();
        grab(*held);
    }
}

} // namespace tavelor::gnomeshell
