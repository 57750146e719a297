// The monitors from a real X server's RandR (where a restore puts a window
// saved off every monitor: CaptureTest).
#include "Platform/X11/X11Backend.hpp"
#include "support/TestDesktop.hpp"

#include <QFile>

#include <gtest/gtest.h>
#include <xcb/randr.h>

#include <array>

using namespace Qt::StringLiterals;

namespace tavelor::x11::testing {
namespace {

TEST(X11Displays, ListsRandrMonitorsWithTheirEdidAndTellsOfChanges)
{
    X11Backend backend;
    platform::Displays& displays = backend.displays();
    int changes = 0;
    displays.setChangedHandler([&] { ++changes; });

    // Xvfb's one output, as large as its screen and with no EDID of its own.
    const DisplaySetup plain = displays.currentSetup();
    ASSERT_EQ(plain.monitors, (QList<Monitor>{{u"screen"_s, {}, {}, {}, 0, 0, 1280, 800, 1}}));

    // Give the output the EDID a real monitor would have.
    xcb_connection_t* c = backend.connection()->get();
    const XcbPtr<xcb_randr_get_monitors_reply_t> monitors(xcb_randr_get_monitors_reply(
        c, xcb_randr_get_monitors(c, backend.connection()->root(), 1), nullptr));
    QFile fixture(u"" TAVELOR_SOURCE_DIR "/tests/unit/edid/linux-fhd.bin"_s);
    const QByteArray edid = fixture.open(QIODevice::ReadOnly) ? fixture.readAll() : "";
    const xcb_randr_output_t output = xcb_randr_monitor_info_outputs(
        xcb_randr_get_monitors_monitors_iterator(monitors.get()).data)[0];
    xcb_randr_change_output_property(c, output, backend.connection()->atom("EDID"),
                                     XCB_ATOM_INTEGER, 8, XCB_PROP_MODE_REPLACE,
                                     static_cast<std::uint32_t>(edid.size()), edid.constData());
    const DisplaySetup known = displays.currentSetup();
    EXPECT_EQ(known.monitors.value(0).maker + known.monitors.value(0).model, u"LNXLinux FHD"_s);

    // Another window's ConfigureNotify (its window, bytes 8-11, is 0) is no change.
    const std::array<char, 32> moved{XCB_CONFIGURE_NOTIFY};
    xcb_send_event(c, 0, backend.connection()->root(), XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                   moved.data());
    clientList(*backend.connection()); // a round trip: the event is with the listeners
    EXPECT_EQ(changes, 0);

    // A second monitor made and removed as a dock would: RandR sends no
    // notification for these, the root's ConfigureNotify tells.
    ASSERT_EQ(run("xrandr --setmonitor right 640/170x400/100+640+400 none"), 0);
    ASSERT_TRUE(waitUntil([&] { return changes > 0; }));
    const DisplaySetup docked = displays.currentSetup();
    EXPECT_EQ(docked.monitors.value(0), (Monitor{u"right"_s, {}, {}, {}, 640, 400, 640, 400, 1}));
    EXPECT_FALSE(docked.isSameSetup(known));

    const int before = changes;
    ASSERT_EQ(run("xrandr --delmonitor right"), 0);
    ASSERT_TRUE(waitUntil([&] { return changes > before; }));
    EXPECT_TRUE(displays.currentSetup().isSameSetup(known));
}

} // namespace
} // namespace tavelor::x11::testing
