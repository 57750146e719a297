// The GNOME Shell backend's monitors while Mutter's are rearranged, dropped and brought
// back (in tests/wayland/gnome-session --two-monitors --eval).
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

QVariantList call(const QString& service, const QString& method, const QString& argument = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        service, "/" + QString(service).replace('.', '/'), service, method);
    if (!argument.isEmpty())
        message << argument;
    return QDBusConnection::sessionBus().call(message).arguments();
}

TEST(ShellDisplays, ReadsEachSetupAsTheShellLaysItOutAndHearsEachChange)
{
    int argc = 0;
    const QCoreApplication app(argc, nullptr);
    gnomeshell::ShellDisplays displays;
    int notices = 0;
    displays.setChangedHandler([&] { ++notices; });
    const DisplaySetup docked = displays.currentSetup();
    ASSERT_EQ(docked.monitors.size(), 2);
    EXPECT_EQ(docked.monitors[1], (Monitor{"Meta-1", "MetaVendor", "MetaVirtualMonitor", "0x01",
                                           1920, 0, 1280, 1024, 1}));
    const QString mutter = "org.gnome.Mutter.DisplayConfig";
    const QString big = ", uint32 0, true, [('Meta-0', '1920x1080@60.000', @a{sv} {})])";
    const QString small = ", uint32 0, false, [('Meta-1', '1280x1024@60.000', @a{sv} {})])";
    // Scale 2 on the left one: GNOME 48 lays out its monitors halved, 43 does not.
    for (const QString& config :
         {"(1280, 0, 2.0" + big + ", (0, 0, 1.0" + small, "(0, 0, 1.0" + big,
          "(0, 0, 1.0" + big + ", (1920, 0, 1.0" + small}) {
        const int before = notices;
        QProcess gdbus;
        gdbus.start("gdbus",
                    {"call", "--session", "--dest", mutter, "-o", "/org/gnome/Mutter/DisplayConfig",
                     "-m", mutter + ".ApplyMonitorsConfig",
                     call(mutter, "GetCurrentState").value(0).toString(), "1", "[" + config + "]",
                     "@a{sv} {}"});
        ASSERT_TRUE(gdbus.waitForFinished() && gdbus.exitCode() == 0) << config.toStdString();
        const QDeadlineTimer deadline(10000);
        while (notices == before && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        ASSERT_GT(notices, before) << config.toStdString();
        QJsonArray read;
        for (const Monitor& m : displays.currentSetup().monitors)
            read.append(QJsonArray{m.x, m.y, m.width, m.height, m.scale});
        const QString shell =
            "Main.layoutManager.monitors.map(m => [m.x, m.y, m.width, m.height, m.geometry_scale])";
        EXPECT_EQ(read, QJsonDocument::fromJson(
                            call("org.gnome.Shell", "Eval", shell).value(1).toByteArray())
                            .array())
            << config.toStdString();
    }
    EXPECT_EQ(displays.currentSetup(), docked);
}

} // namespace
