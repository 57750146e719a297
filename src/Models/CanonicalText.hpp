#pragma once

#include "Models/Hasher.hpp"

#include <QString>

namespace tavelor {

/// Text equality throughout Tavelor is Unicode canonical equivalence: two
/// strings are equal when their NFC forms are the same code units.
bool canonicallyEqual(const QString& a, const QString& b);

/// Feeds the NFC form of the text, so that the hash agrees with canonicallyEqual.
void hashCanonical(Hasher& hasher, const QString& text);

} // namespace tavelor
