#pragma once

#include "Models/WindowProfile.hpp"

#include <QByteArray>
#include <QList>

#include <optional>

namespace tavelor {

/// Writes the profiles document: a pretty-printed UTF-8 JSON array, keys in the
/// fixed order (profile: id, name, snapshots, isActive, createdAt, updatedAt;
/// snapshot: bundleIdentifier, appName, windowTitle, frame; frame: x, y, width,
/// height), absent strings left out, "/" escaped, numbers in their shortest
/// round-trip form without ".0" when integral.
///
/// Nothing when a frame number or timestamp is NaN or infinite: such a value
/// cannot be written and the whole document fails.
std::optional<QByteArray> encodeProfiles(const QList<WindowProfile>& profiles);

} // namespace tavelor
