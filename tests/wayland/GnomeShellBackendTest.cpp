// The GNOME Shell backend's key names, and its shortcuts against a real GNOME Shell
// with the extension (run by gnome_shell_test.py inside tests/wayland/gnome-session).
#include "Platform/GnomeShell/GnomeShellShortcuts.hpp"
#include "Platform/GnomeShell/ShellAccelerator.hpp"
#include "Platform/GnomeShell/ShellInterface.hpp"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>

#include <gtest/gtest.h>

using namespace tavelor;

namespace {

TEST(GnomeShellAccelerator, NamesTheKeyPositionAndModifiers)
{
    const struct {
        HotKey hotKey;
        std::optional<QString> expected;
    } cases[] = {
        {{0x11, controlKey | optionKey}, "<Control><Alt>0x1c"}, // T
        {{49, cmdKey | shiftKey}, "<Shift><Super>0x41"},        // Space
        {{122, controlKey}, "<Control>0x43"},                   // F1
        {{0x34, controlKey}, std::nullopt},                     // no key of its own
    };
    for (const auto& c : cases)
        EXPECT_EQ(gnomeshell::shellAccelerator(c.hotKey), c.expected) << c.hotKey.keyCode;
}

// What Tavelor holds is free for another program once released or replaced by a
// shortcut of no key.
TEST(GnomeShellShortcuts, HoldsNothingOnceReleasedOrReplacedByNoKey)
{
    if (!gnomeshell::shellAnswers())
        GTEST_SKIP() << "no GNOME Shell with Tavelor's extension";
    QDBusInterface other(gnomeshell::shellService, gnomeshell::shellPath,
                         gnomeshell::shellInterface,
                         QDBusConnection::connectToBus(QDBusConnection::SessionBus, "other"));
    const auto otherGrabs = [&] {
        const bool grabbed =
            other.call("GrabShortcut", QStringLiteral("<Control><Alt>0x1c")).type() ==
            QDBusMessage::ReplyMessage;
        other.call("ReleaseShortcut");
        return grabbed;
    };
    using Result = platform::GlobalShortcuts::GrabResult;
    for (const bool release : {true, false}) {
        gnomeshell::GnomeShellShortcuts shortcuts;
        ASSERT_EQ(shortcuts.grab({0x11, controlKey | optionKey}), Result::Grabbed); // T
        EXPECT_FALSE(otherGrabs());
        if (release)
            shortcuts.release();
        else
            EXPECT_EQ(shortcuts.grab({0x34, controlKey}), Result::NoSuchKey);
        EXPECT_TRUE(otherGrabs()) << release;
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
