#pragma once

#include "Platform/Displays.hpp"

#include <cstdint>

namespace tavelor::x11 {

class X11Connection;

/// The monitors as RandR 1.5 lists them: each real output with its EDID, and
/// the monitors a user or a test made with `xrandr --setmonitor`. Without
/// RandR 1.5 the whole root window is one monitor.
///
/// Changes come as RandR screen, CRTC and output notifications; a monitor
/// made or removed with --setmonitor/--delmonitor sends none of those, only a
/// ConfigureNotify on the root window, so that is watched too.
class X11Displays final : public platform::Displays {
public:
    /// `connection` may be null (no X server): then no setup is known.
    explicit X11Displays(X11Connection* connection);
    ~X11Displays() override;
    X11Displays(const X11Displays&) = delete;
    X11Displays& operator=(const X11Displays&) = delete;

    DisplaySetup currentSetup() override;
    void setChangedHandler(std::function<void()> handler) override;

private:
    X11Connection* m_connection;
    std::function<void()> m_changed;
    bool m_hasMonitors = false;
    std::uint8_t m_firstEvent = 0;
    int m_listener = 0;
};

} // namespace tavelor::x11
