#include "Platform/X11/X11GlobalShortcuts.hpp"

#include "Models/HotKey.hpp"
#include "Platform/X11/X11Connection.hpp"
#include "Platform/X11/X11Keyboard.hpp"
#include "Platform/X11/XcbPointers.hpp"
#include "Platform/X11/XcbXkb.hpp"

#include <algorithm>
#include <array>
#include <optional>

namespace tavelor::x11 {

using GrabResult = platform::GlobalShortcuts::GrabResult;

namespace {

constexpr std::uint16_t kRealModifiers = 0xff;

} // namespace

X11GlobalShortcuts::X11GlobalShortcuts(X11Keyboard& keyboard)
    : m_keyboard(keyboard), m_connection(keyboard.connection())
{
    if (!m_connection || !m_keyboard.isAvailable())
        return;
    xcb_connection_t* c = m_connection->get();
    const auto device = static_cast<xcb_xkb_device_spec_t>(m_keyboard.deviceId());

    const std::uint32_t repeat = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
    xcb_discard_reply(c, xcb_xkb_per_client_flags(c, device, repeat, repeat, 0, 0, 0).sequence);

    const std::uint16_t events =
        XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY;
    const std::uint16_t mapParts =
        XCB_XKB_MAP_PART_KEY_TYPES | XCB_XKB_MAP_PART_KEY_SYMS | XCB_XKB_MAP_PART_MODIFIER_MAP |
        XCB_XKB_MAP_PART_EXPLICIT_COMPONENTS | XCB_XKB_MAP_PART_KEY_ACTIONS |
        XCB_XKB_MAP_PART_VIRTUAL_MODS | XCB_XKB_MAP_PART_VIRTUAL_MOD_MAP;
    const xcb_xkb_select_events_details_t details{};
    xcb_xkb_select_events_aux(c, device, events, 0, events, mapParts, mapParts, &details);
    xcb_flush(c);

    m_listenerId = m_connection->addEventListener(
        [this](const xcb_generic_event_t& event) { return onEvent(event); });
}

X11GlobalShortcuts::~X11GlobalShortcuts()
{
    if (m_connection && m_listenerId)
        m_connection->removeEventListener(m_listenerId);
    release();
}

std::uint16_t X11GlobalShortcuts::xModifiers(std::uint32_t carbonModifiers)
{
    std::uint16_t mask = 0;
    if (carbonModifiers & shiftKey)
        mask |= XCB_MOD_MASK_SHIFT;
    if (carbonModifiers & controlKey)
        mask |= XCB_MOD_MASK_CONTROL;
    if (carbonModifiers & optionKey)
        mask |= XCB_MOD_MASK_1;
    if (carbonModifiers & cmdKey)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

GrabResult X11GlobalShortcuts::grab(const HotKey& hotKey)
{
    release();
    Held held;
    held.keyCode = hotKey.keyCode;
    held.xModifiers = xModifiers(hotKey.modifiers);
    const GrabResult result = grabKeys(held);
    if (result == GrabResult::Grabbed)
        m_held = held;
    return result;
}

void X11GlobalShortcuts::release()
{
    if (m_held)
        ungrabKeys(*m_held);
    m_held.reset();
}

void X11GlobalShortcuts::setPressedHandler(std::function<void()> handler)
{
    m_pressed = std::move(handler);
}

GrabResult X11GlobalShortcuts::grabKeys(Held& hotKey)
{
    if (!m_connection || !m_keyboard.isAvailable() || m_connection->hasError())
        return GrabResult::Unavailable;
    const XkbKeymapPtr keymap = m_keyboard.keymap();
    const std::optional<xcb_keycode_t> key = X11Keyboard::xKeyCode(keymap.get(), hotKey.keyCode);
    if (!key)
        return GrabResult::NoSuchKey;
    const std::uint16_t numLock = m_keyboard.numLockMask(keymap.get());

    std::vector<std::uint16_t> masks;
    for (std::uint16_t locks : {std::uint16_t{0}, std::uint16_t{XCB_MOD_MASK_LOCK}, numLock,
                                static_cast<std::uint16_t>(XCB_MOD_MASK_LOCK | numLock)}) {
        const auto mask = static_cast<std::uint16_t>(hotKey.xModifiers | locks);
        if (std::find(masks.begin(), masks.end(), mask) == masks.end())
            masks.push_back(mask);
    }

    // All grabs first, then one check each: a single round trip for the lot.
    xcb_connection_t* c = m_connection->get();
    std::vector<xcb_void_cookie_t> cookies;
    cookies.reserve(masks.size());
    for (std::uint16_t mask : masks) {
        cookies.push_back(xcb_grab_key_checked(c, 1, m_connection->root(), mask, *key,
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    std::vector<std::uint16_t> grabbed;
    bool refused = false;
    for (std::size_t i = 0; i < cookies.size(); ++i) {
        XcbPtr<xcb_generic_error_t> error{xcb_request_check(c, cookies[i])};
        if (error)
            refused = true;
        else
            grabbed.push_back(masks[i]);
    }
    m_keyboard.dispatchLater();
    if (refused) {
        for (std::uint16_t mask : grabbed)
            xcb_ungrab_key(c, *key, m_connection->root(), mask);
        xcb_flush(c);
        return GrabResult::Taken;
    }
    hotKey.grabbedKey = key;
    hotKey.grabbedMasks = std::move(grabbed);
    hotKey.numLockMask = numLock;
    return GrabResult::Grabbed;
}

void X11GlobalShortcuts::ungrabKeys(Held& hotKey)
{
    if (m_connection && hotKey.grabbedKey) {
        for (std::uint16_t mask : hotKey.grabbedMasks)
            xcb_ungrab_key(m_connection->get(), *hotKey.grabbedKey, m_connection->root(), mask);
        xcb_flush(m_connection->get());
    }
    hotKey.grabbedKey.reset();
    hotKey.grabbedMasks.clear();
    hotKey.down = false;
}

bool X11GlobalShortcuts::onEvent(const xcb_generic_event_t& event)
{
    const std::uint8_t type = event.response_type & 0x7f;
    if (type == XCB_KEY_PRESS)
        return onKeyPress(reinterpret_cast<const xcb_key_press_event_t&>(event));
    if (type == XCB_KEY_RELEASE)
        return onKeyRelease(reinterpret_cast<const xcb_key_release_event_t&>(event));
    if (type == m_keyboard.firstEvent()) {
        // Every XKB event has its own type in the second byte.
        const std::uint8_t xkbType = event.pad0;
        if ((xkbType == XCB_XKB_NEW_KEYBOARD_NOTIFY || xkbType == XCB_XKB_MAP_NOTIFY) &&
            !m_regrabPending) {
            // One layout change comes as a burst of notifications: grab once.
            m_regrabPending = true;
            QMetaObject::invokeMethod(
                &m_context,
                [this] {
                    m_regrabPending = false;
                    if (m_held) {
                        ungrabKeys(*m_held);
                        grabKeys(*m_held);
                    }
                },
                Qt::QueuedConnection);
        }
    }
    return false;
}

bool X11GlobalShortcuts::onKeyPress(const xcb_key_press_event_t& event)
{
    if (event.event != m_connection->root() || !m_held || !m_held->grabbedKey ||
        *m_held->grabbedKey != event.detail)
        return false;
    const auto locks = static_cast<std::uint16_t>(XCB_MOD_MASK_LOCK | m_held->numLockMask);
    const auto pressed = static_cast<std::uint16_t>(event.state & kRealModifiers & ~locks);
    if (pressed != m_held->xModifiers)
        return false;
    if (!m_held->down) {
        m_held->down = true;
        // A copy: the handler may replace itself while it runs.
        if (const std::function<void()> handler = m_pressed)
            handler();
    }
    return true;
}

bool X11GlobalShortcuts::onKeyRelease(const xcb_key_release_event_t& event)
{
    if (event.event != m_connection->root() || !m_held || !m_held->grabbedKey ||
        *m_held->grabbedKey != event.detail)
        return false;
    m_held->down = false;
    return true;
}

} // namespace tavelor::x11
