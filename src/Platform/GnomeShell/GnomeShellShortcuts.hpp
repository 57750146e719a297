#pragma once

#include "Platform/GlobalShortcuts.hpp"

#include <QObject>

#include <optional>

class QDBusServiceWatcher;

namespace tavelor::gnomeshell {

/// The global shortcut, held for Tavelor by its Shell extension, which grabs
/// the keys in the compositor and signals each press to Tavelor alone. When
/// the shell restarts or the extension comes back, the shortcut is grabbed
/// again.
class GnomeShellShortcuts final : public QObject, public platform::GlobalShortcuts {
    Q_OBJECT
public:
    GnomeShellShortcuts();

    GrabResult grab(const HotKey& hotKey) override;
    void release() override;
    void setPressedHandler(std::function<void()> handler) override;

private:
    Q_SLOT void onShortcutPressed();
    void onShellAppeared();

    std::function<void()> m_pressed;
    std::optional<HotKey> m_held;
    QDBusServiceWatcher* m_watcher = nullptr;
};

} // namespace tavelor::gnomeshell
