#pragma once

#include "Models/DisplaySetup.hpp"
#include "Platform/WindowSource.hpp"

#include <QElapsedTimer>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>
#include <tuple>
#include <vector>

namespace tavelor {

namespace platform {
class Displays;
}

/// Says when another set of monitors has connected and the desktop has come to
/// rest: the monitors have gone a while without a change notice, and the window
/// manager has stopped moving windows onto them (or has taken too long). The
/// monitors there when the watcher is made count as connected already. Main
/// thread only; `displays` and `windows` must outlive the watcher.
class DisplayWatcher {
public:
    struct Timings {
        /// How long the monitors must go without a notice: one change often
        /// comes as several notices, and a dock enables its outputs one by one.
        std::chrono::milliseconds quiet{600};
        /// Two listings of the windows this far apart that agree mean the
        /// window manager is done rearranging.
        std::chrono::milliseconds windowsStill{250};
        /// The longest wait for the windows, from the end of the quiet time.
        std::chrono::milliseconds windowsAtMost{4000};
    };

    DisplayWatcher(platform::Displays& displays, platform::WindowSource& windows, Timings timings);
    ~DisplayWatcher();
    DisplayWatcher(const DisplayWatcher&) = delete;
    DisplayWatcher& operator=(const DisplayWatcher&) = delete;

    /// Runs with the monitors that connected, once the desktop is at rest.
    std::function<void(const DisplaySetup&)> onConnected;

private:
    using Frames =
        std::vector<std::tuple<platform::WindowId, std::optional<std::pair<double, double>>,
                               std::optional<std::pair<double, double>>>>;
    void readBetween();
    void quietEnded();
    void windowsChecked();
    Frames framesNow();

    platform::Displays& m_displays;
    platform::WindowSource& m_windows;
    Timings m_timings;
    /// The monitors last said to be connected (or there at the start).
    DisplaySetup m_connected;
    /// The monitors waiting for the windows to come to rest.
    DisplaySetup m_pending;
    Frames m_lastFrames;
    /// Another setup was seen since the last report: the end of the quiet time
    /// counts even when it ends on the connected setup.
    bool m_leftConnected = false;
    bool m_readQueued = false;
    QTimer m_quietTimer;
    QTimer m_windowsTimer;
    QElapsedTimer m_waitingSince;
};

} // namespace tavelor
