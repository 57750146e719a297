#pragma once

#include "Models/WindowSnapshot.hpp"
#include "Platform/WindowSource.hpp"

#include <vector>

namespace tavelor {

/// Lists the windows that exist right now. Reads only, keeps nothing between
/// calls: every instance over the same platform gives the same answer.
///
/// Visits the applications of one listing whose kind is Regular, in the
/// source's order; nothing else is filtered (Tavelor itself is skipped because
/// it lists as an accessory). An application whose windows are absent or empty
/// contributes nothing. For each window, in the listed order:
/// - a role that is absent or not Window drops the window;
/// - an absent title stays absent; an empty one stays an empty, present title;
/// - an absent position gives x = y = 0, an absent size width = height = 0; the
///   numbers are otherwise taken exactly as read.
/// The snapshot's bundle identifier and name are the application's app id and
/// name, either possibly absent. The window's state is taken as listed, its
/// stacking position renumbered from 0 among the windows returned (bottom
/// first), so that a saved profile holds the order of its own windows. Failures are never reported:
/// an empty list is a normal answer (also without access to the windows).
class WindowScanner {
public:
    struct ScanResult {
        WindowSnapshot snapshot;
        /// The live window, for the writes that follow this scan.
        platform::WindowId window;
    };

    /// `source` outlives the scanner.
    explicit WindowScanner(platform::WindowSource& source);

    std::vector<ScanResult> scan() const;

private:
    platform::WindowSource& m_source;
};

} // namespace tavelor
