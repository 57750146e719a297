#pragma once

#include "Models/WindowSnapshot.hpp"
#include "Platform/Accessibility.hpp"
#include "Platform/Workspace.hpp"

#include <vector>

namespace tavelor {

/// Lists the windows that exist right now. Reads only, keeps nothing between
/// calls: every instance over the same platform gives the same answer.
///
/// Visits the running applications whose activation policy is regular (0) and
/// that are not terminated, in the workspace's order; nothing else is filtered
/// (Tavelor itself is skipped because it runs as an accessory). For each, reads
/// "AXWindows" of its application element; an application whose read fails or
/// gives anything but a non-empty array of elements contributes nothing. For
/// each window, in array order, reads "AXRole", "AXTitle", "AXPosition",
/// "AXSize", in that order:
/// - a role read that fails or is not exactly the string "AXWindow" drops the
///   window;
/// - a title that cannot be read as a string is absent; an empty one stays an
///   empty, present title;
/// - a position that is not an AXValue of type 1 (point) gives x = y = 0, a size
///   that is not of type 2 (size) gives width = height = 0; the numbers are
///   otherwise taken exactly as read.
/// The snapshot's bundle identifier and name are the application's, either
/// possibly absent. Failures are never reported: an empty list is a normal
/// answer (also without Accessibility permission).
class WindowScanner {
public:
    struct ScanResult {
        WindowSnapshot snapshot;
        /// The live window; copies share it.
        platform::AXUIElement element;
    };

    WindowScanner(platform::Workspace& workspace, platform::Accessibility& accessibility);

    std::vector<ScanResult> scan() const;

private:
    platform::Workspace& m_workspace;
    platform::Accessibility& m_accessibility;
};

} // namespace tavelor
