// The monitors as the X11 backend reads them from a real X server's RandR.
#include "Platform/X11/X11Displays.hpp"

#include "Models/WindowFrame.hpp"
#include "support/TestDesktop.hpp"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>
#include <xcb/randr.h>

using namespace Qt::StringLiterals;

namespace tavelor::x11 {

using tavelor::WindowFrame;
namespace {

bool xrandr(const QStringList& arguments)
{
    return QProcess::execute(u"xrandr"_s, arguments) == 0;
}

QStringList connectors(platform::Displays& displays)
{
    QStringList names;
    for (const Monitor& monitor : displays.currentSetup().monitors)
        names << monitor.connector;
    return names;
}

TEST(X11Displays, ListsRandrMonitorsWithTheirEdidAndTellsOfChanges)
{
    const auto connection = X11Connection::open();
    ASSERT_TRUE(connection);
    X11Displays displays(connection.get());
    int changes = 0;
    displays.setChangedHandler([&] { ++changes; });

    // Xvfb's one output, as large as its screen and with no EDID of its own.
    const DisplaySetup plain = displays.currentSetup();
    ASSERT_EQ(plain.monitors.size(), 1);
    const Monitor& screen = plain.monitors[0];
    EXPECT_EQ(screen, (Monitor{u"screen"_s, {}, {}, {}, 0, 0, 1280, 800, 1}));

    // Give the output the EDID a real monitor would have.
    xcb_connection_t* c = connection->get();
    using Resources = XcbPtr<xcb_randr_get_screen_resources_current_reply_t>;
    const Resources resources(xcb_randr_get_screen_resources_current_reply(
        c, xcb_randr_get_screen_resources_current(c, connection->root()), nullptr));
    ASSERT_TRUE(resources);
    ASSERT_EQ(xcb_randr_get_screen_resources_current_outputs_length(resources.get()), 1);
    QFile fixture(u"" TAVELOR_SOURCE_DIR "/tests/unit/edid/linux-fhd.bin"_s);
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    const QByteArray edid = fixture.readAll();
    xcb_randr_change_output_property(
        c, xcb_randr_get_screen_resources_current_outputs(resources.get())[0],
        connection->atom("EDID"), XCB_ATOM_INTEGER, 8, XCB_PROP_MODE_REPLACE,
        static_cast<std::uint32_t>(edid.size()), edid.constData());
    const DisplaySetup known = displays.currentSetup();
    ASSERT_EQ(known.monitors.size(), 1);
    EXPECT_EQ(known.monitors[0].maker, u"LNX"_s);
    EXPECT_EQ(known.monitors[0].model, u"Linux FHD"_s);
    EXPECT_TRUE(known.isSameSetup(plain)) << "known on one side only: connector and size";

    // A second monitor made and removed as a dock would: RandR sends no
    // notification for these, the root's ConfigureNotify tells.
    ASSERT_TRUE(xrandr({u"--setmonitor"_s, u"right"_s, u"640/170x400/100+640+400"_s, u"none"_s}));
    ASSERT_TRUE(testing::waitUntil([&] { return changes > 0; }));
    EXPECT_EQ(connectors(displays), (QStringList{u"right"_s, u"screen"_s}));
    const Monitor right = displays.currentSetup().monitors[0];
    EXPECT_EQ((WindowFrame{right.x, right.y, right.width, right.height}),
              (WindowFrame{640, 400, 640, 400}));
    EXPECT_FALSE(displays.currentSetup().isSameSetup(known));

    const int before = changes;
    ASSERT_TRUE(xrandr({u"--delmonitor"_s, u"right"_s}));
    ASSERT_TRUE(testing::waitUntil([&] { return changes > before; }));
    EXPECT_TRUE(displays.currentSetup().isSameSetup(known));
}

TEST(X11Displays, KnowsNoMonitorsWithoutAnXServer)
{
    X11Displays displays(nullptr);
    EXPECT_TRUE(displays.currentSetup().monitors.isEmpty());
}

} // namespace
} // namespace tavelor::x11
