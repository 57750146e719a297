#include "Platform/Fake/FakeKeyEventTranslator.hpp"

namespace tavelor::fake {

platform::KeyPress FakeKeyEventTranslator::translate(std::uint32_t nativeScanCode,
                                                     std::uint32_t nativeModifiers)
{
    ++m_translateCalls;
    platform::KeyPress press;
    press.modifierFlags = nativeModifiers;
    if (nativeScanCode >= kScanCodeOffset && nativeScanCode - kScanCodeOffset <= 0xFFFF &&
        !m_unmapped.contains(nativeScanCode))
        press.keyCode = static_cast<std::uint16_t>(nativeScanCode - kScanCodeOffset);
    return press;
}

} // namespace tavelor::fake
