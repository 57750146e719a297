#include "MenuFixture.hpp"
#include "UI/ShortcutSettingsController.hpp"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSettings>

namespace tavelor::test {
namespace {

using fake::FakeKeyEventTranslator;
using platform::KeyPress;

constexpr std::uint16_t kA = 0, kK = 40, kEscape = 53;
constexpr std::uint64_t kCommand = KeyPress::kCommand,
                        kControlShift = KeyPress::kControl | KeyPress::kShift;

class Settings : public MenuFixture {
protected:
    void SetUp() override
    {
        backend.layout.texts = {{kA, "a"}, {kK, "k"}};
        start();
        controller->openShortcutSettings();
        w = controller->shortcutSettingsController();
        ASSERT_NE(w, nullptr);
    }
    /// Sends a key press to the window's capture view; true when handled there.
    bool press(std::uint16_t keyCode, std::uint64_t flags = 0)
    {
        QKeyEvent event(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                        FakeKeyEventTranslator::scanCode(keyCode), 0, static_cast<quint32>(flags));
        event.ignore();
        QCoreApplication::sendEvent(w->captureView(), &event);
        return event.isAccepted();
    }
    /// A press through the keyboard grab; false when no grab is held.
    bool pressGrabbed(std::uint16_t keyCode, std::uint64_t flags = 0)
    {
        return backend.grab.press(FakeKeyEventTranslator::scanCode(keyCode),
                                  static_cast<std::uint32_t>(flags));
    }
    /// The saved key code and modifiers, -1 for missing ones.
    std::pair<qlonglong, qlonglong> saved() const
    {
        QSettings defaults(locations.defaultsFile, QSettings::IniFormat);
        return {defaults.value("hotKeyKeyCode", -1).toLongLong(),
                defaults.value("hotKeyModifiers", -1).toLongLong()};
    }
    QString label() const { return w->shortcutLabel()->text(); }
    QString menuTitle() const { return menu.actions().at(menu.actions().size() - 4)->text(); }

    ShortcutSettingsController* w = nullptr;
};

TEST_F(Settings, RecordingSkipsModifiersBeepsAtIncompleteKeysAndSavesACombinationAsText)
{
    // The window's kind, title and buttons: settings_e2e ShortcutWindowTest.
    EXPECT_TRUE(w->window()->isVisible());
    EXPECT_EQ(label(), "Aucun raccourci");
    EXPECT_FALSE(press(kA, kCommand) || press(kEscape)) << "keys are left alone until recording";

    // Another program holds the keyboard: the window's own keys still record.
    backend.grab.refused = true;
    w->startRecording();
    EXPECT_EQ(label(), QString::fromUtf8("Appuyez sur le raccourci…"));
    EXPECT_FALSE(w->recordButton()->isEnabled());
    // Command, Shift, Caps Lock, Option, Control (both sides), Function alone.
    for (const int key : {54, 55, 56, 57, 58, 59, 60, 61, 62, 63})
        for (const std::uint64_t flags : {std::uint64_t{0}, KeyPress::kShift | kCommand})
            EXPECT_TRUE(press(static_cast<std::uint16_t>(key), flags)) << key;
    EXPECT_EQ(beeps, 0);
    EXPECT_TRUE(press(kA)); // no modifier
    backend.translator.unmapped = {FakeKeyEventTranslator::scanCode(kK)};
    EXPECT_TRUE(press(kK, kCommand)); // outside the key code set
    EXPECT_EQ(beeps, 2);
    EXPECT_TRUE(w->isCapturing());
    EXPECT_EQ(saved(), std::make_pair(-1LL, -1LL));
    EXPECT_FALSE(backend.shortcuts.held);

    EXPECT_TRUE(press(kA, kCommand | KeyPress::kCapsLock));
    EXPECT_FALSE(w->isCapturing());
    EXPECT_TRUE(w->recordButton()->isEnabled());
    EXPECT_EQ(saved(), std::make_pair(0LL, 256LL));
    EXPECT_EQ(label(), QString::fromUtf8("⌘A"));
    EXPECT_EQ(controller->hotKeyService().currentHotKey(), (HotKey{kA, cmdKey}));
    EXPECT_EQ(menuTitle(), QString::fromUtf8("Raccourci clavier… (⌘A)"));

    // What a key types comes from the layout; it shows as text, never markup.
    backend.translator.unmapped.clear();
    backend.layout.texts[kK] = "<b>k</b>";
    w->startRecording(); // replaces the one recorded
    EXPECT_TRUE(press(kK, kControlShift));
    EXPECT_EQ(saved(), std::make_pair(40LL, 4608LL));
    EXPECT_EQ(backend.shortcuts.held, (HotKey{kK, controlKey | shiftKey}));
    EXPECT_EQ(label(), QString::fromUtf8("⌃⇧<B>K"));
    EXPECT_EQ(w->shortcutLabel()->textFormat(), Qt::PlainText);

    // The window outlives no menu controller.
    controller.reset();
    EXPECT_FALSE(backend.shortcuts.held);
}

// While recording, the registered shortcut is released and the keyboard held
// by the window, so that keys reach the capture and nothing else; both end
// with the capture, on every path.
TEST_F(Settings, EveryWayARecordingEndsReleasesTheGrab)
{
    const auto refuse = [&] {
        backend.shortcuts.refusal = platform::GlobalShortcuts::GrabResult::Taken;
        pressGrabbed(kK, KeyPress::kControl);
        backend.shortcuts.refusal = platform::GlobalShortcuts::GrabResult::Grabbed;
    };
    // What each end leaves registered (else nothing) and whether it clears the saved one.
    const std::vector<std::tuple<const char*, std::function<void()>, bool, bool>> cases = {
        {"Escape", [&] { pressGrabbed(kEscape); }, true, false},
        {"the same again", [&] { pressGrabbed(kA, kCommand); }, true, false},
        {"a refused combination", refuse, false, false},
        {"Fermer", [&] { w->closeButton()->click(); }, true, false},
        {"the title bar", [&] { w->window()->close(); }, true, false},
        {"the window hidden", [&] { w->window()->hide(); }, true, false},
        {"Effacer", [&] { w->clearButton()->click(); }, false, true},
    };
    const QString title = QString::fromUtf8("Raccourci clavier…");
    for (const auto& [what, end, registered, cleared] : cases) {
        SCOPED_TRACE(what);
        controller->openShortcutSettings();
        w->startRecording();
        EXPECT_TRUE(press(kA, kCommand));
        beeps = 0;
        w->startRecording();
        EXPECT_EQ(backend.grab.holder, w->window()->winId());
        EXPECT_FALSE(backend.shortcuts.held);
        EXPECT_FALSE(controller->hotKeyService().currentHotKey());
        EXPECT_TRUE(w->clearButton()->isEnabled());

        end();
        EXPECT_FALSE(w->isCapturing());
        EXPECT_TRUE(w->recordButton()->isEnabled());
        EXPECT_FALSE(backend.grab.isGrabbed());
        const std::optional<HotKey> held =
            registered ? std::optional(HotKey{kA, cmdKey}) : std::nullopt;
        EXPECT_EQ(controller->hotKeyService().currentHotKey(), held);
        EXPECT_EQ(backend.shortcuts.held, held);
        EXPECT_EQ(saved(), cleared ? std::make_pair(-1LL, -1LL) : std::make_pair(0LL, 256LL));
        EXPECT_EQ(label(), registered ? QString::fromUtf8("⌘A") : "Aucun raccourci");
        // A refusal does not rebuild the menu: it shows the saved shortcut until then.
        EXPECT_EQ(menuTitle(), cleared ? title : title + QString::fromUtf8(" (⌘A)"));
        EXPECT_EQ(beeps, registered || cleared ? 0 : 1);
        EXPECT_FALSE(pressGrabbed(kA, kCommand)) << "keys reach nothing through a released grab";
    }
    // Reopening shows the same window, idle.
    QWidget* window = w->window();
    controller->openShortcutSettings();
    EXPECT_EQ(controller->shortcutSettingsController(), w);
    EXPECT_EQ(w->window(), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(press(kA, kCommand));
}

} // namespace
} // namespace tavelor::test
