#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace tavelor::platform {

/// Activation policies of a running application.
enum ActivationPolicy : int {
    kActivationPolicyRegular = 0,    ///< has windows the user works with
    kActivationPolicyAccessory = 1,  ///< tray utilities, Tavelor itself
    kActivationPolicyProhibited = 2, ///< background processes
};

/// One running application as the workspace lists it.
struct RunningApplication {
    int activationPolicy = kActivationPolicyRegular;
    bool isTerminated = false;
    /// The id through which Accessibility reaches the application
    /// (Accessibility::createApplication).
    std::int32_t processIdentifier = 0;
    std::optional<QString> bundleIdentifier;
    std::optional<QString> localizedName;
};

/// The running applications, in the workspace's order.
///
/// Contract: runningApplications() is a fresh look at the desktop each time it
/// is called. A backend may take everything a scan will read in that one look
/// (X11 sends every request of the scan before it reads the first reply); the
/// attribute reads of Accessibility made afterwards may then answer from it
/// until the next call.
class Workspace {
public:
    Workspace() = default;
    virtual ~Workspace() = default;
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    virtual std::vector<RunningApplication> runningApplications() = 0;
};

} // namespace tavelor::platform
