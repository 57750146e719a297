#pragma once

#include "Platform/WindowSource.hpp"
#include "Platform/X11/EwmhAtoms.hpp"
#include "Platform/X11/ScanPass.hpp"

#include <cstdint>
#include <vector>

namespace tavelor::x11 {}

namespace tavelor::xdg {
class DesktopEntries;
}

namespace tavelor::x11 {

struct ScannedApplication {
    /// Its kind, pid and identity; the windows are in `windows`.
    platform::LiveApplication application;
    /// Its client windows in _NET_CLIENT_LIST (mapping) order.
    std::vector<WindowReadings> windows;
};

/// One scan's view of the desktop: the client windows grouped into
/// applications by owning process, in order of each application's first
/// window in _NET_CLIENT_LIST.
struct DesktopScan {
    std::vector<ScannedApplication> applications;
    RootReadings root;
};

/// Role of a window: Window for the types a user arranges (normal, dialog,
/// utility, or no type at all), Other for docks, desktops, menus, splash
/// screens and the rest.
platform::WindowRole roleOf(const WindowReadings& readings, const EwmhAtoms& atoms);

struct ProcessContext {
    std::int32_t ownProcessIdentifier = 0;
    /// The server's resource-id mask: windows of one X client share the bits
    /// outside it, which groups windows that give no pid at all.
    std::uint32_t resourceIdMask = 0;
};

/// Groups the pass into applications (process id from XRes, else _NET_WM_PID,
/// else a negative stand-in unique in the scan for each X client) and resolves
/// each application's identity: its kind, app id and name.
DesktopScan groupIntoApplications(const ScanPassResult& pass, xdg::DesktopEntries& desktopEntries,
                                  const EwmhAtoms& atoms, const ProcessContext& context);

} // namespace tavelor::x11
