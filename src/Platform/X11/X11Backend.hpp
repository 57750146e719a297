#pragma once

#include "Platform/Backend.hpp"
#include "Platform/X11/X11Accessibility.hpp"
#include "Platform/X11/X11AccessibilityTrust.hpp"
#include "Platform/X11/X11Connection.hpp"
#include "Platform/X11/X11HotKeyEvents.hpp"
#include "Platform/X11/X11KeyEventTranslator.hpp"
#include "Platform/X11/X11Keyboard.hpp"
#include "Platform/X11/X11KeyboardGrab.hpp"
#include "Platform/X11/X11KeyboardLayout.hpp"
#include "Platform/X11/X11Workspace.hpp"
#include "Platform/Xdg/XdgLoginItems.hpp"

#include <memory>

namespace tavelor::x11 {

/// The X11 (and XWayland) backend. Owns Tavelor's own connection to the X server,
/// shared by every interface implementation it hands out.
class X11Backend final : public platform::Backend {
public:
    /// `display` as for X11Connection::open (null: the DISPLAY variable).
    explicit X11Backend(const char* display = nullptr);
    ~X11Backend() override;

    /// Null when no X server could be reached.
    X11Connection* connection() const { return m_connection.get(); }

    const char* name() const override { return "x11"; }
    platform::Workspace& workspace() override { return *m_workspace; }
    platform::Accessibility& accessibility() override { return *m_accessibility; }
    platform::HotKeyEvents& hotKeyEvents() override { return m_hotKeyEvents; }
    platform::KeyboardLayout& keyboardLayout() override { return m_keyboardLayout; }
    platform::KeyEventTranslator& keyEventTranslator() override { return m_keyEventTranslator; }
    platform::KeyboardGrab& keyboardGrab() override { return m_keyboardGrab; }
    platform::AccessibilityTrust& accessibilityTrust() override { return m_accessibilityTrust; }
    platform::LoginItems& loginItems() override { return m_loginItems; }
    void setWindowSystemLostHandler(std::function<void()> handler) override;

private:
    std::unique_ptr<X11Connection> m_connection;
    std::unique_ptr<X11Workspace> m_workspace;
    std::unique_ptr<X11Accessibility> m_accessibility;
    X11Keyboard m_keyboard{m_connection.get()};
    X11HotKeyEvents m_hotKeyEvents{m_keyboard};
    X11KeyboardLayout m_keyboardLayout{m_keyboard};
    X11KeyEventTranslator m_keyEventTranslator{m_keyboard};
    X11KeyboardGrab m_keyboardGrab{m_connection.get()};
    X11AccessibilityTrust m_accessibilityTrust{m_connection.get()};
    xdg::XdgLoginItems m_loginItems;
};

} // namespace tavelor::x11
