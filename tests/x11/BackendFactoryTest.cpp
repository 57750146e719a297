#include "Platform/BackendFactory.hpp"

#include "Platform/GlobalShortcuts.hpp"
#include "Platform/WindowAccess.hpp"
#include "Services/WindowRestorer.hpp"

#include <gtest/gtest.h>

namespace tavelor::platform {
namespace {

TEST(Session, ReadsTheEnvironment)
{
    // XDG_SESSION_TYPE, XDG_CURRENT_DESKTOP, WAYLAND_DISPLAY; the desktops and Wayland read.
    const std::tuple<const char*, const char*, const char*, QStringList, bool> cases[] = {
        {"x11", "openbox", "", {"openbox"}, false},
        {"Wayland", "ubuntu:GNOME", "", {"ubuntu", "GNOME"}, true},
        {"", "KDE", "wayland-0", {"KDE"}, true},
        {"tty", "", "", {}, false}};
    for (const auto& [type, desktop, wayland, desktops, isWayland] : cases) {
        qputenv("XDG_SESSION_TYPE", type);
        qputenv("XDG_CURRENT_DESKTOP", desktop);
        qputenv("WAYLAND_DISPLAY", wayland);
        const Session session = Session::fromEnvironment();
        EXPECT_EQ(session.desktops, desktops) << desktop;
        EXPECT_EQ(session.isWayland(), isWayland) << type;
        for (const QString& name : desktops)
            EXPECT_TRUE(session.runs(name.toLower()));
        EXPECT_FALSE(session.runs("KD"));
    }
}

TEST(BackendFactory, AnX11SessionWithoutItsServerIsAnEmptyDesktop)
{
    const auto backend = createBackend(Session{"x11", {}, {}, ":32000"});
    EXPECT_EQ(backend->name(), QStringLiteral("x11"));
    EXPECT_TRUE(backend->windowSource().listApplications().empty());
    EXPECT_FALSE(backend->windowAccess().canWorkWithWindows(true));
    EXPECT_EQ(backend->globalShortcuts().grab({49, cmdKey}),
              GlobalShortcuts::GrabResult::Unavailable);
    const WindowProfile profile{{}, {}, {WindowSnapshot{"a", "A", "t", {1, 2, 3, 4}}}};
    const auto result = WindowRestorer(backend->windowSource()).apply(profile);
    EXPECT_EQ(result.appliedCount, 0);
    EXPECT_EQ(result.missingCount, 1);
}

} // namespace
} // namespace tavelor::platform
