// The monitors as the GNOME Shell backend reads them while Mutter's monitors are
// rearranged, dropped and brought back (inside tests/wayland/gnome-session
// --two-monitors --eval).
#include "Platform/GnomeShell/ShellDisplays.hpp"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

#include <gtest/gtest.h>

using namespace tavelor;

namespace {

const QString kMutter = QStringLiteral("org.gnome.Mutter.DisplayConfig");

QDBusMessage call(const QString& service, const QString& path, const QString& method,
                  const QVariantList& arguments = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, service, method);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().call(message);
}

// The monitors' areas as the shell lays out its panels and windows.
QJsonArray shellMonitors()
{
    const QVariantList reply =
        call("org.gnome.Shell", "/org/gnome/Shell", "Eval",
             {"Main.layoutManager.monitors.map(m => [m.x, m.y, m.width, m.height])"})
            .arguments();
    return QJsonDocument::fromJson(reply.value(1).toByteArray()).array();
}

QJsonArray areas(const DisplaySetup& setup)
{
    QJsonArray result;
    for (const Monitor& m : setup.monitors)
        result.append(QJsonArray{m.x, m.y, m.width, m.height});
    return result;
}

// Each monitor: its connector, mode, place and scale, in GVariant text.
QString applyMonitors(const QString& monitors)
{
    const uint serial = call(kMutter, "/org/gnome/Mutter/DisplayConfig", "GetCurrentState")
                            .arguments()
                            .value(0)
                            .toUInt();
    QProcess gdbus;
    gdbus.start("gdbus",
                {"call", "--session", "--dest", kMutter, "--object-path",
                 "/org/gnome/Mutter/DisplayConfig", "--method", kMutter + ".ApplyMonitorsConfig",
                 QString::number(serial), "1", "[" + monitors + "]", "@a{sv} {}"});
    gdbus.waitForFinished();
    return gdbus.readAllStandardError();
}

TEST(ShellDisplays, ReadsEachSetupAndHearsEachChange)
{
    gnomeshell::ShellDisplays displays;
    int notices = 0;
    displays.setChangedHandler([&] { ++notices; });
    const DisplaySetup docked = displays.currentSetup();
    ASSERT_EQ(docked.monitors.size(), 2);
    EXPECT_EQ(docked.monitors[1], (Monitor{"Meta-1", "MetaVendor", "MetaVirtualMonitor", "0x01",
                                           1920, 0, 1280, 1024, 1}));
    const QString big = "[('Meta-0', '1920x1080@60.000', @a{sv} {})]";
    const QString small = "[('Meta-1', '1280x1024@60.000', @a{sv} {})]";
    const struct {
        QString config;
        QStringList monitors; // connector@scale
    } steps[] = {
        // Left of the first, which doubles its scale: GNOME 48 halves its area, 43 does not.
        {"(1280, 0, 2.0, uint32 0, true, " + big + "), (0, 0, 1.0, uint32 0, false, " + small + ")",
         {"Meta-0@2", "Meta-1@1"}},
        {"(0, 0, 1.0, uint32 0, true, " + big + ")", {"Meta-0@1"}},
        {"(0, 0, 1.0, uint32 0, true, " + big + "), (1920, 0, 1.0, uint32 0, false, " + small + ")",
         {"Meta-0@1", "Meta-1@1"}},
    };
    for (const auto& step : steps) {
        const int before = notices;
        ASSERT_EQ(applyMonitors(step.config), "") << step.config.toStdString();
        const QDeadlineTimer deadline(10000);
        while (notices == before && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        ASSERT_GT(notices, before) << step.config.toStdString();
        const DisplaySetup setup = displays.currentSetup();
        QStringList monitors;
        for (const Monitor& m : setup.monitors)
            monitors.append(m.connector + "@" + QString::number(m.scale));
        monitors.sort();
        EXPECT_EQ(monitors, step.monitors);
        EXPECT_EQ(areas(setup), shellMonitors()) << step.config.toStdString();
    }
    EXPECT_EQ(displays.currentSetup(), docked);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
