#pragma once

#include "Models/DisplaySetup.hpp"

#include <functional>

namespace tavelor::platform {

/// The monitors of the desktop and word when they change.
class Displays {
public:
    Displays() = default;
    virtual ~Displays() = default;
    Displays(const Displays&) = delete;
    Displays& operator=(const Displays&) = delete;

    /// The monitors now, in the window system's coordinates (the ones window
    /// frames are in); no monitors when the window system does not tell.
    virtual DisplaySetup currentSetup() = 0;

    /// `handler` runs from the event loop each time the monitors may have
    /// changed: one was added, removed, moved or resized. One change can bring
    /// several calls while the window system settles; compare setups to know.
    virtual void setChangedHandler(std::function<void()> handler) = 0;
};

/// For a window system whose monitors are not read (yet): no setup is known,
/// so none is saved and nothing is mended.
class UnknownDisplays final : public Displays {
public:
    DisplaySetup currentSetup() override { return {}; }
    void setChangedHandler(std::function<void()>) override {}
};

} // namespace tavelor::platform
