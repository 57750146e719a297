#pragma once

#include "Platform/GlobalShortcuts.hpp"

#include <QObject>
#include <QString>

#include <optional>

namespace tavelor::kwin {

/// The global shortcut through KDE's kglobalaccel on the session bus (served
/// by KWin itself on Plasma Wayland): one action of the component "tavelor".
///
/// grab() registers the action and asks for the hot key's Qt key combination;
/// kglobalaccel answers the keys it actually assigned, and a combination that
/// another component holds is left out of that answer: Taken. release() sets
/// the action's keys to none, which frees the combination for others at once.
class KWinShortcuts final : public QObject, public platform::GlobalShortcuts {
    Q_OBJECT

public:
    KWinShortcuts();
    ~KWinShortcuts() override;
    KWinShortcuts(const KWinShortcuts&) = delete;
    KWinShortcuts& operator=(const KWinShortcuts&) = delete;

    GrabResult grab(const HotKey& hotKey) override;
    void release() override;
    void setPressedHandler(std::function<void()> handler) override;

    /// For tests: the result of grabbing a Qt key combination directly.
    GrabResult grabKeys(int qtKeyCombination);

private:
    Q_SLOT void onPressed(const QString& component, const QString& action, qlonglong timestamp);
    std::optional<QList<int>> setKeys(const QList<int>& keys);

    std::function<void()> m_pressed;
    bool m_held = false;
    bool m_connected = false;
};

} // namespace tavelor::kwin
