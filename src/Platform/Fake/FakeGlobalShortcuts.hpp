#pragma once

#include "Platform/GlobalShortcuts.hpp"

#include <optional>

namespace tavelor::fake {

/// One shortcut in memory: tests make the next grabs fail with a given result
/// and press the keys.
class FakeGlobalShortcuts final : public platform::GlobalShortcuts {
public:
    GrabResult grab(const HotKey& hotKey) override
    {
        ++m_grabs;
        m_held.reset();
        if (refusal != GrabResult::Grabbed)
            return refusal;
        m_held = hotKey;
        return GrabResult::Grabbed;
    }
    void release() override { m_held.reset(); }
    void setPressedHandler(std::function<void()> handler) override
    {
        m_pressed = std::move(handler);
    }

    // Inspection side.
    /// What the next grabs answer; Grabbed lets them succeed.
    GrabResult refusal = GrabResult::Grabbed;
    const std::optional<HotKey>& held() const { return m_held; }
    int grabs() const { return m_grabs; }
    /// The held keys pressed: the handler runs, as from the event loop. False
    /// when nothing is held.
    bool press()
    {
        if (!m_held || !m_pressed)
            return false;
        m_pressed();
        return true;
    }

private:
    std::optional<HotKey> m_held;
    std::function<void()> m_pressed;
    int m_grabs = 0;
};

} // namespace tavelor::fake
