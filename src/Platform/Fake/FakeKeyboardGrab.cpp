#include "Platform/Fake/FakeKeyboardGrab.hpp"

namespace tavelor::fake {

bool FakeKeyboardGrab::grab(std::uint64_t window, KeyHandler onKeyPress)
{
    if (m_refused || window == 0)
        return false;
    m_window = window;
    m_onKeyPress = std::move(onKeyPress);
    return true;
}

void FakeKeyboardGrab::release()
{
    m_window = 0;
    m_onKeyPress = nullptr;
}

bool FakeKeyboardGrab::press(std::uint32_t nativeScanCode, std::uint32_t nativeModifiers)
{
    if (!m_window)
        return false;
    const KeyHandler handler = m_onKeyPress;
    handler(nativeScanCode, nativeModifiers);
    return true;
}

} // namespace tavelor::fake
