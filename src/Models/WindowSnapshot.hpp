#pragma once

#include "Models/WindowFrame.hpp"
#include "Models/WindowState.hpp"

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
    /// Where the window system tells it; absent in profiles saved before it
    /// was recorded, and then the frame is all that is restored.
    std::optional<WindowState> state = std::nullopt;

    /// The first four fields equal; strings under canonical equivalence. The
    /// state takes no part, so that removing an application's windows finds
    /// them whatever state they were saved in.
    friend bool operator==(const WindowSnapshot& a, const WindowSnapshot& b);

    /// For each string a byte 1 and its canonical hash, or a byte 0 when
    /// absent; then the frame. Not the state, as for equality.
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
