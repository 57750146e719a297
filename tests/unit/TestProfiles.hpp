#pragma once

#include "Models/WindowProfile.hpp"

#include <QList>

#include <cstdint>

namespace tavelor::test {

/// Awkward profiles (quotes, control, astral characters; absent and empty strings;
/// -0, subnormals, huge integers, any finite bit pattern); same seed, same profiles.
/// A negative window count picks 0..5 windows per profile.
QList<WindowProfile> makeRandomProfiles(std::uint64_t seed, int profileCount, int windows);

/// Field by field, numbers by bit pattern: stricter than the records' equality.
bool identical(const QList<WindowProfile>& a, const QList<WindowProfile>& b);

} // namespace tavelor::test
