#pragma once

#include "Models/WindowProfile.hpp"

#include <QList>

#include <cstdint>

namespace tavelor::test {

/// Profiles with awkward content: strings with quotes, slashes, control
/// characters, non-ASCII and astral characters, absent and empty strings;
/// numbers of every kind a double can hold (-0, subnormals, huge integers,
/// long fractions). Same seed, same profiles.
QList<WindowProfile> makeRandomProfiles(std::uint64_t seed, int profileCount,
                                        int windowsPerProfile);

/// Profiles shaped like a real user's: plain application names and titles,
/// integral frames. For the benchmarks.
QList<WindowProfile> makeTypicalProfiles(int profileCount, int windowsPerProfile);

/// Field by field, strings by code units and numbers by bit pattern: stricter
/// than the records' own equality (which takes +0 for -0).
bool identical(const QList<WindowProfile>& a, const QList<WindowProfile>& b);

} // namespace tavelor::test
