#include "Platform/BackendFactory.hpp"

#include <gtest/gtest.h>

namespace tavelor::platform {
namespace {

TEST(Session, ReadsTheEnvironment)
{
    struct Case {
        const char* type;
        const char* desktop;
        const char* wayland;
        QStringList desktops;
        bool isWayland;
    };
    const Case cases[] = {
        {"x11", "openbox", "", {"openbox"}, false},
        {"Wayland", "ubuntu:GNOME", "", {"ubuntu", "GNOME"}, true},
        {"", "KDE", "wayland-0", {"KDE"}, true},
        {"tty", "", "", {}, false},
    };
    for (const Case& c : cases) {
        qputenv("XDG_SESSION_TYPE", c.type);
        qputenv("XDG_CURRENT_DESKTOP", c.desktop);
        qputenv("WAYLAND_DISPLAY", c.wayland);
        const Session session = Session::fromEnvironment();
        EXPECT_EQ(session.desktops, c.desktops) << c.desktop;
        EXPECT_EQ(session.isWayland(), c.isWayland) << c.type;
        for (const QString& desktop : c.desktops)
            EXPECT_TRUE(session.runs(desktop.toLower()));
        EXPECT_FALSE(session.runs("KD"));
    }
}

} // namespace
} // namespace tavelor::platform
