// The shortcut through the session's kglobalaccel, pressed with keys injected
// through KWin's fake input; and the key combinations on known layouts.
#include "Platform/KWin/KWinShortcuts.hpp"

#include "KWinSession.hpp"
#include "Platform/KWin/KWinKeyCombination.hpp"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QKeyCombination>

#include <gtest/gtest.h>

#include <memory>

namespace tavelor::kwin::test {
namespace {

using GrabResult = platform::GlobalShortcuts::GrabResult;

constexpr HotKey kCtrlAltT{17, controlKey | optionKey};
constexpr HotKey kCtrlAltY{16, controlKey | optionKey};
const QStringList kCtrlAltTKeys{QStringLiteral("29"), QStringLiteral("56"), QStringLiteral("20")};

int combination(Qt::KeyboardModifiers modifiers, Qt::Key key)
{
    return QKeyCombination(modifiers, key).toCombined();
}

// Another program's shortcut, set as KDE's own settings would.
QList<int> setOtherShortcut(const QList<int>& keys)
{
    qDBusRegisterMetaType<QList<int>>();
    const QStringList id{QStringLiteral("tavelor-test-other"), QStringLiteral("act"),
                         QStringLiteral("Other"), QStringLiteral("Act")};
    auto call = [&](const QString& method, const QVariantList& arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            QStringLiteral("org.kde.kglobalaccel"), QStringLiteral("/kglobalaccel"),
            QStringLiteral("org.kde.KGlobalAccel"), method);
        message.setArguments(arguments);
        return QDBusConnection::sessionBus().call(message);
    };
    call(QStringLiteral("doRegister"), {id});
    const QDBusMessage reply = call(QStringLiteral("setShortcut"),
                                    {id, QVariant::fromValue(keys), QVariant::fromValue(6u)});
    return reply.arguments().isEmpty() ? QList<int>{}
                                       : qdbus_cast<QList<int>>(reply.arguments().constFirst());
}

TEST(KWinShortcuts, PressedFromAnyWindowUntilReleased)
{
    KWinShortcuts shortcuts;
    int presses = 0;
    shortcuts.setPressedHandler([&] { ++presses; });
    ASSERT_EQ(shortcuts.grab(kCtrlAltT), GrabResult::Grabbed);

    ASSERT_EQ(runProgram(QStringLiteral(TAVELOR_FAKE_KEYS), kCtrlAltTKeys), 0);
    EXPECT_TRUE(waitUntil([&] { return presses == 1; }));
    ASSERT_EQ(runProgram(QStringLiteral(TAVELOR_FAKE_KEYS), kCtrlAltTKeys), 0);
    EXPECT_TRUE(waitUntil([&] { return presses == 2; }));

    shortcuts.release();
    // Released keys are free for others at once.
    const int keys = combination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_T);
    EXPECT_EQ(setOtherShortcut({keys}), QList<int>{keys});
    setOtherShortcut({});
    ASSERT_EQ(runProgram(QStringLiteral(TAVELOR_FAKE_KEYS), kCtrlAltTKeys), 0);
    waitUntil([] { return false; }, 500);
    EXPECT_EQ(presses, 2);
}

TEST(KWinShortcuts, CombinationAnotherProgramHoldsIsTaken)
{
    const int keys = combination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_Y);
    ASSERT_EQ(setOtherShortcut({keys}), QList<int>{keys});
    KWinShortcuts shortcuts;
    EXPECT_EQ(shortcuts.grab(kCtrlAltY), GrabResult::Taken);
    // A refused grab holds nothing, not even what was held before.
    ASSERT_EQ(shortcuts.grab(kCtrlAltT), GrabResult::Grabbed);
    EXPECT_EQ(shortcuts.grab(kCtrlAltY), GrabResult::Taken);
    const int ctrlAltT = combination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_T);
    EXPECT_EQ(setOtherShortcut({ctrlAltT}), QList<int>{ctrlAltT});
    setOtherShortcut({});
    EXPECT_EQ(shortcuts.grab(HotKey{0x34, controlKey}), GrabResult::NoSuchKey);
}

struct KeymapDeleter {
    void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
};

TEST(KWinKeyCombination, KeyOfTheLayoutWithItsModifiers)
{
    struct Case {
        const char* layout;
        HotKey hotKey;
        int expected;
    };
    const Case cases[] = {
        {"us", {0, controlKey}, combination(Qt::ControlModifier, Qt::Key_A)},
        {"us",
         {6, cmdKey | shiftKey},
         combination(Qt::MetaModifier | Qt::ShiftModifier, Qt::Key_Z)},
        {"de",
         {6, cmdKey | shiftKey},
         combination(Qt::MetaModifier | Qt::ShiftModifier, Qt::Key_Y)},
        {"fr", {0, optionKey}, combination(Qt::AltModifier, Qt::Key_Q)},
        {"de", {41, controlKey}, combination(Qt::ControlModifier, Qt::Key_Odiaeresis)},
        {"us",
         {36, optionKey | shiftKey},
         combination(Qt::AltModifier | Qt::ShiftModifier, Qt::Key_Return)},
        {"us", {122, cmdKey}, combination(Qt::MetaModifier, Qt::Key_F1)},
        {"us", {49, controlKey}, combination(Qt::ControlModifier, Qt::Key_Space)},
        {"us",
         {83, controlKey},
         combination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_End)},
    };
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.layout) + " key " + std::to_string(c.hotKey.keyCode));
        const xkb_rule_names names{nullptr, nullptr, c.layout, nullptr, nullptr};
        std::unique_ptr<xkb_keymap, KeymapDeleter> keymap(
            xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
        ASSERT_TRUE(keymap);
        EXPECT_EQ(qtKeyCombination(c.hotKey, keymap.get(), 0), c.expected);
    }
    // A dead key names nothing a shortcut can hold.
    const xkb_rule_names deadKeys{nullptr, nullptr, "de", nullptr, nullptr};
    std::unique_ptr<xkb_keymap, KeymapDeleter> de(
        xkb_keymap_new_from_names(context, &deadKeys, XKB_KEYMAP_COMPILE_NO_FLAGS));
    EXPECT_FALSE(qtKeyCombination(HotKey{24, controlKey}, de.get(), 0));
    xkb_context_unref(context);
}

} // namespace
} // namespace tavelor::kwin::test
