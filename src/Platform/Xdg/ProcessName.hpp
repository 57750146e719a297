#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace tavelor::xdg {

/// The name the kernel keeps for a process (/proc/PID/comm): the last name an
/// application may fall back on when no desktop entry names it. Nothing for a
/// pid that is not positive, a process that is gone, or an empty name.
std::optional<QString> processName(std::int64_t pid);

} // namespace tavelor::xdg
