#pragma once

#include "Platform/Backend.hpp"
#include "Platform/Fake/FakeGlobalShortcuts.hpp"
#include "Platform/Fake/FakeKeyEventTranslator.hpp"
#include "Platform/Fake/FakeKeyboardGrab.hpp"
#include "Platform/Fake/FakeKeyboardLayout.hpp"
#include "Platform/Fake/FakeLoginItems.hpp"
#include "Platform/Fake/FakeWindowAccess.hpp"
#include "Platform/Fake/FakeWindowSource.hpp"

namespace tavelor::fake {

/// In-memory stand-ins for every capability; the covariant accessors reach
/// their inspection side without a cast.
class FakeBackend final : public platform::Backend {
public:
    QString name() const override { return QStringLiteral("fake"); }
    FakeWindowSource& windowSource() override { return m_windowSource; }
    FakeWindowAccess& windowAccess() override { return m_windowAccess; }
    FakeGlobalShortcuts& globalShortcuts() override { return m_globalShortcuts; }
    FakeKeyboardLayout& keyboardLayout() override { return m_keyboardLayout; }
    FakeKeyEventTranslator& keyEventTranslator() override { return m_keyEventTranslator; }
    FakeKeyboardGrab& keyboardGrab() override { return m_keyboardGrab; }
    FakeLoginItems& loginItems() override { return m_loginItems; }
    void setWindowSystemLostHandler(std::function<void()> handler) override
    {
        m_lost = std::move(handler);
    }

    /// Runs the handler as the loss of the window system would.
    void loseWindowSystem()
    {
        if (m_lost)
            m_lost();
    }

private:
    FakeWindowSource m_windowSource;
    FakeWindowAccess m_windowAccess;
    FakeGlobalShortcuts m_globalShortcuts;
    FakeKeyboardLayout m_keyboardLayout;
    FakeKeyEventTranslator m_keyEventTranslator;
    FakeKeyboardGrab m_keyboardGrab;
    FakeLoginItems m_loginItems;
    std::function<void()> m_lost;
};

} // namespace tavelor::fake
