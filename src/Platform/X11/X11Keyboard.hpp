#pragma once

#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdint>
#include <memory>
#include <optional>

namespace tavelor::x11 {

class X11Connection;

struct XkbKeymapDeleter {
    void operator()(xkb_keymap* keymap) const noexcept { xkb_keymap_unref(keymap); }
};
using XkbKeymapPtr = std::unique_ptr<xkb_keymap, XkbKeymapDeleter>;

/// The XKB side of Tavelor's X connection: the extension set up once, the
/// core keyboard, and fresh looks at the server's keymap.
///
/// Every keymap read is a few round trips on the connection; events that
/// arrive meanwhile are handed to the listeners from the event loop, never
/// from inside these calls.
class X11Keyboard {
public:
    /// `connection` may be null: then nothing is available.
    explicit X11Keyboard(X11Connection* connection);
    ~X11Keyboard();
    X11Keyboard(const X11Keyboard&) = delete;
    X11Keyboard& operator=(const X11Keyboard&) = delete;

    /// True when the server speaks XKB and has a core keyboard.
    bool isAvailable() const { return m_deviceId >= 0; }
    X11Connection* connection() const { return m_connection; }
    std::int32_t deviceId() const { return m_deviceId; }
    /// response_type of every XKB event.
    std::uint8_t firstEvent() const { return m_firstEvent; }

    /// The server's keymap of the core keyboard as it is now; null on failure.
    XkbKeymapPtr keymap();
    /// The layout (group) in effect now, for `keymap`.
    xkb_layout_index_t effectiveLayout(xkb_keymap* keymap);

    /// The X key code of a key of Tavelor's key code set on `keymap`.
    static std::optional<xcb_keycode_t> xKeyCode(xkb_keymap* keymap, std::uint16_t keyCode);

    /// The real modifier bit Num Lock is on in the server's modifier map
    /// (usually Mod2); 0 when no key of the map types Num_Lock.
    std::uint16_t numLockMask(xkb_keymap* keymap);

    /// Hands the events queued by replies awaited here (or by the caller) to
    /// the listeners, from the event loop once the current call has returned.
    void dispatchLater();

private:
    X11Connection* m_connection;
    xkb_context* m_context = nullptr;
    std::int32_t m_deviceId = -1;
    std::uint8_t m_firstEvent = 0;
};

} // namespace tavelor::x11
