#pragma once

#include "Models/WindowProfile.hpp"
#include "Platform/Accessibility.hpp"
#include "Platform/Workspace.hpp"

#include <cstdint>

namespace tavelor {

/// Puts the windows of a profile back where they were saved. Keeps nothing
/// between calls.
///
/// apply() scans afresh, then takes the saved snapshots in profile order and
/// gives each the first live window, in scan order, that the WindowMatcher
/// pairs with it and no earlier snapshot took. A paired window gets three
/// writes: "AXPosition" with the saved point, "AXSize" with the saved size,
/// "AXPosition" again, each value made just before its write; a value that
/// cannot be made skips that one write. Frames are written exactly as saved,
/// and no write's answer is looked at. Live windows no snapshot takes are not
/// touched.
class WindowRestorer {
public:
    struct ApplyResult {
        /// Saved snapshots paired with a live window and written to, whatever
        /// the writes answered.
        std::int64_t appliedCount = 0;
        /// Saved snapshots for which no free live window matched.
        std::int64_t missingCount = 0;
    };

    WindowRestorer(platform::Workspace& workspace, platform::Accessibility& accessibility);

    /// Reads only the profile's snapshots; the two counts add up to their number.
    ApplyResult apply(const WindowProfile& profile) const;

private:
    platform::Workspace& m_workspace;
    platform::Accessibility& m_accessibility;
};

} // namespace tavelor
