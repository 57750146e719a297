#pragma once

#include "Platform/KeyboardGrab.hpp"

namespace tavelor::kwin {

/// The shortcut window's hold on the keyboard under KWin: kglobalaccel's
/// shortcuts, Tavelor's own and every other program's, are switched off while
/// it is held, so that a combination another program holds reaches the
/// focused recording window instead of firing there.
///
/// A Wayland client cannot take the keyboard: KWin gives the keys to the
/// focused window, and the toolkit hands them to the window's own key events,
/// not to the handler given to grab(). kglobalaccel switches its shortcuts off
/// for the whole session, as KDE's own shortcut editors do while recording;
/// release() (also on destruction) switches them on again.
class KWinKeyboardGrab final : public platform::KeyboardGrab {
public:
    KWinKeyboardGrab() = default;
    ~KWinKeyboardGrab() override;
    KWinKeyboardGrab(const KWinKeyboardGrab&) = delete;
    KWinKeyboardGrab& operator=(const KWinKeyboardGrab&) = delete;

    /// False when kglobalaccel does not answer.
    bool grab(std::uint64_t window, KeyHandler onKeyPress) override;
    void release() override;
    bool isGrabbed() const override { return m_held; }

private:
    bool m_held = false;
};

} // namespace tavelor::kwin
