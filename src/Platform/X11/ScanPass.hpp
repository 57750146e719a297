#pragma once

#include "Platform/X11/EwmhAtoms.hpp"
#include "Platform/X11/PropertyDecoding.hpp"
#include "Platform/X11/WindowGeometry.hpp"

#include <QString>

#include <xcb/xcb.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace tavelor::x11 {

class X11Connection;

/// Everything one scan learns about one client window, decoded.
struct WindowReadings {
    xcb_window_t window = XCB_WINDOW_NONE;
    /// GetGeometry and TranslateCoordinates both answered: the window existed
    /// when they were read. A window that is gone answers nothing else either.
    bool alive = false;
    ClientPlacement placement;
    /// _NET_WM_WINDOW_TYPE was set (with at least one atom).
    bool hasWindowType = false;
    std::vector<xcb_atom_t> windowTypes;
    std::vector<xcb_atom_t> states;
    std::optional<QString> title;
    std::optional<WmClass> wmClass;
    std::optional<QString> gtkApplicationId;
    std::optional<std::int32_t> netWmPid;
    /// The pid the X server itself knows for the window's client (XRes).
    std::optional<std::int32_t> clientPid;
    std::optional<FrameExtents> frameExtents;
    std::optional<FrameExtents> gtkFrameExtents;
    /// _NET_WM_DESKTOP: the desktop from 0, 0xFFFFFFFF on all desktops.
    std::optional<std::uint32_t> desktop;
    /// Index in _NET_CLIENT_LIST_STACKING, 0 at the bottom.
    std::optional<std::int64_t> stackPosition;
};

/// What the root window tells about the whole desktop.
struct RootReadings {
    /// The window manager lists _NET_MOVERESIZE_WINDOW in _NET_SUPPORTED.
    bool supportsMoveResize = false;
    /// ... and _NET_RESTACK_WINDOW.
    bool supportsRestack = false;
    /// _NET_ACTIVE_WINDOW.
    xcb_window_t activeWindow = XCB_WINDOW_NONE;
    /// _NET_CURRENT_DESKTOP.
    std::optional<std::uint32_t> currentDesktop;
};

struct ScanPassResult {
    /// In _NET_CLIENT_LIST order, each window once.
    std::vector<WindowReadings> windows;
    RootReadings root;
};

/// The pipelined read behind a scan. Two batches: the root's lists first (the
/// windows to ask about are not known before), then every request about every
/// window is sent before the first of their replies is read, so the whole scan
/// costs two round trips however many windows there are.
///
/// Errors (a window destroyed between the batches or while they are answered)
/// are taken with the replies, never left for the event queue.
class ScanPass {
public:
    /// `useClientIds`: the server has XRes 1.2 (see supportsClientIds()).
    static ScanPassResult run(X11Connection& connection, const EwmhAtoms& atoms, bool useClientIds);

    /// Asks the server once whether it answers XRes QueryClientIds.
    static bool supportsClientIds(X11Connection& connection);
};

} // namespace tavelor::x11
