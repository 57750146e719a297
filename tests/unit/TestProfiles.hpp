#pragma once

#include "Models/WindowProfile.hpp"

#include <QList>

#include <cstdint>

namespace tavelor::test {

/// Plain profiles told apart by the seed; same seed, same profiles. A negative
/// window count gives 0..5 windows per profile. (Awkward values: the profiles fuzzer.)
QList<WindowProfile> makeRandomProfiles(std::uint64_t seed, int profileCount, int windows);

/// Field by field, numbers by bit pattern: stricter than the records' equality.
bool identical(const QList<WindowProfile>& a, const QList<WindowProfile>& b);

} // namespace tavelor::test
