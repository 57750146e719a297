#pragma once

#include "Platform/Backend.hpp"
#include "Platform/Displays.hpp"
#include "Platform/GlobalShortcuts.hpp"
#include "Platform/KeyEventTranslator.hpp"
#include "Platform/KeyboardGrab.hpp"
#include "Platform/KeyboardLayout.hpp"
#include "Platform/LoginItems.hpp"
#include "Platform/WindowAccess.hpp"
#include "Platform/WindowSource.hpp"

#include <functional>
#include <memory>
#include <vector>

namespace tavelor::platform {

/// What one window-system backend brings: an implementation per capability.
/// A part left null is filled in by the factory from another backend (the
/// keyboard from XWayland, the login item from the XDG autostart folder).
struct BackendParts {
    QString name;
    std::unique_ptr<WindowSource> windowSource;
    std::unique_ptr<WindowAccess> windowAccess;
    std::unique_ptr<GlobalShortcuts> globalShortcuts;
    std::unique_ptr<KeyboardLayout> keyboardLayout;
    std::unique_ptr<KeyEventTranslator> keyEventTranslator;
    std::unique_ptr<KeyboardGrab> keyboardGrab;
    std::unique_ptr<LoginItems> loginItems;
    /// Never taken from another backend: XWayland's outputs are not the
    /// compositor's monitors.
    std::unique_ptr<Displays> displays;
    /// Installs Backend::setWindowSystemLostHandler's handler; empty for a
    /// window system that cannot go away.
    std::function<void(std::function<void()>)> onWindowSystemLost;
    /// What the parts share (a connection, a bus proxy): released after them.
    std::vector<std::shared_ptr<void>> shared;
};

/// A backend made of parts, each complete. The parts go before what they
/// share.
class ComposedBackend : public Backend {
public:
    /// Every part of `parts` is set.
    explicit ComposedBackend(BackendParts parts)
        : m_shared(std::move(parts.shared)), m_parts(std::move(parts))
    {}

    QString name() const override { return m_parts.name; }
    WindowSource& windowSource() override { return *m_parts.windowSource; }
    WindowAccess& windowAccess() override { return *m_parts.windowAccess; }
    GlobalShortcuts& globalShortcuts() override { return *m_parts.globalShortcuts; }
    KeyboardLayout& keyboardLayout() override { return *m_parts.keyboardLayout; }
    KeyEventTranslator& keyEventTranslator() override { return *m_parts.keyEventTranslator; }
    KeyboardGrab& keyboardGrab() override { return *m_parts.keyboardGrab; }
    LoginItems& loginItems() override { return *m_parts.loginItems; }
    Displays& displays() override { return *m_parts.displays; }
    void setWindowSystemLostHandler(std::function<void()> handler) override
    {
        if (m_parts.onWindowSystemLost)
            m_parts.onWindowSystemLost(std::move(handler));
    }

private:
    std::vector<std::shared_ptr<void>> m_shared;
    BackendParts m_parts;
};

} // namespace tavelor::platform
