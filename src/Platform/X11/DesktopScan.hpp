#pragma once

#include "Platform/Accessibility.hpp"
#include "Platform/Workspace.hpp"
#include "Platform/X11/EwmhAtoms.hpp"
#include "Platform/X11/ScanPass.hpp"

#include <QList>
#include <QString>

#include <cstdint>
#include <vector>

namespace tavelor::x11 {

class DesktopEntries;

struct ScannedApplication {
    platform::RunningApplication application;
    /// Its client windows in _NET_CLIENT_LIST (mapping) order, as X11WindowElement.
    QList<platform::AXUIElement> windows;
};

/// One scan's view of the desktop: the client windows grouped into
/// applications by owning process, in order of each application's first
/// window in _NET_CLIENT_LIST.
struct DesktopScan {
    std::vector<ScannedApplication> applications;
    bool supportsMoveResize = false;

    const ScannedApplication* find(std::int32_t processIdentifier) const;
};

/// Role of a window: "AXWindow" for the types a user arranges (normal, dialog,
/// utility, or no type at all), "AXUnknown" for docks, desktops, menus,
/// splash screens and the rest.
QString roleOf(const WindowReadings& readings, const EwmhAtoms& atoms);

struct ProcessContext {
    std::int32_t ownProcessIdentifier = 0;
    /// The server's resource-id mask: windows of one X client share the bits
    /// outside it, which groups windows that give no pid at all.
    std::uint32_t resourceIdMask = 0;
};

/// Groups the pass into applications (process id from XRes, else _NET_WM_PID,
/// else a negative stand-in unique in the scan for each X client) and resolves
/// each application's identity: activation policy, bundle identifier and
/// localized name.
DesktopScan groupIntoApplications(ScanPassResult pass, DesktopEntries& desktopEntries,
                                  const EwmhAtoms& atoms, const ProcessContext& context);

} // namespace tavelor::x11
