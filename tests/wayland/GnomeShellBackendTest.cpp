// The GNOME Shell backend's key names, and against a real GNOME Shell with the extension
// (tests/wayland/gnome-session --two-monitors --eval) its shortcuts and the monitors while
// Mutter's change.
#include "Platform/GnomeShell/GnomeShellShortcuts.hpp"
#include "Platform/GnomeShell/ShellAccelerator.hpp"
#include "Platform/GnomeShell/ShellDisplays.hpp"
#include "Platform/GnomeShell/ShellInterface.hpp"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

#include <gtest/gtest.h>

namespace tavelor::gnomeshell {
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
        EXPECT_EQ(shellAccelerator(c.hotKey), c.expected) << c.hotKey.keyCode;
}

// What Tavelor holds is free for another program once released or replaced by a
// shortcut of no key.
TEST(GnomeShellShortcuts, HoldsNothingOnceReleasedOrReplacedByNoKey)
{
    if (!shellAnswers())
        GTEST_SKIP() << "no GNOME Shell with Tavelor's extension";
    QDBusInterface other(shellService, shellPath, shellInterface,
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
        GnomeShellShortcuts shortcuts;
        ASSERT_EQ(shortcuts.grab({0x11, controlKey | optionKey}), Result::Grabbed); // T
        EXPECT_FALSE(otherGrabs());
        if (release)
            shortcuts.release();
        else
            EXPECT_EQ(shortcuts.grab({0x34, controlKey}), Result::NoSuchKey);
        EXPECT_TRUE(otherGrabs()) << release;
    }
}

TEST(ShellDisplays, ReadsEachSetupAsTheShellLaysItOutAndHearsEachChange)
{
    ShellDisplays displays;
    int notices = 0;
    displays.setChangedHandler([&] { ++notices; });
    QDBusInterface shell("org.gnome.Shell", "/org/gnome/Shell", "org.gnome.Shell");
    const auto laidOut = [&] { // the monitors as the shell lays out its panels and windows
        const QDBusMessage reply =
            shell.call("Eval", "Main.layoutManager.monitors.map(m => [m.x, m.y, "
                               "m.width, m.height, m.geometry_scale])");
        return QJsonDocument::fromJson(reply.arguments().value(1).toByteArray()).array();
    };
    if (laidOut().size() != 2)
        GTEST_SKIP() << "no GNOME Shell with two monitors";
    const DisplaySetup docked = displays.currentSetup();
    EXPECT_EQ(docked.monitors.value(1), (Monitor{"Meta-1", "MetaVendor", "MetaVirtualMonitor",
                                                 "0x01", 1920, 0, 1280, 1024, 1}));
    const QString mutter = "org.gnome.Mutter.DisplayConfig",
                  path = "/org/gnome/Mutter/DisplayConfig";
    QDBusInterface mutterConfig(mutter, path, mutter);
    const QStringList apply = {"call", "--session", "--dest", mutter,
                               "-o",   path,        "-m",     mutter + ".ApplyMonitorsConfig"};
    const QString big = ", true, [('Meta-0', '1920x1080@60.000', @a{sv} {})])";
    const QString small = ", uint32 0, false, [('Meta-1', '1280x1024@60.000', @a{sv} {})])";
    // Scale 2 (GNOME 48 halves the area, 43 does not), a quarter turn, one monitor, both again.
    for (const QString& config :
         {"(1280, 0, 2.0, uint32 0" + big + ", (0, 0, 1.0" + small,
          "(0, 0, 1.0, uint32 1" + big + ", (1080, 0, 1.0" + small, "(0, 0, 1.0, uint32 0" + big,
          "(0, 0, 1.0, uint32 0" + big + ", (1920, 0, 1.0" + small}) {
        const int before = notices;
        const QVariant serial = mutterConfig.call("GetCurrentState").arguments().value(0);
        ASSERT_EQ(QProcess::execute("gdbus", apply + QStringList{serial.toString(), "1",
                                                                 "[" + config + "]", "@a{sv} {}"}),
                  0);
        const QDeadlineTimer deadline(10000);
        while (notices == before && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        ASSERT_GT(notices, before) << config.toStdString();
        QJsonArray read;
        for (const Monitor& m : displays.currentSetup().monitors)
            read.append(QJsonArray{m.x, m.y, m.width, m.height, m.scale});
        EXPECT_EQ(read, laidOut());
    }
    EXPECT_EQ(displays.currentSetup(), docked);
}

} // namespace
} // namespace tavelor::gnomeshell
