#pragma once

#include <QObject>

#include <functional>

namespace tavelor {

/// Ctrl+Q (the toolkit's Quit key sequence) quits Tavelor whenever one of its
/// windows or its menu has the keyboard: the shortcut window, an alert, the
/// menu drawn by the toolkit. Watches the key events of the whole application;
/// keys typed elsewhere on the desktop never reach it.
class QuitShortcut final : public QObject {
    Q_OBJECT

public:
    /// While `isSuspended` answers true the key passes on (the shortcut
    /// window records it as a shortcut then).
    explicit QuitShortcut(std::function<bool()> isSuspended, QObject* parent = nullptr);
    ~QuitShortcut() override;
    QuitShortcut(const QuitShortcut&) = delete;
    QuitShortcut& operator=(const QuitShortcut&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool()> m_isSuspended;
};

} // namespace tavelor
