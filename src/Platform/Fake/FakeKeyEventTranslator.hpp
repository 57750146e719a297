#pragma once

#include "Platform/KeyEventTranslator.hpp"

#include <set>

namespace tavelor::fake {

/// Key events as tests synthesise them: the native scan code is the key code
/// plus kScanCodeOffset (as X key codes sit 8 above evdev's), and the native
/// modifiers are the KeyPress flags themselves.
class FakeKeyEventTranslator final : public platform::KeyEventTranslator {
public:
    static constexpr std::uint32_t kScanCodeOffset = 8;

    /// The scan code that translates to `keyCode`.
    static constexpr std::uint32_t scanCode(std::uint16_t keyCode)
    {
        return std::uint32_t{keyCode} + kScanCodeOffset;
    }

    platform::KeyPress translate(std::uint32_t nativeScanCode,
                                 std::uint32_t nativeModifiers) override;

    /// From now on the key at `scanCode` has no code in the set.
    void unmap(std::uint32_t scanCode) { m_unmapped.insert(scanCode); }
    int translateCalls() const { return m_translateCalls; }

private:
    std::set<std::uint32_t> m_unmapped;
    int m_translateCalls = 0;
};

} // namespace tavelor::fake
