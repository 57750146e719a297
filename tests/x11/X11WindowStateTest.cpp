// Window states saved and restored under real window managers, read back from
// the X server; the user's desktop and focus stay as they are.
#include "Models/ProfilesJsonReader.hpp"
#include "Models/ProfilesJsonWriter.hpp"
#include "Platform/X11/X11Backend.hpp"
#include "Platform/X11/XcbPointers.hpp"
#include "Services/WindowRestorer.hpp"
#include "Services/WindowScanner.hpp"
#include "support/TestDesktop.hpp"

#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>

namespace tavelor::x11::testing {
namespace {

using namespace std::chrono_literals;

// What each window manager leaves undone when asked: "stacking", or
// "Title STATE" for one window's state.
const std::map<std::string, std::set<std::string>> kIgnored = {
    {"openbox", {}},
    {"xfwm4", {"stacking"}}, // no _NET_RESTACK_WINDOW, and a ConfigureWindow raise activates
};

class X11WindowStateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_backend = std::make_unique<X11Backend>();
        ASSERT_TRUE(waitUntil([&] { return clientList(connection()).empty(); }));
    }

    X11Connection& connection() { return *m_backend->connection(); }

    std::vector<std::uint32_t> cardinals(xcb_window_t window, const char* name, xcb_atom_t type)
    {
        xcb_connection_t* c = connection().get();
        XcbPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            c, xcb_get_property(c, 0, window, connection().atom(name), type, 0, 4096), nullptr));
        if (!reply || reply->format != 32)
            return {};
        const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
        return {data, data + xcb_get_property_value_length(reply.get()) / 4};
    }

    // What the window manager shows of one window, from its properties: its
    // desktop and the states of interest, e.g. "1 HIDDEN ABOVE".
    std::string shown(xcb_window_t window, const std::string& title = {})
    {
        const auto desktop = cardinals(window, "_NET_WM_DESKTOP", XCB_ATOM_CARDINAL);
        std::string s = desktop.empty() ? "none" : std::to_string(desktop.front());
        const auto atoms = cardinals(window, "_NET_WM_STATE", XCB_ATOM_ATOM);
        for (const char* state :
             {"MAXIMIZED_VERT", "MAXIMIZED_HORZ", "HIDDEN", "FULLSCREEN", "ABOVE"}) {
            if (std::count(atoms.begin(), atoms.end(),
                           connection().atom(std::string("_NET_WM_STATE_") + state)) &&
                !kIgnored.at(wm()).contains(title + ' ' + state))
                s += std::string(" ") + state;
        }
        return s;
    }
    static std::string wm() { return qEnvironmentVariable("TAVELOR_TEST_WM").toStdString(); }

    // The windows in `of` that are not minimised, in stacking order from the
    // bottom (where a minimised window stacks nobody sees).
    std::vector<xcb_window_t> stacked(const std::vector<xcb_window_t>& of)
    {
        std::vector<xcb_window_t> order;
        for (std::uint32_t w :
             cardinals(connection().root(), "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW)) {
            if (std::count(of.begin(), of.end(), w) && shown(w).find("HIDDEN") == std::string::npos)
                order.push_back(w);
        }
        return order;
    }

    std::uint32_t rootValue(const char* name, xcb_atom_t type = XCB_ATOM_CARDINAL)
    {
        const auto values = cardinals(connection().root(), name, type);
        return values.empty() ? 0 : values.front();
    }
    std::uint32_t active() { return rootValue("_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW); }

    // The user's side, through tools of their own.
    static void run(const QString& tool, xcb_window_t w, const QStringList& arguments)
    {
        const QStringList id = tool == u"wmctrl" ? QStringList{"-i", "-r", QString::number(w)}
                                                 : QStringList{QString::number(w)};
        QProcess::execute(tool, tool == u"wmctrl" ? id + arguments : arguments + id);
    }

    std::unique_ptr<X11Backend> m_backend;
};

TEST_F(X11WindowStateTest, TheStateLeftIsTheStateRestored)
{
    const char* titles[] = {"Second", "Max", "Vert", "Min", "Full", "Above", "Focus"};
    QString arguments;
    for (int i = 0; i < 7; ++i)
        arguments += QStringLiteral(" --window --class=s,State --title=%1 --geometry=200x150+%2+%3")
                         .arg(QLatin1String(titles[i]))
                         .arg(40 + 60 * i)
                         .arg(30 + 40 * i);
    FixtureClient fixture(arguments.split(u' ', Qt::SkipEmptyParts));
    const std::vector<xcb_window_t>& w = fixture.windows();
    ASSERT_EQ(w.size(), 7u);
    ASSERT_TRUE(kIgnored.contains(wm()));

    run("wmctrl", w[0], {"-t", "1"});
    run("wmctrl", w[1], {"-b", "add,maximized_vert,maximized_horz"});
    run("wmctrl", w[2], {"-b", "add,maximized_vert"});
    run("xdotool", w[3], {"windowminimize"});
    run("wmctrl", w[4], {"-b", "add,fullscreen"});
    run("wmctrl", w[5], {"-b", "add,above"});
    run("xdotool", w[2], {"windowraise"});
    QProcess::execute("wmctrl", {"-i", "-a", QString::number(w[6])});
    ASSERT_TRUE(waitUntil([&] {
        return shown(w[0]) == "1" && shown(w[3]) == "0 HIDDEN" && shown(w[5]) == "0 ABOVE" &&
               active() == w[6];
    }));
    auto now = [&] {
        std::vector<std::string> states;
        for (std::size_t i = 0; i < w.size(); ++i)
            states.push_back(shown(w[i], titles[i]));
        return states;
    };
    const std::vector<std::string> left = now();
    const std::vector<xcb_window_t> leftOrder = stacked(w);
    WindowProfile profile;
    for (const WindowScanner::ScanResult& result : WindowScanner(m_backend->windowSource()).scan())
        profile.snapshots.append(result.snapshot);
    // Through the file's form, as the store keeps it.
    profile = decodeProfiles(encodeProfiles({profile}).value().toStdString()).value().front();
    ASSERT_EQ(profile.snapshots.size(), 7u);

    // The user changes all of it, then comes back to the window they work in.
    run("wmctrl", w[0], {"-t", "0"});
    run("wmctrl", w[1], {"-b", "remove,maximized_vert,maximized_horz"});
    run("wmctrl", w[2], {"-b", "remove,maximized_vert"});
    run("wmctrl", w[2], {"-b", "add,maximized_horz"});
    QProcess::execute("wmctrl", {"-i", "-a", QString::number(w[3])});
    run("wmctrl", w[4], {"-b", "remove,fullscreen"});
    run("wmctrl", w[5], {"-b", "remove,above"});
    for (auto it = leftOrder.rbegin(); it != leftOrder.rend(); ++it)
        run("xdotool", *it, {"windowraise"});
    QProcess::execute("wmctrl", {"-i", "-a", QString::number(w[6])});
    ASSERT_TRUE(
        waitUntil([&] { return shown(w[0]) == "0" && shown(w[3]) == "0" && active() == w[6]; }));

    const bool restacks = !kIgnored.at(wm()).contains("stacking");
    WindowRestorer(m_backend->windowSource()).apply(profile);
    // Settled: openbox restacks a fullscreen window once it sees the focus leave.
    auto done = [&] { return now() == left && (stacked(w) == leftOrder) == restacks; };
    waitUntil([&] { return done() && !waitUntil([&] { return !done(); }, 300ms); });
    EXPECT_EQ(now(), left);
    EXPECT_EQ(stacked(w) == leftOrder, restacks)
        << ::testing::PrintToString(stacked(w)) << " saved " << ::testing::PrintToString(leftOrder);
    EXPECT_EQ(rootValue("_NET_CURRENT_DESKTOP"), 0u);
    EXPECT_EQ(active(), w[6]);
}

// A profile saved before states were recorded: frames only, as ever.
TEST_F(X11WindowStateTest, AnOldProfileMovesFramesAndNothingElse)
{
    FixtureClient fixture(
        QStringLiteral("--window --class=s,State --title=Min --geometry=200x150+40+40"
                       " --window --class=s,State --title=Max --geometry=200x150+80+80"
                       " --window --class=s,State --title=Top --geometry=200x150+120+120")
            .split(u' '));
    const std::vector<xcb_window_t>& w = fixture.windows();
    ASSERT_EQ(w.size(), 3u);
    run("xdotool", w[0], {"windowminimize"});
    run("wmctrl", w[1], {"-b", "add,maximized_vert,maximized_horz"});
    QProcess::execute("wmctrl", {"-i", "-a", QString::number(w[2])});
    ASSERT_TRUE(waitUntil([&] {
        return shown(w[0]) == "0 HIDDEN" && shown(w[1]) == "0 MAXIMIZED_VERT MAXIMIZED_HORZ" &&
               active() == w[2];
    }));
    const std::vector<xcb_window_t> order = stacked(w);
    const auto old = decodeProfiles(R"([{"id":"5B1C9E2A-7D40-4F6B-8E3A-2C9D61F0A7B4",
        "name":"Old","createdAt":0,"updatedAt":0,"snapshots":[
        {"bundleIdentifier":"State","windowTitle":"Min",
         "frame":{"x":300,"y":200,"width":250,"height":180}},
        {"bundleIdentifier":"State","windowTitle":"Max",
         "frame":{"x":350,"y":250,"width":260,"height":190}}]}])");
    ASSERT_TRUE(old);
    WindowRestorer(m_backend->windowSource()).apply(old->front());
    // The frame as the backend reads it: the window manager's, decorations included.
    const auto maxFrame = [&] {
        for (const auto& app : m_backend->windowSource().listApplications())
            for (const auto& window : app.windows.value_or(std::vector<platform::LiveWindow>{}))
                if (window.title == QStringLiteral("Max"))
                    return std::pair{window.position, window.size};
        return std::pair<std::optional<std::pair<double, double>>,
                         std::optional<std::pair<double, double>>>{};
    };
    EXPECT_TRUE(waitUntil([&] {
        return maxFrame() == std::pair{std::optional{std::pair{350.0, 250.0}},
                                       std::optional{std::pair{260.0, 190.0}}};
    }));
    EXPECT_EQ(shown(w[0]), "0 HIDDEN");
    EXPECT_EQ(shown(w[1]), "0");
    EXPECT_EQ(stacked(w), order);
    EXPECT_EQ(active(), w[2]);
}

} // namespace
} // namespace tavelor::x11::testing
