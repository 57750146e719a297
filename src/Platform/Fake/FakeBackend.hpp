#pragma once

#include "Platform/Backend.hpp"
#include "Platform/Fake/FakeAccessibility.hpp"
#include "Platform/Fake/FakeAccessibilityTrust.hpp"
#include "Platform/Fake/FakeHotKeyEvents.hpp"
#include "Platform/Fake/FakeKeyEventTranslator.hpp"
#include "Platform/Fake/FakeKeyboardGrab.hpp"
#include "Platform/Fake/FakeKeyboardLayout.hpp"
#include "Platform/Fake/FakeLoginItems.hpp"
#include "Platform/Fake/FakeWorkspace.hpp"

namespace tavelor::fake {

/// In-memory stand-ins for every platform interface. Each comes with an
/// inspection side: tests set up what the platform shows (applications,
/// windows, key layouts, ...) and read back what the logic did to it (moves,
/// grabs, beeps, ...).
class FakeBackend final : public platform::Backend {
public:
    FakeBackend();
    ~FakeBackend() override;

    const char* name() const override { return "x11"; }
    // Covariant, so that tests reach the inspection side without a cast.
    FakeWorkspace& workspace() override { return m_workspace; }
    FakeAccessibility& accessibility() override { return m_accessibility; }

    platform::HotKeyEvents& hotKeyEvents() override { return m_hotKeyEvents; }
    platform::KeyboardLayout& keyboardLayout() override { return m_keyboardLayout; }
    FakeHotKeyEvents& fakeHotKeyEvents() { return m_hotKeyEvents; }
    FakeKeyboardLayout& fakeKeyboardLayout() { return m_keyboardLayout; }
    FakeKeyEventTranslator& keyEventTranslator() override { return m_keyEventTranslator; }

    FakeKeyboardGrab& keyboardGrab() override { return m_keyboardGrab; }
    FakeAccessibilityTrust& accessibilityTrust() override { return m_accessibilityTrust; }
    FakeLoginItems& loginItems() override { return m_loginItems; }

private:
    FakeWorkspace m_workspace;
    FakeAccessibility m_accessibility;
    FakeHotKeyEvents m_hotKeyEvents;
    FakeKeyboardLayout m_keyboardLayout;
    FakeKeyEventTranslator m_keyEventTranslator;
    FakeKeyboardGrab m_keyboardGrab;
    FakeAccessibilityTrust m_accessibilityTrust;
    FakeLoginItems m_loginItems;
};

} // namespace tavelor::fake
