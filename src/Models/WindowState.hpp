#pragma once

#include <cstdint>
#include <optional>

namespace tavelor {

/// Which way a window fills the work area.
enum class Maximization { None, Horizontal, Vertical, Both };

/// A window's place among the desktops and the other windows, beyond its
/// frame. Every field at its default says nothing beyond a plain window.
struct WindowState {
    /// The virtual desktop, counted from 0; absent when unknown, and ignored
    /// when `onAllDesktops`.
    std::optional<std::int64_t> desktop = std::nullopt;
    bool onAllDesktops = false;
    Maximization maximized = Maximization::None;
    bool minimized = false;
    bool fullscreen = false;
    bool keepAbove = false;
    /// Position in the stacking order, 0 at the bottom: among all windows in a
    /// listing, among the saved windows in a snapshot.
    std::optional<std::int64_t> stackPosition = std::nullopt;

    friend bool operator==(const WindowState&, const WindowState&) = default;
};

} // namespace tavelor
