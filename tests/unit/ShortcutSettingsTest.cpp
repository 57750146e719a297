#include "Models/HotKey.hpp"
#include "Platform/Fake/FakeBackend.hpp"
#include "UI/AlertSound.hpp"
#include "UI/MenuController.hpp"
#include "UI/ShortcutSettingsController.hpp"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

namespace tavelor {
namespace {

using fake::FakeKeyEventTranslator;
using platform::KeyPress;

constexpr std::uint16_t kA = 0;
constexpr std::uint16_t kK = 40;
constexpr std::uint16_t kEscape = 53;

class ShortcutSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_backend.keyboardLayout().texts[kA] = QStringLiteral("a");
        m_backend.keyboardLayout().texts[kK] = QStringLiteral("k");
        AlertSound::setHookForTesting([this] { ++m_beeps; });
        m_controller = std::make_unique<MenuController>(
            m_backend, MenuController::Locations{m_dir.path() + "/data", defaultsFile()});
        m_controller->setMenu(&m_menu);
        m_controller->refresh(&m_menu);
        m_controller->openShortcutSettings();
        m_window = m_controller->shortcutSettingsController();
        ASSERT_NE(m_window, nullptr);
    }
    void TearDown() override { AlertSound::setHookForTesting({}); }

    QString defaultsFile() const { return m_dir.path() + "/Tavelor.conf"; }

    /// Sends a key press to the capture view; true when it was handled there.
    bool press(std::uint16_t keyCode, std::uint64_t flags = 0)
    {
        QKeyEvent event(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                        FakeKeyEventTranslator::scanCode(keyCode), 0, static_cast<quint32>(flags));
        event.ignore();
        QCoreApplication::sendEvent(m_window->captureView(), &event);
        return event.isAccepted();
    }

    /// The saved entries, or -1 for a missing one.
    std::pair<qlonglong, qlonglong> saved() const
    {
        QSettings defaults(defaultsFile(), QSettings::IniFormat);
        return {defaults.value("hotKeyKeyCode", -1).toLongLong(),
                defaults.value("hotKeyModifiers", -1).toLongLong()};
    }

    QString shortcutItemTitle() const
    {
        for (const QAction* action : m_menu.actions()) {
            if (action->text().startsWith(QString::fromUtf8("Raccourci clavier…")))
                return action->text();
        }
        return {};
    }
    QString label() const { return m_window->shortcutLabel()->text(); }

    void record(std::uint16_t keyCode, std::uint64_t flags)
    {
        m_window->startRecording();
        ASSERT_TRUE(press(keyCode, flags));
    }

    QTemporaryDir m_dir;
    fake::FakeBackend m_backend;
    std::unique_ptr<MenuController> m_controller;
    QMenu m_menu;
    ShortcutSettingsController* m_window = nullptr;
    int m_beeps = 0;
};

TEST_F(ShortcutSettingsTest, WindowAsBuilt)
{
    QWidget* window = m_window->window();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Raccourci clavier"));
    EXPECT_EQ(window->size(), QSize(380, 170));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowCloseButtonHint);

    // Top-left origins of the bottom-left frames.
    EXPECT_EQ(m_window->shortcutLabel()->geometry(), QRect(20, 54, 340, 28));
    EXPECT_EQ(m_window->recordButton()->geometry(), QRect(20, 94, 340, 28));
    EXPECT_EQ(m_window->clearButton()->geometry(), QRect(20, 128, 160, 28));
    EXPECT_EQ(m_window->closeButton()->geometry(), QRect(200, 128, 160, 28));
    EXPECT_EQ(m_window->recordButton()->text(), QStringLiteral("Enregistrer un raccourci\u2026"));
    EXPECT_EQ(m_window->clearButton()->text(), QStringLiteral("Effacer"));
    EXPECT_EQ(m_window->closeButton()->text(), QStringLiteral("Fermer"));
    EXPECT_EQ(label(), QStringLiteral("Aucun raccourci"));
    EXPECT_FALSE(m_window->isCapturing());
}

TEST_F(ShortcutSettingsTest, KeysWhileNotRecordingAreLeftToDefaultHandling)
{
    EXPECT_FALSE(press(kA, KeyPress::kCommand));
    EXPECT_FALSE(press(kEscape));
    EXPECT_EQ(m_backend.keyEventTranslator().translateCalls(), 0);
    EXPECT_EQ(m_beeps, 0);
    EXPECT_FALSE(m_backend.globalShortcuts().held());
}

TEST_F(ShortcutSettingsTest, EscapeAloneCancels)
{
    record(kA, KeyPress::kCommand);
    m_window->startRecording();
    EXPECT_EQ(label(), QStringLiteral("Appuyez sur le raccourci\u2026"));
    EXPECT_FALSE(m_window->recordButton()->isEnabled());
    EXPECT_TRUE(m_window->clearButton()->isEnabled());

    EXPECT_TRUE(press(kEscape));
    EXPECT_FALSE(m_window->isCapturing());
    EXPECT_TRUE(m_window->recordButton()->isEnabled());
    EXPECT_EQ(label(), QString::fromUtf8("⌘A"));
    EXPECT_EQ(m_beeps, 0);
    EXPECT_TRUE(m_backend.globalShortcuts().held());
}

TEST_F(ShortcutSettingsTest, AAloneBeepsThenCommandARecordsIt)
{
    m_window->startRecording();
    EXPECT_TRUE(press(kA));
    EXPECT_EQ(m_beeps, 1);
    EXPECT_TRUE(m_window->isCapturing());
    EXPECT_EQ(saved(), std::make_pair(-1LL, -1LL));

    EXPECT_TRUE(press(kA, KeyPress::kCommand | KeyPress::kCapsLock));
    EXPECT_EQ(m_beeps, 1);
    EXPECT_FALSE(m_window->isCapturing());
    EXPECT_TRUE(m_window->recordButton()->isEnabled());
    EXPECT_EQ(saved(), std::make_pair(0LL, 256LL));
    EXPECT_EQ(label(), QString::fromUtf8("⌘A"));
    EXPECT_EQ(m_controller->hotKeyService().currentHotKey(), (HotKey{kA, cmdKey}));
    // onChange rebuilt the menu.
    EXPECT_EQ(shortcutItemTitle(), QString::fromUtf8("Raccourci clavier… (⌘A)"));
}

TEST_F(ShortcutSettingsTest, ControlShiftKReplacesTheShortcut)
{
    record(kA, KeyPress::kCommand);
    record(kK, KeyPress::kControl | KeyPress::kShift);
    EXPECT_EQ(saved(), std::make_pair(40LL, 4608LL));
    EXPECT_EQ(label(), QString::fromUtf8("⌃⇧K"));
    EXPECT_EQ(shortcutItemTitle(), QString::fromUtf8("Raccourci clavier… (⌃⇧K)"));
    ASSERT_TRUE(m_backend.globalShortcuts().held());
    EXPECT_EQ(m_backend.globalShortcuts().held()->keyCode, kK);
}

TEST_F(ShortcutSettingsTest, ModifierKeysAloneChangeNothing)
{
    m_window->startRecording();
    // Right and left Command, Shift, Caps Lock, Option, Control, Function.
    for (const int key : {54, 55, 56, 57, 58, 59, 60, 61, 62, 63}) {
        for (const std::uint64_t flags :
             {std::uint64_t{0}, KeyPress::kShift | KeyPress::kCommand}) {
            SCOPED_TRACE(key);
            EXPECT_TRUE(press(static_cast<std::uint16_t>(key), flags));
        }
    }
    EXPECT_EQ(m_beeps, 0);
    EXPECT_TRUE(m_window->isCapturing());
    EXPECT_EQ(label(), QStringLiteral("Appuyez sur le raccourci\u2026"));
    EXPECT_FALSE(m_backend.globalShortcuts().held());
}

TEST_F(ShortcutSettingsTest, AKeyOutsideTheKeyCodeSetBeepsAndRecordingGoesOn)
{
    m_window->startRecording();
    m_backend.keyEventTranslator().unmap(FakeKeyEventTranslator::scanCode(kA));
    EXPECT_TRUE(press(kA, KeyPress::kCommand));
    EXPECT_EQ(m_beeps, 1);
    EXPECT_TRUE(m_window->isCapturing());
    EXPECT_FALSE(m_backend.globalShortcuts().held());
}

TEST_F(ShortcutSettingsTest, EffacerDuringARecordingClearsEverything)
{
    record(kA, KeyPress::kCommand);
    m_window->startRecording();
    m_window->clearButton()->click();

    EXPECT_FALSE(m_window->isCapturing());
    EXPECT_TRUE(m_window->recordButton()->isEnabled());
    EXPECT_EQ(label(), QStringLiteral("Aucun raccourci"));
    EXPECT_EQ(saved(), std::make_pair(-1LL, -1LL));
    EXPECT_FALSE(m_backend.globalShortcuts().held());
    EXPECT_FALSE(m_controller->hotKeyService().currentHotKey());
    EXPECT_EQ(shortcutItemTitle(), QString::fromUtf8("Raccourci clavier…"));
}

TEST_F(ShortcutSettingsTest, ClosingDuringARecordingEndsItAndReopeningShowsTheSameWindowIdle)
{
    QWidget* window = m_window->window();
    m_window->startRecording();
    m_window->closeButton()->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(m_window->isCapturing());

    // The title bar's close button takes the same road.
    m_controller->openShortcutSettings();
    m_window->startRecording();
    window->close();
    EXPECT_FALSE(m_window->isCapturing());

    m_controller->openShortcutSettings();
    EXPECT_EQ(m_controller->shortcutSettingsController(), m_window);
    EXPECT_EQ(m_window->window(), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(m_window->recordButton()->isEnabled());
    EXPECT_EQ(label(), QStringLiteral("Aucun raccourci"));
    EXPECT_FALSE(press(kA, KeyPress::kCommand));
}

TEST_F(ShortcutSettingsTest, ARefusedShortcutBeepsLeavesNoneAndKeepsTheSavedOne)
{
    record(kA, KeyPress::kCommand);
    m_backend.globalShortcuts().refusal = platform::GlobalShortcuts::GrabResult::Taken;
    record(kK, KeyPress::kControl);

    EXPECT_EQ(m_beeps, 1);
    EXPECT_FALSE(m_window->isCapturing());
    EXPECT_EQ(label(), QStringLiteral("Aucun raccourci"));
    EXPECT_EQ(saved(), std::make_pair(0LL, 256LL));
    EXPECT_FALSE(m_backend.globalShortcuts().held());
    // onChange was not called: the menu still shows what it was built with.
    EXPECT_EQ(shortcutItemTitle(), QString::fromUtf8("Raccourci clavier… (⌘A)"));
}

// While recording, the registered shortcut is released and the keyboard held
// by the window, so that keys reach the capture and nothing else; both end
// with the capture, on every path.
TEST_F(ShortcutSettingsTest, EveryWayARecordingEndsReleasesTheGrab)
{
    fake::FakeKeyboardGrab& grab = m_backend.keyboardGrab();
    fake::FakeGlobalShortcuts& shortcuts = m_backend.globalShortcuts();
    auto pressGrabbed = [&](std::uint16_t keyCode, std::uint64_t flags) {
        return grab.press(FakeKeyEventTranslator::scanCode(keyCode),
                          static_cast<std::uint32_t>(flags));
    };
    struct Case {
        const char* what;
        std::function<void()> end;
        std::optional<HotKey> registeredAfter;
        std::pair<qlonglong, qlonglong> savedAfter;
    };
    const HotKey commandA{kA, cmdKey};
    const std::vector<Case> cases = {
        {"Escape", [&] { pressGrabbed(kEscape, 0); }, commandA, {0, 256}},
        {"the current shortcut again",
         [&] { pressGrabbed(kA, KeyPress::kCommand); },
         commandA,
         {0, 256}},
        {"a combination the system refuses",
         [&] {
             shortcuts.refusal = platform::GlobalShortcuts::GrabResult::Taken;
             pressGrabbed(kK, KeyPress::kControl);
             shortcuts.refusal = platform::GlobalShortcuts::GrabResult::Grabbed;
         },
         std::nullopt,
         {0, 256}},
        {"Fermer", [&] { m_window->closeButton()->click(); }, commandA, {0, 256}},
        {"the window hidden", [&] { m_window->window()->hide(); }, commandA, {0, 256}},
        {"Effacer", [&] { m_window->clearButton()->click(); }, std::nullopt, {-1, -1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_controller->openShortcutSettings();
        record(kA, KeyPress::kCommand);
        m_beeps = 0;
        m_window->startRecording();
        EXPECT_EQ(grab.window(), m_window->window()->winId());
        EXPECT_FALSE(shortcuts.held());
        EXPECT_FALSE(m_controller->hotKeyService().currentHotKey());

        c.end();
        EXPECT_FALSE(m_window->isCapturing());
        EXPECT_FALSE(grab.isGrabbed());
        EXPECT_EQ(m_controller->hotKeyService().currentHotKey(), c.registeredAfter);
        EXPECT_EQ(shortcuts.held(), c.registeredAfter);
        EXPECT_EQ(saved(), c.savedAfter);
        EXPECT_EQ(m_beeps, c.registeredAfter || c.savedAfter.first < 0 ? 0 : 1);
        // After the grab, keys reach nothing through it.
        EXPECT_FALSE(pressGrabbed(kA, KeyPress::kCommand));
    }
}

TEST_F(ShortcutSettingsTest, WithoutTheGrabTheWindowsOwnKeysStillRecord)
{
    m_backend.keyboardGrab().setRefused(true);
    record(kK, KeyPress::kControl | KeyPress::kShift);
    EXPECT_EQ(saved(), std::make_pair(40LL, 4608LL));
}

TEST_F(ShortcutSettingsTest, TheWindowOutlivesNoMenuController)
{
    record(kA, KeyPress::kCommand);
    m_controller.reset();
    EXPECT_FALSE(m_backend.globalShortcuts().held());
}

} // namespace
} // namespace tavelor

namespace tavelor {
namespace {

// What a key types comes from the keyboard layout; it is shown as text, never
// read as markup.
TEST_F(ShortcutSettingsTest, AKeyThatTypesMarkupShowsAsTyped)
{
    m_backend.keyboardLayout().texts[kK] = QStringLiteral("<b>k</b>");
    record(kK, KeyPress::kControl | KeyPress::kShift);
    ASSERT_TRUE(label().contains(QLatin1Char('<'))) << label().toStdString();
    QLabel plain;
    plain.setFont(m_window->shortcutLabel()->font());
    plain.setTextFormat(Qt::PlainText);
    plain.setText(label());
    EXPECT_EQ(m_window->shortcutLabel()->sizeHint().width(), plain.sizeHint().width());
}

} // namespace
} // namespace tavelor
