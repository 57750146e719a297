#pragma once

#include "Platform/Accessibility.hpp"
#include "Platform/X11/ScanPass.hpp"

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

namespace tavelor::x11 {

struct DesktopScan;

/// A client window as one scan read it. Attribute reads answer from these
/// readings; writes go to the live window by its id.
class X11WindowElement final : public platform::ElementRef {
public:
    explicit X11WindowElement(WindowReadings readings) : m_readings(std::move(readings)) {}

    xcb_window_t window() const { return m_readings.window; }
    const WindowReadings& readings() const { return m_readings; }

    /// Set once maximised or fullscreen states have been asked off for the
    /// first write to this window, so the later writes of one apply do not ask
    /// again.
    mutable bool statesCleared = false;
    /// The client size the last resize of this apply asked for; a later move
    /// sends it again alongside the position (see WindowMover::move).
    mutable std::optional<std::pair<std::uint32_t, std::uint32_t>> sizeAsked;

private:
    WindowReadings m_readings;
};

/// An application, named by the process id its scan gave it. Keeps that scan
/// alive, so its "AXWindows" are those of the desktop it was created from.
class X11ApplicationElement final : public platform::ElementRef {
public:
    X11ApplicationElement(std::int32_t processIdentifier, std::shared_ptr<const DesktopScan> scan)
        : m_processIdentifier(processIdentifier), m_scan(std::move(scan))
    {}

    std::int32_t processIdentifier() const { return m_processIdentifier; }
    const DesktopScan* scan() const { return m_scan.get(); }

private:
    std::int32_t m_processIdentifier;
    std::shared_ptr<const DesktopScan> m_scan;
};

} // namespace tavelor::x11
