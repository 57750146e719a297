// Window states saved and restored under real window managers, read back from
// the X server; the user's desktop and focus stay as they are.
#include "Models/ProfilesJsonReader.hpp"
#include "Models/ProfilesJsonWriter.hpp"
#include "Platform/X11/X11Backend.hpp"
#include "Services/WindowRestorer.hpp"
#include "Services/WindowScanner.hpp"
#include "support/TestDesktop.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace tavelor::x11::testing {
namespace {

using namespace std::chrono_literals;

class X11WindowStateTest : public ::testing::Test {
protected:
    // What the window manager shows of one window: its desktop and the states
    // of interest, e.g. "1 HIDDEN ABOVE".
    std::string shown(xcb_window_t window)
    {
        const auto desktop = cardinals(x, window, "_NET_WM_DESKTOP");
        std::string s = desktop.empty() ? "none" : std::to_string(desktop.front());
        const auto atoms = cardinals(x, window, "_NET_WM_STATE");
        for (const char* state :
             {"MAXIMIZED_VERT", "MAXIMIZED_HORZ", "HIDDEN", "FULLSCREEN", "ABOVE"})
            if (std::ranges::count(atoms, x.atom(std::string("_NET_WM_STATE_") + state)))
                s += std::string(" ") + state;
        return s;
    }

    // The windows in `of` that are not minimised, in stacking order from the
    // bottom (where a minimised window stacks nobody sees).
    std::vector<xcb_window_t> stacked(const std::vector<xcb_window_t>& of)
    {
        std::vector<xcb_window_t> order;
        for (std::uint32_t w : cardinals(x, x.root(), "_NET_CLIENT_LIST_STACKING"))
            if (std::ranges::count(of, w) && shown(w).find("HIDDEN") == std::string::npos)
                order.push_back(w);
        return order;
    }
    std::uint32_t rootValue(const char* name)
    {
        const auto values = cardinals(x, x.root(), name);
        return values.empty() ? 0 : values.front();
    }
    std::uint32_t active() { return rootValue("_NET_ACTIVE_WINDOW"); }

    // The user's side, through tools of their own: "%1" is the window.
    static void run(const char* command, xcb_window_t w) { testing::run(QString(command).arg(w)); }

    X11Backend backend;
    X11Connection& x = *backend.connection();
};

TEST_F(X11WindowStateTest, TheStateLeftIsTheStateRestoredAndAnOldProfileMovesFramesOnly)
{
    ASSERT_TRUE(waitUntil([&] { return clientList(x).empty(); }));
    QStringList arguments;
    for (int i = 0; i < 7; ++i)
        arguments << "--window"
                  << "--class=s,State" << QStringLiteral("--title=W%1").arg(i)
                  << QStringLiteral("--geometry=200x150+%1+%2").arg(40 + 60 * i).arg(30 + 40 * i);
    FixtureClient fixture(arguments);
    const std::vector<xcb_window_t>& w = fixture.windows();
    ASSERT_EQ(w.size(), 7u);

    run("wmctrl -i -r %1 -t 1", w[0]);
    run("wmctrl -i -r %1 -b add,maximized_vert,maximized_horz", w[1]);
    run("wmctrl -i -r %1 -b add,maximized_vert", w[2]);
    run("xdotool windowminimize %1", w[3]);
    run("wmctrl -i -r %1 -b add,fullscreen", w[4]);
    run("wmctrl -i -r %1 -b add,above", w[5]);
    run("xdotool windowraise %1", w[2]);
    run("wmctrl -i -a %1", w[6]);
    ASSERT_TRUE(waitUntil([&] {
        return shown(w[0]) == "1" && shown(w[3]) == "0 HIDDEN" && shown(w[5]) == "0 ABOVE" &&
               active() == w[6];
    }));
    auto now = [&] {
        std::vector<std::string> states;
        for (xcb_window_t window : w)
            states.push_back(shown(window));
        return states;
    };
    const std::vector<std::string> left = now();
    const std::vector<xcb_window_t> leftOrder = stacked(w);
    WindowProfile profile;
    for (const WindowScanner::ScanResult& result : WindowScanner(backend.windowSource()).scan())
        profile.snapshots.append(result.snapshot);
    // Through the file's form, as the store keeps it.
    profile = decodeProfiles(encodeProfiles({profile}).value().toStdString()).value().front();
    ASSERT_EQ(profile.snapshots.size(), 7);

    // The user changes all of it, then comes back to the window they work in.
    run("wmctrl -i -r %1 -t 0", w[0]);
    run("wmctrl -i -r %1 -b remove,maximized_vert,maximized_horz", w[1]);
    run("wmctrl -i -r %1 -b remove,maximized_vert", w[2]);
    run("wmctrl -i -r %1 -b add,maximized_horz", w[2]);
    run("wmctrl -i -a %1", w[3]);
    run("wmctrl -i -r %1 -b remove,fullscreen", w[4]);
    run("wmctrl -i -r %1 -b remove,above", w[5]);
    for (auto it = leftOrder.rbegin(); it != leftOrder.rend(); ++it)
        run("xdotool windowraise %1", *it);
    run("wmctrl -i -a %1", w[6]);
    ASSERT_TRUE(
        waitUntil([&] { return shown(w[0]) == "0" && shown(w[3]) == "0" && active() == w[6]; }));

    // xfwm4 has no _NET_RESTACK_WINDOW, and a ConfigureWindow raise activates.
    const bool restacks = qEnvironmentVariable("TAVELOR_TEST_WM") != u"xfwm4";
    WindowRestorer(backend.windowSource()).apply(profile);
    // Settled: openbox restacks a fullscreen window once it sees the focus leave.
    auto done = [&] { return now() == left && (stacked(w) == leftOrder) == restacks; };
    waitUntil([&] { return done() && !waitUntil([&] { return !done(); }, 300ms); });
    EXPECT_EQ(now(), left);
    EXPECT_EQ(stacked(w) == leftOrder, restacks)
        << ::testing::PrintToString(stacked(w)) << " saved " << ::testing::PrintToString(leftOrder);
    EXPECT_EQ(rootValue("_NET_CURRENT_DESKTOP"), 0u);
    EXPECT_EQ(active(), w[6]);

    // A profile saved before states were recorded: frames only, as ever.
    const std::vector<xcb_window_t> order = stacked(w);
    QList<WindowSnapshot> old = {profile.snapshots[3], profile.snapshots[1]};
    ASSERT_EQ(old[1].windowTitle, QStringLiteral("W1"));
    const WindowFrame maxFrame{350, 250, 260, 190};
    old[0].frame = {300, 200, 250, 180};
    old[1].frame = maxFrame;
    for (WindowSnapshot& snapshot : old)
        snapshot.state.reset();
    WindowRestorer(backend.windowSource()).apply({{}, {}, old, false, 0, 0});
    // The frame as the backend reads it: the window manager's, decorations included.
    EXPECT_TRUE(waitUntil([&] {
        return WindowScanner(backend.windowSource()).scan().at(1).snapshot.frame == maxFrame;
    }));
    EXPECT_EQ(shown(w[3]), "0 HIDDEN");
    EXPECT_EQ(shown(w[1]), "0");
    EXPECT_EQ(stacked(w), order);
    EXPECT_EQ(active(), w[6]);
}

} // namespace
} // namespace tavelor::x11::testing
