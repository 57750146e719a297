#pragma once

#include "Models/DisplaySetup.hpp"
#include "Models/WindowSnapshot.hpp"

#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

namespace tavelor {

/// A named layout. Identified by its id; it has no equality of its own.
/// Timestamps are seconds since 2001-01-01 00:00:00 UTC (see ReferenceDate).
struct WindowProfile {
    QUuid id;
    QString name;
    QList<WindowSnapshot> snapshots;
    bool isActive = false;
    double createdAt = 0;
    double updatedAt = 0;
    /// The monitors the profile was saved on; absent when the window system
    /// did not tell them, and in profiles saved before they were recorded.
    std::optional<DisplaySetup> displays = std::nullopt;
    /// Whether the profile is applied by itself when its monitors connect.
    bool applyOnDisplayConnect = false;
};

} // namespace tavelor
