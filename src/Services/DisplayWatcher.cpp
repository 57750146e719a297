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
        if (!std::exchange(m_readQueued, true))
            QTimer::singleShot(0, &m_quietTimer, [this] { readBetween(); });
    });
}

// A monitor unplugged and plugged back within the quiet time ends where it
// began, yet the window manager has already moved windows off it: seeing
// another setup in between makes the end count as a connection. The read is
// posted, not made in the handler, as a backend may call the handler from
// inside a wait of its own.
void DisplayWatcher::readBetween()
{
    m_readQueued = false;
    if (!m_displays.currentSetup().isSameSetup(m_connected))
        m_leftConnected = true;
}

DisplayWatcher::~DisplayWatcher()
{
    m_displays.setChangedHandler({});
}

void DisplayWatcher::quietEnded()
{
    DisplaySetup now = m_displays.currentSetup();
    if (!m_leftConnected && now.isSameSetup(m_connected))
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
    m_leftConnected = false;
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
