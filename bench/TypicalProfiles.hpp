#pragma once

#include "Models/WindowProfile.hpp"

#include <QList>

namespace tavelor::bench {

/// Profiles shaped like a real user's: five applications, titles with a dash
/// and a path, frames spread over a large desktop.
QList<WindowProfile> makeTypicalProfiles(int profileCount, int windowsPerProfile);

} // namespace tavelor::bench
