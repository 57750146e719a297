#pragma once

#include "Models/WindowState.hpp"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tavelor::platform {

/// How a backend names one live window between a listing and the writes that
/// follow it: an X window id, a KWin internalId, a Mutter window id, written as
/// text. Only the backend that gave it reads it; it may be stale by the time it
/// comes back (the window closed), and the backend then skips it.
using WindowId = QString;

/// What kind of window it is, as far as layouts go.
enum class WindowRole {
    Window, ///< a window the user works with: normal, dialog, utility
    Other,  ///< docks, desktops, menus, splash screens, notifications, ...
};

/// Whether an application's windows belong in a layout.
enum class ApplicationKind {
    Regular,   ///< has a taskbar window: its windows are listed
    Accessory, ///< only skip-taskbar windows, or Tavelor itself: never listed
};

/// One live window, each field as the window system gave it, or absent when
/// it could not be read (the window went away mid-read, a property is missing
/// or malformed). Frames are in the desktop's logical coordinates, decorations
/// included and client-side shadows left out, so that a frame read here and
/// written back leaves the window where it is.
struct LiveWindow {
    WindowId id;
    std::optional<WindowRole> role;
    std::optional<QString> title;
    /// x, y of the frame's top-left corner.
    std::optional<std::pair<double, double>> position;
    /// width, height of the frame.
    std::optional<std::pair<double, double>> size;
    /// Desktop, maximised, minimised, fullscreen, kept above, and the place in
    /// the stacking order among all windows of the listing; absent where the
    /// window system tells none of it.
    std::optional<WindowState> state = std::nullopt;
};

/// One running application and its windows.
struct LiveApplication {
    ApplicationKind kind = ApplicationKind::Regular;
    /// The process; a backend without one uses a stand-in unique in the listing.
    std::int64_t pid = 0;
    /// The desktop-file id without ".desktop" (or the app id / WM_CLASS class
    /// when no desktop entry matches); absent when there is nothing at all.
    std::optional<QString> appId;
    /// The desktop entry's Name for the current locale, else a name of the
    /// window system's; absent when there is none.
    std::optional<QString> name;
    /// In a stable order (the order the window manager mapped them), so that
    /// two windows with one title pair the same way at every apply. Absent
    /// when the application's windows cannot be read at all.
    std::optional<std::vector<LiveWindow>> windows;
};

/// One step of an apply for one window:
/// - Desktop: put it on `state.desktop`, or on all desktops, without taking
///   the user to that desktop;
/// - Position (x, y) or Size (width, height): its frame;
/// - State: give it `state`'s maximised, minimised, fullscreen and kept-above
///   flags exactly, each one set or cleared (a window saved not minimised is
///   shown again);
/// - Raise: put it above the windows raised before it in the batch, without
///   giving it the focus.
struct FrameWrite {
    enum class Part { Position, Size, Desktop, State, Raise };
    WindowId window;
    Part part = Part::Position;
    /// x and y for a position, width and height for a size.
    double first = 0;
    double second = 0;
    /// For Desktop, State and Raise (the state the window is given).
    WindowState state = {};
};

/// The windows of the desktop: one listing per scan, one batch of writes per
/// apply, since a compositor round trip costs milliseconds.
///
/// Contract:
/// - listApplications() is a fresh look each time, in the window system's
///   order of applications (the order of their first window). Without a window
///   system, or without the right to look, it answers an empty list. It never
///   waits longer than a bound the backend documents.
/// - apply() asks the window system to carry out the writes in the order
///   given; it may merge consecutive writes to one window into one request
///   (a position, a size and the same position again are one frame). It does
///   not wait for the windows to get there and reports nothing: a window that
///   is gone or refuses keeps what it had.
/// - Main thread only.
class WindowSource {
public:
    WindowSource() = default;
    virtual ~WindowSource() = default;
    WindowSource(const WindowSource&) = delete;
    WindowSource& operator=(const WindowSource&) = delete;

    virtual std::vector<LiveApplication> listApplications() = 0;
    virtual void apply(std::span<const FrameWrite> writes) = 0;
};

} // namespace tavelor::platform
