#include "Services/DisplayWatcher.hpp"

#include "Platform/Displays.hpp"

namespace tavelor {

DisplayWatcher::DisplayWatcher(platform::Displays& displays, platform::WindowSource& windows,
                               Timings timings)
    : m_displays(displays), m_windows(windows), m_timings(timings),
      m_connected(displays.currentSetup())
{
    m_quietTimer.setSingleShot(true);
    m_quietTimer.setInterval(m_timings.quiet);
    m_quietTimer.callOnTimeout([this] { quietEnded(); });
    m_windowsTimer.setSingleShot(true);
    m_windowsTimer.setInterval(m_timings.windowsStill);
    m_windowsTimer.callOnTimeout([this] { windowsChecked(); });
    // Every notice starts the quiet time over and drops a wait for the windows:
    // the setup it waited for may be gone.
    m_displays.setChangedHandler([this] {
        m_windowsTimer.stop();
        m_quietTimer.start();
    });
}

DisplayWatcher::~DisplayWatcher()
{
    m_displays.setChangedHandler({});
}

void DisplayWatcher::quietEnded()
{
    DisplaySetup now = m_displays.currentSetup();
    if (now.isSameSetup(m_connected))
        return;
    m_pending = std::move(now);
    m_lastFrames = framesNow();
    m_waitingSince.start();
    m_windowsTimer.start();
}

void DisplayWatcher::windowsChecked()
{
    Frames frames = framesNow();
    if (frames != m_lastFrames && m_waitingSince.elapsed() < m_timings.windowsAtMost.count()) {
        m_lastFrames = std::move(frames);
        m_windowsTimer.start();
        return;
    }
    m_connected = m_pending;
    if (onConnected)
        onConnected(m_connected);
}

DisplayWatcher::Frames DisplayWatcher::framesNow()
{
    Frames frames;
    for (const platform::LiveApplication& app : m_windows.listApplications()) {
        if (!app.windows)
            continue;
        for (const platform::LiveWindow& window : *app.windows)
            frames.emplace_back(window.id, window.position, window.size);
    }
    return frames;
}

} // namespace tavelor
