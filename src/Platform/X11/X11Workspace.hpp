#pragma once

#include "Platform/Workspace.hpp"
#include "Platform/X11/DesktopEntries.hpp"
#include "Platform/X11/DesktopScan.hpp"
#include "Platform/X11/EwmhAtoms.hpp"

#include <memory>
#include <optional>

namespace tavelor::x11 {

class X11Connection;

/// The running applications of an X11 desktop: the client windows of
/// _NET_CLIENT_LIST grouped by owning process. Each call makes one pipelined
/// pass over the windows (ScanPass) and keeps it for the Accessibility reads
/// that follow.
class X11Workspace final : public platform::Workspace {
public:
    /// `connection` null: no X display, and the desktop is empty.
    explicit X11Workspace(X11Connection* connection);
    ~X11Workspace() override;

    std::vector<platform::RunningApplication> runningApplications() override;

    /// What the last runningApplications() saw; scans now when nothing has
    /// been scanned yet. Never null.
    std::shared_ptr<const DesktopScan> latestScan();

    /// Null without a connection.
    const EwmhAtoms* atoms();

private:
    X11Connection* m_connection;
    std::optional<EwmhAtoms> m_atoms;
    std::optional<bool> m_clientIds;
    DesktopEntries m_desktopEntries;
    std::shared_ptr<const DesktopScan> m_latest;
};

} // namespace tavelor::x11
