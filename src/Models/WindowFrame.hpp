#pragma once

#include "Models/Hasher.hpp"

#include <cstddef>
#include <functional>

namespace tavelor {

/// The position and size of one window, exactly as the window system reported
/// them: no range, sign or rounding is imposed.
struct WindowFrame {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    /// IEEE equality field by field: +0 equals -0, a NaN equals nothing.
    friend bool operator==(const WindowFrame& a, const WindowFrame& b)
    {
        return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
    }

    /// Feeds x, y, width, height as bit patterns, either zero as +0.0.
    void hashInto(Hasher& hasher) const;
};

} // namespace tavelor

template <> struct std::hash<tavelor::WindowFrame> {
    std::size_t operator()(const tavelor::WindowFrame& frame) const noexcept
    {
        tavelor::Hasher hasher;
        frame.hashInto(hasher);
        return hasher.finalize();
    }
};
