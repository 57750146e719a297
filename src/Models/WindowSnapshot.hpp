#pragma once

#include "Models/WindowFrame.hpp"

#include <QString>

#include <optional>

namespace tavelor {

/// One window as it was when a layout was saved. An absent string and an empty
/// string are different values.
struct WindowSnapshot {
    std::optional<QString> bundleIdentifier;
    std::optional<QString> appName;
    std::optional<QString> windowTitle;
    WindowFrame frame;

    /// All four fields equal; strings under canonical equivalence.
    friend bool operator==(const WindowSnapshot& a, const WindowSnapshot& b);

    /// For each string a byte 1 and its canonical hash, or a byte 0 when
    /// absent; then the frame.
    void hashInto(Hasher& hasher) const;
};

} // namespace tavelor

template <> struct std::hash<tavelor::WindowSnapshot> {
    std::size_t operator()(const tavelor::WindowSnapshot& snapshot) const noexcept
    {
        tavelor::Hasher hasher;
        snapshot.hashInto(hasher);
        return hasher.finalize();
    }
};
