#pragma once

#include "Platform/Backend.hpp"
#include "Platform/Fake/FakeHotKeyEvents.hpp"
#include "Platform/Fake/FakeKeyboardLayout.hpp"

namespace tavelor::fake {

/// In-memory stand-ins for every platform interface. Each comes with an
/// inspection side: tests set up what the platform shows (applications,
/// windows, key layouts, ...) and read back what the logic did to it (moves,
/// grabs, beeps, ...).
class FakeBackend final : public platform::Backend {
public:
    FakeBackend();
    ~FakeBackend() override;

    platform::HotKeyEvents& hotKeyEvents() override { return m_hotKeyEvents; }
    platform::KeyboardLayout& keyboardLayout() override { return m_keyboardLayout; }
    FakeHotKeyEvents& fakeHotKeyEvents() { return m_hotKeyEvents; }
    FakeKeyboardLayout& fakeKeyboardLayout() { return m_keyboardLayout; }

private:
    FakeHotKeyEvents m_hotKeyEvents;
    FakeKeyboardLayout m_keyboardLayout;
};

} // namespace tavelor::fake
