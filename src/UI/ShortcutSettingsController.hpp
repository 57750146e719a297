#pragma once

#include "Models/HotKey.hpp"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QKeyEvent;
class QLabel;
class QPushButton;

namespace tavelor {

class HotKeyService;

namespace platform {
class KeyEventTranslator;
class KeyboardGrab;
} // namespace platform

/// The small French window that records, clears and shows the global shortcut.
///
/// Idle, the label shows the registered shortcut (not the saved one) or
/// "Aucun raccourci". "Enregistrer un raccourci…" starts a capture: the next
/// key pressed with at least one of Command (Super), Option (Alt), Control or
/// Shift is registered first and saved to the settings file only when the
/// registration succeeded. During a capture modifier keys alone are
/// swallowed, other keys without modifiers beep, Escape alone cancels.
/// Clearing and closing the window end a capture; closing only hides the
/// window, so the same one comes back with its state. Main thread only.
///
/// While a capture runs the registered shortcut is released and the keyboard
/// grabbed for the window, so that the current shortcut, and a combination
/// another program holds, reach the capture instead of firing. The grab ends
/// with the capture on every path. A capture cancelled (Escape, closing,
/// hiding) registers the earlier shortcut again; one whose registration the
/// system refused leaves none, as the saved settings still name the old one.
class ShortcutSettingsController final : public QObject {
    Q_OBJECT

public:
    /// The window's content: takes the keyboard while a capture runs.
    class CaptureView final : public QWidget {
    public:
        explicit CaptureView(QWidget* parent = nullptr);

        /// Offered every key press the view receives; true means handled.
        /// Otherwise the press gets the default handling (Tab moves the focus,
        /// the rest goes to the parent).
        std::function<bool(QKeyEvent* event)> onKeyDown;

    protected:
        bool event(QEvent* event) override;
    };

    /// `hotKeyService`, `keys` and `keyboardGrab` outlive the controller;
    /// `defaultsFile` is the INI file that holds hotKeyKeyCode and
    /// hotKeyModifiers.
    ShortcutSettingsController(HotKeyService& hotKeyService, platform::KeyEventTranslator& keys,
                               platform::KeyboardGrab& keyboardGrab, QString defaultsFile);
    ~ShortcutSettingsController() override;
    ShortcutSettingsController(const ShortcutSettingsController&) = delete;
    ShortcutSettingsController& operator=(const ShortcutSettingsController&) = delete;

    QWidget* window() const { return m_window.get(); }
    CaptureView* captureView() const { return m_captureView; }
    QLabel* shortcutLabel() const { return m_shortcutLabel; }
    QPushButton* recordButton() const { return m_recordButton; }
    QPushButton* clearButton() const { return m_clearButton; }
    QPushButton* closeButton() const { return m_closeButton; }
    bool isCapturing() const { return m_isCapturing; }

    /// Called after this window changed the registered shortcut (recorded or
    /// cleared), from within the operation that changed it.
    std::function<void()> onChange;

    /// Shows the window, or brings it to the front when it is shown already.
    void showWindow();

    void updateLabel();
    void startRecording();
    /// The capture view's key callback: false when no capture runs.
    bool handleCapturedKeyDown(QKeyEvent* event);
    /// A key press by its native values, from the toolkit or the grab.
    bool handleCapturedKey(std::uint32_t nativeScanCode, std::uint32_t nativeModifiers);
    void clearShortcut();
    /// As the window's close button: the window closes and the capture ends.
    void closeWindow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// How a capture ended: only a cancelled one brings the earlier shortcut back.
    enum class CaptureEnd { Recorded, Refused, Cancelled };

    void buildContentView();
    void endCapture(CaptureEnd how);
    void windowWillClose();

    HotKeyService& m_hotKeyService;
    platform::KeyEventTranslator& m_keys;
    platform::KeyboardGrab& m_keyboardGrab;
    QString m_defaultsFile;

    std::unique_ptr<QWidget> m_window;
    // Children of the window, which lives as long as the controller.
    CaptureView* m_captureView = nullptr;
    QLabel* m_shortcutLabel = nullptr;
    QPushButton* m_recordButton = nullptr;
    QPushButton* m_clearButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    bool m_isCapturing = false;
    /// What was registered when the capture began.
    std::optional<HotKey> m_hotKeyBeforeCapture;
};

} // namespace tavelor
