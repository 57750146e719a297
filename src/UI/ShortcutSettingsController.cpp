#include "UI/ShortcutSettingsController.hpp"

#include "Platform/KeyEventTranslator.hpp"
#include "Platform/KeyboardGrab.hpp"
#include "Services/HotKeyService.hpp"
#include "Services/HotKeyStore.hpp"
#include "UI/AlertSound.hpp"
#include "UI/MenuText.hpp"
#include "UI/ShortcutNotice.hpp"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSettings>

#include <array>
#include <cstdint>
#include <utility>

namespace tavelor {

namespace {

constexpr int kContentWidth = 380;
constexpr int kContentHeight = 170;
constexpr std::uint16_t kEscapeKeyCode = 53;

// Keys that are modifiers by themselves: Command, Option, Control and Shift
// on both sides, Caps Lock, Function.
constexpr std::array<std::uint16_t, 10> kModifierKeyCodes{54, 55, 58, 61, 59, 62, 56, 60, 57, 63};

bool isModifierKey(std::uint16_t keyCode)
{
    for (const std::uint16_t code : kModifierKeyCodes) {
        if (code == keyCode)
            return true;
    }
    return false;
}

QString text(const char* french)
{
    return localized(french);
}

// Frames are laid out with the origin at the bottom-left of the content, y up.
QRect frame(int x, int y, int width, int height)
{
    return QRect(x, kContentHeight - y - height, width, height);
}

} // namespace

ShortcutSettingsController::CaptureView::CaptureView(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

bool ShortcutSettingsController::CaptureView::event(QEvent* event)
{
    // Before QWidget::event(), which would spend Tab and Shift+Tab on moving
    // the focus: during a capture they are keys like any other.
    if (event->type() == QEvent::KeyPress && onKeyDown &&
        onKeyDown(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

ShortcutSettingsController::ShortcutSettingsController(HotKeyService& hotKeyService,
                                                       platform::KeyEventTranslator& keys,
                                                       platform::KeyboardGrab& keyboardGrab,
                                                       QString defaultsFile)
    : m_hotKeyService(hotKeyService), m_keys(keys), m_keyboardGrab(keyboardGrab),
      m_defaultsFile(std::move(defaultsFile))
{
    // Titled and closable; no minimise or maximise button, no resizing. A
    // dialog: window managers give a dialog window type neither button, and
    // the customised hints tell those that read the Motif hints the same.
    m_window =
        std::make_unique<QWidget>(nullptr, Qt::Dialog | Qt::CustomizeWindowHint |
                                               Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_window->setFixedSize(kContentWidth, kContentHeight);
    m_window->setWindowTitle(text("Raccourci clavier"));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        m_window->move(screen->availableGeometry().center() -
                       QPoint(kContentWidth / 2, kContentHeight / 2));
    m_window->installEventFilter(this);

    buildContentView();
    updateLabel();
}

ShortcutSettingsController::~ShortcutSettingsController() = default;

void ShortcutSettingsController::buildContentView()
{
    if (!m_window)
        return;

    m_captureView = new CaptureView(m_window.get());
    m_captureView->setGeometry(0, 0, kContentWidth, kContentHeight);

    auto* heading = new QLabel(text("Raccourci pour appliquer le profil actif"), m_captureView);
    heading->setGeometry(frame(20, 126, 340, 20));
    heading->setAlignment(Qt::AlignCenter);
    heading->setTextInteractionFlags(Qt::NoTextInteraction);
    heading->setTextFormat(Qt::PlainText);

    m_shortcutLabel = new QLabel(m_captureView);
    m_shortcutLabel->setGeometry(frame(20, 88, 340, 28));
    m_shortcutLabel->setAlignment(Qt::AlignCenter);
    m_shortcutLabel->setTextInteractionFlags(Qt::NoTextInteraction);
    // Key names come from the keyboard layout: a key may type "<", never markup.
    m_shortcutLabel->setTextFormat(Qt::PlainText);
    // 20 device-independent pixels, the unit the frames are in; a point size
    // would grow with the screen's DPI and overflow the 28-pixel label.
    QFont large = m_shortcutLabel->font();
    large.setPixelSize(20);
    large.setWeight(QFont::Medium);
    m_shortcutLabel->setFont(large);

    m_recordButton = new QPushButton(text("Enregistrer un raccourci…"), m_captureView);
    m_recordButton->setGeometry(frame(20, 48, 340, 28));
    connect(m_recordButton, &QPushButton::clicked, this,
            &ShortcutSettingsController::startRecording);
    // The keyboard starts a recording with Space as soon as the window opens.
    m_recordButton->setFocus(Qt::OtherFocusReason);

    m_clearButton = new QPushButton(text("Effacer"), m_captureView);
    m_clearButton->setGeometry(frame(20, 14, 160, 28));
    connect(m_clearButton, &QPushButton::clicked, this, &ShortcutSettingsController::clearShortcut);

    m_closeButton = new QPushButton(text("Fermer"), m_captureView);
    m_closeButton->setGeometry(frame(200, 14, 160, 28));
    connect(m_closeButton, &QPushButton::clicked, this, &ShortcutSettingsController::closeWindow);

    m_captureView->onKeyDown = [self =
                                    QPointer<ShortcutSettingsController>(this)](QKeyEvent* event) {
        return self && self->handleCapturedKeyDown(event);
    };
}

void ShortcutSettingsController::showWindow()
{
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void ShortcutSettingsController::updateLabel()
{
    if (const std::optional<HotKey>& hotKey = m_hotKeyService.currentHotKey())
        m_shortcutLabel->setText(m_hotKeyService.displayName(*hotKey));
    else
        m_shortcutLabel->setText(text("Aucun raccourci"));
}

void ShortcutSettingsController::startRecording()
{
    // The keyboard first, then our shortcut: no press in between reaches another
    // program. Without the grab (another program holds the keyboard) the capture
    // still sees the keys the toolkit delivers to the window.
    m_keyboardGrab.grab(m_window->winId(),
                        [self = QPointer<ShortcutSettingsController>(this)](
                            std::uint32_t nativeScanCode, std::uint32_t nativeModifiers) {
                            if (self)
                                self->handleCapturedKey(nativeScanCode, nativeModifiers);
                        });
    if (!m_isCapturing) {
        // Released so that pressing it records it again instead of applying
        // the active profile; a cancelled capture registers it again.
        m_hotKeyBeforeCapture = m_hotKeyService.currentHotKey();
        m_hotKeyService.unregister();
    }
    m_isCapturing = true;
    m_shortcutLabel->setText(text("Appuyez sur le raccourci…"));
    m_recordButton->setEnabled(false);
    m_captureView->setFocus(Qt::OtherFocusReason);
}

bool ShortcutSettingsController::handleCapturedKeyDown(QKeyEvent* event)
{
    return handleCapturedKey(event->nativeScanCode(), event->nativeModifiers());
}

bool ShortcutSettingsController::handleCapturedKey(std::uint32_t nativeScanCode,
                                                   std::uint32_t nativeModifiers)
{
    if (!m_isCapturing)
        return false;

    const platform::KeyPress press = m_keys.translate(nativeScanCode, nativeModifiers);
    if (press.keyCode && isModifierKey(*press.keyCode))
        return true;

    const std::uint32_t mask = HotKeyService::carbonModifiers(press.modifierFlags);
    if (mask == 0) {
        if (press.keyCode == kEscapeKeyCode)
            endCapture(CaptureEnd::Cancelled);
        else
            AlertSound::beep();
        return true;
    }
    // A key outside Tavelor's key code set has nothing to register or save.
    if (!press.keyCode) {
        AlertSound::beep();
        return true;
    }

    const HotKey hotKey{*press.keyCode, mask};
    if (!m_hotKeyService.registerHotKey(hotKey)) {
        AlertSound::beep();
        if (m_hotKeyService.lastGrabResult() == HotKeyService::GrabResult::Taken)
            ShortcutNotice::taken(m_hotKeyService.displayName(hotKey));
        endCapture(CaptureEnd::Refused);
        return true;
    }
    {
        QSettings defaults(m_defaultsFile, QSettings::IniFormat);
        defaults.setValue(HotKeyStore::kKeyCodeKey, hotKey.keyCode);
        defaults.setValue(HotKeyStore::kModifiersKey, hotKey.modifiers);
    }
    endCapture(CaptureEnd::Recorded);
    if (onChange)
        onChange();
    return true;
}

void ShortcutSettingsController::endCapture(CaptureEnd how)
{
    m_keyboardGrab.release();
    m_isCapturing = false;
    m_recordButton->setEnabled(true);
    m_recordButton->setFocus(Qt::OtherFocusReason);
    const std::optional<HotKey> before = std::exchange(m_hotKeyBeforeCapture, std::nullopt);
    if (how == CaptureEnd::Cancelled && before && !m_hotKeyService.currentHotKey())
        m_hotKeyService.registerHotKey(*before);
    updateLabel();
}

void ShortcutSettingsController::clearShortcut()
{
    m_keyboardGrab.release();
    m_hotKeyBeforeCapture.reset();
    m_isCapturing = false;
    m_recordButton->setEnabled(true);
    m_hotKeyService.unregister();
    {
        QSettings defaults(m_defaultsFile, QSettings::IniFormat);
        defaults.remove(HotKeyStore::kKeyCodeKey);
        defaults.remove(HotKeyStore::kModifiersKey);
    }
    updateLabel();
    if (onChange)
        onChange();
}

void ShortcutSettingsController::closeWindow()
{
    // Like the title bar's close button: through the close event, so that
    // both ways end a capture the same way.
    m_window->close();
}

bool ShortcutSettingsController::eventFilter(QObject* watched, QEvent* event)
{
    // Hidden without closing (the window manager iconified it, or another
    // desktop took the screen): the capture and its grab end all the same.
    if (watched == m_window.get() &&
        (event->type() == QEvent::Close || event->type() == QEvent::Hide))
        windowWillClose();
    return QObject::eventFilter(watched, event);
}

void ShortcutSettingsController::windowWillClose()
{
    if (m_isCapturing)
        endCapture(CaptureEnd::Cancelled);
}

} // namespace tavelor
