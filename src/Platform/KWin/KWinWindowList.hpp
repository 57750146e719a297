#pragma once

#include "Platform/WindowSource.hpp"

#include <QString>

#include <cstdint>
#include <vector>

namespace tavelor::xdg {
class DesktopEntries;
}

namespace tavelor::kwin {

/// Turns the scan script's answer (a JSON array, one object per window in
/// KWin's order) into applications in the order of their first window.
///
/// Windows group by process; windows without one by their resource class. An
/// application is Regular when it is not `ownPid` and has a normal, dialog or
/// utility window on the taskbar. Its identity is the window's desktop-file
/// name when KWin knows one, else the desktop entry found for the resource
/// name and class, else the resource class. An answer that is not such an
/// array gives no applications.
std::vector<platform::LiveApplication>
applicationsFromScan(const QString& answer, std::int64_t ownPid, xdg::DesktopEntries& entries);

} // namespace tavelor::kwin
