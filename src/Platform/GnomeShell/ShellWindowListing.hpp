#pragma once

#include "Platform/WindowSource.hpp"

#include <QByteArray>
#include <QRect>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace tavelor::xdg {
class DesktopEntries;
}

namespace tavelor::gnomeshell {

/// One window as the extension lists it. Names the shell could not give are
/// empty.
struct ShellWindow {
    QString id;
    QString trackedAppId; ///< the shell's window tracker's desktop-file id
    QString trackedAppName;
    QString gtkApplicationId;
    QString sandboxedAppId;
    QString wmClass;         ///< the app id of a Wayland client, WM_CLASS class on XWayland
    QString wmClassInstance; ///< WM_CLASS instance on XWayland
    std::optional<QString> title;
    std::int64_t pid = 0;
    std::optional<QRect> frame;
    platform::WindowRole role = platform::WindowRole::Other;
    bool skipTaskbar = false;
    /// Absent from an extension that does not list the state.
    std::optional<WindowState> state;
};

/// The extension's listing (a JSON array of objects) in its order. Entries
/// without an id are dropped; fields of the wrong type count as absent. The
/// stacking position is the one among all windows of the listing.
/// Nothing at all when the text is not a JSON array.
std::optional<std::vector<ShellWindow>> parseShellWindows(const QByteArray& json);

/// The windows grouped into applications by process, in the order of each
/// application's first window. The app id is the desktop entry's (found as
/// on X11, so that a layout saved on one session type matches on the other),
/// else the shell tracker's, else the sandboxed app id or the window class.
/// Tavelor's own windows and applications with only skip-taskbar windows are
/// accessories.
std::vector<platform::LiveApplication> groupShellWindows(const std::vector<ShellWindow>& windows,
                                                         xdg::DesktopEntries& desktopEntries,
                                                         std::int64_t ownPid);

} // namespace tavelor::gnomeshell
