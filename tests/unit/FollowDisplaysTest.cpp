// Profiles that follow their monitors: the settling watcher, the mark in the menu and
// the file, and which profile a connected setup applies.
#include "MenuFixture.hpp"
#include "Models/ProfilesJsonReader.hpp"
#include "Models/ProfilesJsonWriter.hpp"
#include "Services/DisplayWatcher.hpp"

#include <QEventLoop>
#include <QTimer>

using namespace std::chrono_literals;

namespace tavelor::test {
namespace {

using namespace platform;

const DisplaySetup kLaptop{{{"eDP-1", {}, {}, {}, 0, 0, 1280, 800}}};
const DisplaySetup kDocked{{{"eDP-1", {}, {}, {}, 0, 0, 1280, 800}, {"HDMI-1", "LNX", "FHD", "1"}}};

class FollowDisplays : public MenuFixture {
protected:
    FollowDisplays()
    {
        backend.monitors.setup = kLaptop;
        backend.source.applications = {
            {ApplicationKind::Regular, 7, "org.example.A", "A",
             std::vector<LiveWindow>{
                 {"1", WindowRole::Window, "W", std::pair{0.0, 0.0}, std::pair{100.0, 100.0}}}}};
    }
    double& liveX() { return backend.source.applications[0].windows->front().position->first; }
    /// The monitors go to `setup` with a burst of notices, and the window manager
    /// moves the window `moves` times, one step every 2 ms.
    void change(const DisplaySetup& setup, int moves = 0)
    {
        backend.monitors.setup = setup;
        for (int i = 0; i < 3; ++i)
            backend.monitors.changed();
        for (int i = 1; i <= moves; ++i)
            QTimer::singleShot(i * 2, [this] { liveX() += 1; });
    }
    /// What the watcher reported within `wait`, as the number of monitors each
    /// time, and where the window was then.
    QStringList reports(DisplayWatcher::Timings timings, const std::function<void()>& steps,
                        std::chrono::milliseconds wait = 300ms)
    {
        QStringList out;
        DisplayWatcher watcher(backend.monitors, backend.source, timings);
        watcher.onConnected = [&](const DisplaySetup& s) {
            out << QString("%1@%2").arg(s.monitors.size()).arg(liveX());
        };
        steps();
        QEventLoop loop;
        QTimer::singleShot(wait, &loop, &QEventLoop::quit);
        loop.exec();
        return out;
    }
    static constexpr DisplayWatcher::Timings kFast{10ms, 40ms, 2s};
};

TEST_F(FollowDisplays, ReportsEachNewSetupOnceTheMonitorsAndWindowsAreStill)
{
    EXPECT_EQ(reports(kFast, [] {}), QStringList{}) << "the monitors there at the start";
    EXPECT_EQ(reports(kFast, [&] { change(kLaptop); }), QStringList{});
    EXPECT_EQ(reports(kFast, [&] { change(kDocked, 20); }), QStringList{"2@20"});
    backend.monitors.setup = kLaptop;
    EXPECT_EQ(reports(kFast,
                      [&] {
                          change(kDocked, 20);
                          QTimer::singleShot(25, [&] { change(kLaptop); });
                      }),
              QStringList{})
        << "a setup gone before the windows were still";
    liveX() = 0;
    const QStringList capped = reports(
        {10ms, 40ms, 60ms}, [&] { change(kDocked, 150); }, 500ms);
    ASSERT_EQ(capped.size(), 1);
    EXPECT_LT(capped[0].section('@', 1).toDouble(), 150) << "waits for the windows only so long";
}

TEST_F(FollowDisplays, TheFirstMarkedProfileOfTheConnectedSetupIsAppliedSilently)
{
    auto saved = [](const char* name, const DisplaySetup& setup, bool marked, double x) {
        WindowProfile p = profile(name, false);
        p.snapshots.append({"org.example.A", "A", "W", {x, 0, 100, 100}});
        p.displays = setup;
        p.applyOnDisplayConnect = marked;
        return p;
    };
    store.save({saved("Unmarked", kLaptop, false, 1), saved("Desk", kDocked, true, 2),
                saved("Road", kLaptop, true, 3), saved("Also", kLaptop, true, 4),
                profile("Old", false)});
    start();
    backend.access.granted = false;
    controller->applyForDisplays(kLaptop);
    EXPECT_EQ(liveX(), 0);
    backend.access.granted = true;
    controller->applyForDisplays(kLaptop);
    EXPECT_EQ(liveX(), 3);
    controller->applyForDisplays(kDocked);
    EXPECT_EQ(liveX(), 2);
    EXPECT_EQ(alerts, QStringList{});
    EXPECT_EQ(beeps, 0);

    // The item shows only where monitors were saved, checked as marked, and flips the mark.
    const QString title = "Apply When These Displays Connect";
    EXPECT_EQ(outline(item({"Old"})->menu()).filter(title).size(), 0);
    EXPECT_TRUE(item({"Road", title})->isChecked());
    item({"Unmarked", title})->trigger();
    item({"Road", title})->trigger();
    EXPECT_TRUE(store.load()[0].applyOnDisplayConnect);
    EXPECT_FALSE(store.load()[2].applyOnDisplayConnect);
    EXPECT_TRUE(item({"Unmarked", title})->isChecked()) << "the menu is rebuilt";

    // In the file: after the monitors, only when marked; another type reads as unmarked.
    const QByteArray bytes = fileBytes();
    EXPECT_NE(bytes.indexOf("\n    ],\n    \"applyOnDisplayConnect\" : true\n  },"), -1)
        << bytes.toStdString();
    EXPECT_EQ(bytes.count("applyOnDisplayConnect"), 3);
    std::string text = bytes.toStdString();
    text.replace(text.find(": true"), 6, ": \"yes\"");
    const auto read = decodeProfiles(text);
    ASSERT_TRUE(read);
    EXPECT_FALSE(read->front().applyOnDisplayConnect);
    EXPECT_TRUE(read->at(1).applyOnDisplayConnect);
}

} // namespace
} // namespace tavelor::test
