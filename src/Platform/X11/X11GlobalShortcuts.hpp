#pragma once

#include "Platform/GlobalShortcuts.hpp"

#include <QObject>

#include <xcb/xcb.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace tavelor::x11 {

class X11Connection;
class X11Keyboard;

/// The global shortcut as passive key grabs on the root window of Tavelor's own
/// connection.
///
/// - A combination is grabbed four times: as it is, and with Caps Lock, with
///   Num Lock, with both, so that neither lock keeps it from firing. The
///   server refuses a grab another client holds (BadAccess: Taken); one
///   refusal fails the grab, and the grabs already made are released. A code
///   no key of the keymap has is NoSuchKey; no display or no XKB, Unavailable.
/// - cmdKey is Super (Mod4), optionKey Alt (Mod1), controlKey Control,
///   shiftKey Shift; other bits of the mask are ignored.
/// - Auto-repeat is made detectable (an XKB per-client flag): while the keys
///   are held the server repeats the press without releases in between, and
///   only the first press reaches the handler.
/// - X sends no core MappingNotify to XKB clients, so the grabs are made
///   again after an XKB NewKeyboardNotify or MapNotify: the key may have
///   another X key code, Num Lock another modifier bit. A combination that
///   cannot be grabbed again stays held and is tried at the next change.
class X11GlobalShortcuts final : public platform::GlobalShortcuts {
public:
    /// `keyboard` outlives this; its connection may be null (nothing grabs).
    explicit X11GlobalShortcuts(X11Keyboard& keyboard);
    ~X11GlobalShortcuts() override;
    X11GlobalShortcuts(const X11GlobalShortcuts&) = delete;
    X11GlobalShortcuts& operator=(const X11GlobalShortcuts&) = delete;

    GrabResult grab(const HotKey& hotKey) override;
    void release() override;
    void setPressedHandler(std::function<void()> handler) override;

    /// The X modifier mask a Carbon mask is grabbed with (without locks).
    static std::uint16_t xModifiers(std::uint32_t carbonModifiers);

private:
    struct Held {
        std::uint16_t keyCode = 0;
        std::uint16_t xModifiers = 0;
        // What is grabbed now; empty while the keyboard has no key for the code.
        std::optional<xcb_keycode_t> grabbedKey;
        std::vector<std::uint16_t> grabbedMasks;
        std::uint16_t numLockMask = 0;
        // Between the first press and the release; repeats in between are dropped.
        bool down = false;
    };

    bool onEvent(const xcb_generic_event_t& event);
    bool onKeyPress(const xcb_key_press_event_t& event);
    bool onKeyRelease(const xcb_key_release_event_t& event);
    /// Grabs `held` on the current keymap.
    GrabResult grabKeys(Held& held);
    void ungrabKeys(Held& held);

    X11Keyboard& m_keyboard;
    X11Connection* m_connection;
    std::optional<Held> m_held;
    std::function<void()> m_pressed;
    int m_listenerId = 0;
    bool m_regrabPending = false;
    /// Context of the calls posted to the event loop: they die with this.
    QObject m_context;
};

} // namespace tavelor::x11
