#pragma once

#include "Platform/Backend.hpp"
#include "Platform/X11/X11Connection.hpp"
#include "Platform/X11/X11HotKeyEvents.hpp"
#include "Platform/X11/X11KeyEventTranslator.hpp"
#include "Platform/X11/X11Keyboard.hpp"
#include "Platform/X11/X11KeyboardLayout.hpp"

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

    platform::HotKeyEvents& hotKeyEvents() override { return m_hotKeyEvents; }
    platform::KeyboardLayout& keyboardLayout() override { return m_keyboardLayout; }
    platform::KeyEventTranslator& keyEventTranslator() override { return m_keyEventTranslator; }

private:
    std::unique_ptr<X11Connection> m_connection;
    X11Keyboard m_keyboard{m_connection.get()};
    X11HotKeyEvents m_hotKeyEvents{m_keyboard};
    X11KeyboardLayout m_keyboardLayout{m_keyboard};
    X11KeyEventTranslator m_keyEventTranslator{m_keyboard};
};

} // namespace tavelor::x11
