#include "Platform/X11/WindowGeometry.hpp"

#include <algorithm>
#include <cmath>

namespace tavelor::x11 {

namespace {

constexpr double kMinCoordinate = -32768;
constexpr double kMaxCoordinate = 32767;

std::optional<std::int32_t> toCoordinate(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    return static_cast<std::int32_t>(std::clamp(std::round(value), kMinCoordinate, kMaxCoordinate));
}

std::optional<std::uint32_t> toLength(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    return static_cast<std::uint32_t>(std::clamp(std::round(value), 1.0, kMaxCoordinate));
}

} // namespace

std::optional<FrameExtents> usableClientExtents(const ClientPlacement& placement,
                                                const std::optional<FrameExtents>& gtkExtents)
{
    if (!gtkExtents)
        return std::nullopt;
    const std::uint64_t horizontal = std::uint64_t{gtkExtents->left} + gtkExtents->right;
    const std::uint64_t vertical = std::uint64_t{gtkExtents->top} + gtkExtents->bottom;
    if (horizontal >= placement.width || vertical >= placement.height)
        return std::nullopt;
    return gtkExtents;
}

WindowFrame visibleFrame(const ClientPlacement& placement,
                         const std::optional<FrameExtents>& wmExtents,
                         const std::optional<FrameExtents>& gtkExtents)
{
    const FrameExtents wm = wmExtents.value_or(FrameExtents{});
    const FrameExtents gtk = usableClientExtents(placement, gtkExtents).value_or(FrameExtents{});
    auto d = [](std::uint32_t v) { return static_cast<double>(v); };
    WindowFrame frame;
    const double border = d(placement.borderWidth);
    frame.x = placement.rootX - border - d(wm.left) + d(gtk.left);
    frame.y = placement.rootY - border - d(wm.top) + d(gtk.top);
    frame.width =
        d(placement.width) + 2 * border + d(wm.left) + d(wm.right) - d(gtk.left) - d(gtk.right);
    frame.height =
        d(placement.height) + 2 * border + d(wm.top) + d(wm.bottom) - d(gtk.top) - d(gtk.bottom);
    return frame;
}

std::optional<MoveResizeRequest> positionRequest(double x, double y,
                                                 const std::optional<FrameExtents>& gtkExtents)
{
    const FrameExtents gtk = gtkExtents.value_or(FrameExtents{});
    const auto rx = toCoordinate(x - static_cast<double>(gtk.left));
    const auto ry = toCoordinate(y - static_cast<double>(gtk.top));
    if (!rx || !ry)
        return std::nullopt;
    MoveResizeRequest request;
    request.x = *rx;
    request.y = *ry;
    return request;
}

std::optional<MoveResizeRequest> sizeRequest(double width, double height,
                                             const std::optional<FrameExtents>& wmExtents,
                                             const std::optional<FrameExtents>& gtkExtents,
                                             std::uint32_t borderWidth)
{
    const FrameExtents wm = wmExtents.value_or(FrameExtents{});
    const FrameExtents gtk = gtkExtents.value_or(FrameExtents{});
    auto d = [](std::uint32_t v) { return static_cast<double>(v); };
    const double borders = 2 * d(borderWidth);
    const auto rw =
        toLength(width - borders - d(wm.left) - d(wm.right) + d(gtk.left) + d(gtk.right));
    const auto rh =
        toLength(height - borders - d(wm.top) - d(wm.bottom) + d(gtk.top) + d(gtk.bottom));
    if (!rw || !rh)
        return std::nullopt;
    MoveResizeRequest request;
    request.width = *rw;
    request.height = *rh;
    return request;
}

} // namespace tavelor::x11
