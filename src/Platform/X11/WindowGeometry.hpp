#pragma once

#include "Models/WindowFrame.hpp"
#include "Platform/X11/PropertyDecoding.hpp"

#include <cstdint>
#include <optional>

namespace tavelor::x11 {

/// Where a client window is: its origin in root coordinates (from
/// TranslateCoordinates, so it holds whatever frames and parents the window
/// manager put around it), its own size and its X border (from GetGeometry).
/// The origin is inside the border; the border is outside the size.
struct ClientPlacement {
    std::int32_t rootX = 0;
    std::int32_t rootY = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    /// Most window managers set it to 0 when they reparent; i3 keeps a
    /// floating client's own border (xterm's is 1 px wide) inside its frame.
    std::uint32_t borderWidth = 0;
};

/// Client-side shadows (_GTK_FRAME_EXTENTS) are believed only when they leave
/// some of the window visible.
std::optional<FrameExtents> usableClientExtents(const ClientPlacement& placement,
                                                const std::optional<FrameExtents>& gtkExtents);

/// The frame the user sees, in root coordinates: the client grown by its X
/// border and the window manager's decorations (_NET_FRAME_EXTENTS), shrunk by client-side
/// shadows (_GTK_FRAME_EXTENTS). Never derived from GetGeometry's x, y: those
/// are relative to the window manager's frame.
WindowFrame visibleFrame(const ClientPlacement& placement,
                         const std::optional<FrameExtents>& wmExtents,
                         const std::optional<FrameExtents>& gtkExtents);

/// What a _NET_MOVERESIZE_WINDOW (gravity NorthWest) or ConfigureWindow asks
/// for: x, y of the outer frame, width and height of the client.
struct MoveResizeRequest {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint32_t width = 1;
    std::uint32_t height = 1;
};

/// The outer position that puts the visible frame's top-left corner at
/// (x, y). Nothing for values that are not finite; far-off values are clamped
/// to X's 16-bit coordinate space.
std::optional<MoveResizeRequest> positionRequest(double x, double y,
                                                 const std::optional<FrameExtents>& gtkExtents);

/// The client size that makes the visible frame `width` x `height` with the
/// window's current extents and X border (ConfigureWindow and
/// _NET_MOVERESIZE_WINDOW sizes leave the border out); at least 1x1, at most
/// 32767 (X's limit).
std::optional<MoveResizeRequest> sizeRequest(double width, double height,
                                             const std::optional<FrameExtents>& wmExtents,
                                             const std::optional<FrameExtents>& gtkExtents,
                                             std::uint32_t borderWidth = 0);

} // namespace tavelor::x11
