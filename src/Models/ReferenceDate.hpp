#pragma once

namespace tavelor {

/// Seconds between the Unix epoch and 2001-01-01 00:00:00 UTC, the reference
/// date of every point in time Tavelor stores.
inline constexpr double kReferenceDateUnixSeconds = 978307200.0;

/// The current time as seconds since the reference date, with microseconds.
double nowSinceReferenceDate();

} // namespace tavelor
