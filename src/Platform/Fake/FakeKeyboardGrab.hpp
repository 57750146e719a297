#pragma once

#include "Platform/KeyboardGrab.hpp"

namespace tavelor::fake {

/// A keyboard grab that tests drive: they see which window holds it, refuse
/// the next grab, and press keys that reach the holder only.
class FakeKeyboardGrab final : public platform::KeyboardGrab {
public:
    bool grab(std::uint64_t window, KeyHandler onKeyPress) override;
    void release() override;
    bool isGrabbed() const override { return m_window != 0; }

    /// The window that holds the keyboard; 0 when none does.
    std::uint64_t window() const { return m_window; }
    /// Grabs are refused while set, as when another program holds the keyboard.
    void setRefused(bool refused) { m_refused = refused; }
    /// Delivers a press to the holder; false when no grab is held.
    bool press(std::uint32_t nativeScanCode, std::uint32_t nativeModifiers);

private:
    std::uint64_t m_window = 0;
    KeyHandler m_onKeyPress;
    bool m_refused = false;
};

} // namespace tavelor::fake
