// Profiles that follow their monitors: the settling watcher, the menu mark, the file key.
#include "MenuFixture.hpp"
#include "Services/DisplayWatcher.hpp"

#include <QEventLoop>
#include <QTimer>

using namespace std::chrono_literals;

namespace tavelor::test {
namespace {

const DisplaySetup kLaptop{{{"eDP-1", {}, {}, {}, 0, 0, 1280, 800}}};
const DisplaySetup kDocked{{kLaptop.monitors[0], {"HDMI-1", "LNX", "FHD", "1"}}};

class FollowDisplays : public MenuFixture {
protected:
    FollowDisplays()
    {
        backend.monitors.setup = kLaptop;
        backend.source.applications[0].windows->push_back(
            {"1", platform::WindowRole::Window, "W", {{0, 0}}, {{9, 9}}});
    }
    double& liveX() { return backend.source.applications[0].windows->front().position->first; }
    /// Each report within 300 ms of `steps` as "monitors@x of the window then".
    QStringList reports(DisplayWatcher::Timings timings, const std::function<void()>& steps)
    {
        QStringList out;
        DisplayWatcher watcher(backend.monitors, backend.source, timings);
        watcher.onConnected = [&](const DisplaySetup& s) {
            out << QString("%1@%2").arg(s.monitors.size()).arg(liveX());
            // A notice that changes nothing after each report: never another report.
            QTimer::singleShot(0, [this] {
                if (backend.monitors.changed)
                    backend.monitors.changed();
            });
        };
        steps();
        QEventLoop loop;
        QTimer::singleShot(300ms, &loop, &QEventLoop::quit);
        loop.exec();
        return out;
    }
    /// A burst of notices for `setup`, then the window moved `moves` times, 2 ms apart.
    void change(const DisplaySetup& setup, int moves = 0)
    {
        backend.monitors.setup = setup;
        for (int i = 0; i < 3; ++i)
            backend.monitors.changed();
        for (int i = 1; i <= moves; ++i)
            QTimer::singleShot(i * 2, [this] { liveX() += 1; });
    }
    static constexpr DisplayWatcher::Timings kFast{10ms, 40ms, 2s};
};

TEST_F(FollowDisplays, ReportsEachNewSetupOnceTheMonitorsAndWindowsAreStill)
{
    EXPECT_EQ(reports(kFast, [&] { change(kLaptop); }), QStringList{})
        << "the monitors at the start";
    EXPECT_EQ(reports(kFast, [&] { change(kDocked, 50); }), QStringList{"2@50"});
    EXPECT_FALSE(backend.monitors.changed) << "the handler goes with its watcher";
    backend.monitors.setup = kLaptop;
    auto goneAgain = [&] { change(kDocked, 20), QTimer::singleShot(25, [&] { change(kLaptop); }); };
    EXPECT_EQ(reports(kFast, goneAgain), QStringList{"1@70"})
        << "back before the windows were still: the window manager may have moved them";
    EXPECT_EQ(reports(kFast, [&] { backend.monitors.changed(); }), QStringList{})
        << "a notice that changes nothing";
    liveX() = 0;
    const QStringList capped = reports({10ms, 40ms, 60ms}, [&] { change(kDocked, 140); });
    EXPECT_LT(capped.value(0, "@140").section('@', 1).toDouble(), 140) << "waits only so long";
}

TEST_F(FollowDisplays, TheFirstMarkedProfileOfTheConnectedSetupIsAppliedSilently)
{
    QList<WindowProfile> profiles;
    for (const auto& [setup, marked] :
         {std::pair{kLaptop, false}, {kDocked, true}, {kLaptop, true}, {kLaptop, true}}) {
        profiles << profile(QString::number(profiles.size() + 1), false);
        profiles.back().snapshots = {
            {"org.example.A", "A", "W", {double(profiles.size()), 0, 9, 9}}};
        profiles.back().displays = setup;
        profiles.back().applyOnDisplayConnect = marked;
    }
    store.save(profiles << profile("Old", false));
    start();
    std::vector<double> xs;
    for (const auto& [granted, setup] :
         {std::pair{false, kLaptop}, {true, kLaptop}, {true, kDocked}}) {
        backend.access.granted = granted;
        controller->applyForDisplays(setup);
        xs.push_back(liveX());
    }
    EXPECT_EQ(xs, (std::vector<double>{0, 3, 2}));
    EXPECT_EQ(alerts.size() + beeps, 0) << "no alert, no beep";

    // Shown only where monitors were saved, checked as marked; choosing it flips the mark in
    // the file, which the menu is rebuilt from (the key in the file: ProfilesJsonTest).
    const QString title = "Apply When These Displays Connect";
    EXPECT_EQ(item({"Old", title}), nullptr);
    item({"3", title})->trigger();
    EXPECT_EQ(item({"3", title})->isChecked() + item({"4", title})->isChecked() * 2, 2);
}

} // namespace
} // namespace tavelor::test
