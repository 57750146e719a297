// The dock cycle on GNOME Shell with 20 native windows, 10 on each monitor. After the
// second monitor comes back: from the monitors settling (DisplayWatcher, as Tavelor
// runs it) to the last window of the profile placed, against the time the shell itself
// takes to rearrange after the same change when nothing else moves them.
// Runs inside tests/wayland/gnome-session --two-monitors --eval:
// gnome_dock_bench [runs]. Medians of the runs; each run does both cycles.
#include "Platform/Backend.hpp"
#include "Platform/BackendFactory.hpp"
#include "Platform/GnomeShell/ShellDisplays.hpp"
#include "Services/DisplayWatcher.hpp"
#include "Services/WindowRestorer.hpp"
#include "Services/WindowScanner.hpp"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>

namespace {

using namespace tavelor;
using Frames = std::map<QString, std::pair<std::pair<double, double>, std::pair<double, double>>>;

constexpr int kWindows = 20;
const QString kMutter = QStringLiteral("org.gnome.Mutter.DisplayConfig");
const QString kBig =
    QStringLiteral(", uint32 0, true, [('Meta-0', '1920x1080@60.000', @a{sv} {})])");
const QString kSmall =
    QStringLiteral(", uint32 0, false, [('Meta-1', '1280x1024@60.000', @a{sv} {})])");

const char* const kClient =
    R"(import sys, gi; gi.require_version('Gtk', '3.0'); from gi.repository import Gtk
for i in range(int(sys.argv[1])): w = Gtk.Window(title=f'bench {i}'); w.set_default_size(200, 150); w.show_all()
Gtk.main())";

Frames frames(platform::WindowSource& source)
{
    Frames result;
    for (const platform::LiveApplication& app : source.listApplications())
        for (const platform::LiveWindow& w :
             app.windows.value_or(std::vector<platform::LiveWindow>{}))
            if (w.title && w.title->startsWith(QLatin1String("bench ")) && w.position && w.size)
                result[*w.title] = {*w.position, *w.size};
    return result;
}

// Runs the event loop until `done`, at most `ms`.
bool spinUntil(const std::function<bool()>& done, int ms)
{
    const QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(5);
    }
    return true;
}

// The time from `start` to the last change of the frames from `before`, once they
// stayed as they are for 1 s (-1: no change).
double lastChangeMs(platform::WindowSource& source, const QElapsedTimer& start, Frames last = {})
{
    if (last.empty())
        last = frames(source);
    double changedAt = -1;
    QElapsedTimer still;
    still.start();
    while (still.elapsed() < 1000) {
        spinUntil([] { return false; }, 5);
        Frames now = frames(source);
        if (now != last) {
            last = std::move(now);
            changedAt = double(start.nsecsElapsed()) / 1e6;
            still.restart();
        }
    }
    return changedAt;
}

// Sends the monitors to Mutter without waiting, so that the frames are watched meanwhile.
void useMonitors(const QString& monitors)
{
    QDBusMessage state = QDBusMessage::createMethodCall(kMutter, "/org/gnome/Mutter/DisplayConfig",
                                                        kMutter, "GetCurrentState");
    const QString serial =
        QDBusConnection::sessionBus().call(state).arguments().value(0).toString();
    static QProcess gdbus;
    gdbus.waitForFinished();
    gdbus.start("gdbus", {"call", "--session", "--dest", kMutter, "-o",
                          "/org/gnome/Mutter/DisplayConfig", "-m", kMutter + ".ApplyMonitorsConfig",
                          serial, "1", "[" + monitors + "]", "@a{sv} {}"});
}

void docked()
{
    useMonitors("(0, 0, 1.0" + kBig + ", (1920, 0, 1.0" + kSmall);
}
void undocked()
{
    useMonitors("(0, 0, 1.0" + kBig);
}

std::map<QString, platform::WindowId> windowIds(platform::WindowSource& source)
{
    std::map<QString, platform::WindowId> ids;
    for (const platform::LiveApplication& app : source.listApplications())
        for (const platform::LiveWindow& w :
             app.windows.value_or(std::vector<platform::LiveWindow>{}))
            if (w.title && w.title->startsWith(QLatin1String("bench ")))
                ids[*w.title] = w.id;
    return ids;
}

// Spread: the even windows on the first monitor, the odd on the second; else all of
// them heaped on the first, where the shell or the user may have left them undocked.
void place(platform::WindowSource& source, const std::map<QString, platform::WindowId>& ids,
           bool spread)
{
    std::vector<platform::FrameWrite> writes;
    int i = 0;
    for (const auto& [title, id] : ids) {
        const double x = spread ? (i % 2) * 1920 + 60 + (i / 2 % 5) * 220 : 300 + 30 * i;
        const double y = spread ? 100 + (i / 10) * 200 + (i / 2 % 5) * 30 : 150 + 20 * i;
        writes.push_back({id, platform::FrameWrite::Part::Position, x, y});
        writes.push_back({id, platform::FrameWrite::Part::Size, 200, 150});
        writes.push_back({id, platform::FrameWrite::Part::Position, x, y});
        ++i;
    }
    source.apply(writes);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::unique_ptr<platform::Backend> backend =
        platform::createBackend(platform::Session::fromEnvironment());
    platform::WindowSource& source = backend->windowSource();
    QProcess client;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("GDK_BACKEND", "wayland");
    client.setProcessEnvironment(environment);
    client.start("/usr/bin/python3", {"-c", kClient, QString::number(kWindows)});
    std::map<QString, platform::WindowId> ids;
    spinUntil([&] { return (ids = windowIds(source)).size() == kWindows; }, 60000);
    QElapsedTimer clock;
    clock.start();
    lastChangeMs(source, clock); // shown is not yet placed

    place(source, ids, true);
    lastChangeMs(source, clock);
    WindowProfile profile;
    profile.displays = backend->displays().currentSetup();
    for (const WindowScanner::ScanResult& scanned : WindowScanner(source).scan())
        if (scanned.snapshot.windowTitle && scanned.snapshot.windowTitle->startsWith("bench "))
            profile.snapshots.append(scanned.snapshot);
    const Frames saved = frames(source);

    WindowRestorer restorer(source, &backend->displays());
    DisplayWatcher watcher(backend->displays(), source, DisplayWatcher::Timings{});
    bool follow = false;
    double settledAt = -1;
    watcher.onConnected = [&](const DisplaySetup& setup) {
        if (!follow || !profile.displays->isSameSetup(setup))
            return;
        settledAt = double(clock.nsecsElapsed()) / 1e6;
        restorer.apply(profile);
    };
    // When Mutter's notice comes, against the shell's moves.
    gnomeshell::ShellDisplays notices;
    double noticedAt = -1;
    notices.setChangedHandler([&] { noticedAt = double(clock.nsecsElapsed()) / 1e6; });
    // From the monitors sent (gdbus started): Mutter's notice heard, the shell done moving,
    // the setup settled, the last window placed.
    std::vector<double> noticed, shellUndock, shellDock, settling, applied;
    int shellPutBack = 0;
    for (int run = 0; run < runs; ++run) {
        // The shell alone.
        place(source, ids, true);
        lastChangeMs(source, clock);
        Frames before = frames(source);
        clock.restart();
        undocked();
        shellUndock.push_back(lastChangeMs(source, clock, before));
        noticed.push_back(noticedAt);
        before = frames(source);
        clock.restart();
        docked();
        shellDock.push_back(lastChangeMs(source, clock, before));
        shellPutBack += frames(source) == saved ? 1 : 0;
        // Heaped on the first monitor while undocked; Tavelor puts them back.
        undocked();
        lastChangeMs(source, clock);
        place(source, ids, false);
        lastChangeMs(source, clock);
        follow = true;
        settledAt = -1;
        clock.restart();
        docked();
        if (!spinUntil([&] { return frames(source) == saved; }, 20000) || settledAt < 0) {
            std::fprintf(stderr, "run %d: the windows did not come back\n", run);
            return 1;
        }
        const double placedAt = double(clock.nsecsElapsed()) / 1e6;
        follow = false;
        settling.push_back(settledAt);
        applied.push_back(placedAt - settledAt);
        lastChangeMs(source, clock);
    }
    std::printf("%d windows, medians of %d runs, ms from the monitors sent:\n", kWindows, runs);
    std::printf("  monitor gone: MonitorsChanged heard %.1f, the shell's last move %.1f\n",
                median(noticed), median(shellUndock));
    std::printf(
        "  monitor back, the shell alone: its last move %.1f (-1: none; all put back in %d of "
        "%d)\n",
        median(shellDock), shellPutBack, runs);
    std::printf("  monitor back, Tavelor: setup settled %.1f, then the last window placed %.1f "
                "later\n",
                median(settling), median(applied));
    client.terminate();
    client.waitForFinished();
    return 0;
}
