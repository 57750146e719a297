#include "Platform/X11/X11HotKeyEvents.hpp"

#include "Platform/X11/X11Connection.hpp"
#include "Platform/X11/X11Keyboard.hpp"
#include "Platform/X11/XcbPointers.hpp"
#include "Platform/X11/XcbXkb.hpp"
#include "Models/HotKey.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace tavelor::x11 {

using namespace platform;

struct X11HotKeyEvents::HotKey final : EventHotKey {
    std::uint32_t keyCode = 0;
    std::uint16_t xModifiers = 0;
    EventHotKeyID hotKeyID;
    EventTargetRef target = nullptr;
    // What is grabbed now; empty while the keyboard has no key for the code.
    std::optional<xcb_keycode_t> grabbedKey;
    std::vector<std::uint16_t> grabbedMasks;
    std::uint16_t numLockMask = 0;
    // Between the first press and the release; repeats in between are dropped.
    bool held = false;
};

struct X11HotKeyEvents::Handler final : EventHandler {
    EventTargetRef target = nullptr;
    EventHandlerProcPtr proc = nullptr;
    std::vector<EventTypeSpec> types;
    void* userData = nullptr;
};

namespace {

class PressEvent final : public Event {
public:
    explicit PressEvent(EventHotKeyID id) : hotKeyID(id) {}
    EventHotKeyID hotKeyID;
};

constexpr std::uint16_t kRealModifiers = 0xff;

template <typename T, typename P> auto findOwned(std::list<std::unique_ptr<T>>& list, P* raw)
{
    return std::find_if(list.begin(), list.end(),
                        [raw](const std::unique_ptr<T>& owned) { return owned.get() == raw; });
}

} // namespace

X11HotKeyEvents::X11HotKeyEvents(X11Keyboard& keyboard)
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

X11HotKeyEvents::~X11HotKeyEvents()
{
    if (m_connection && m_listenerId)
        m_connection->removeEventListener(m_listenerId);
    for (auto& hotKey : m_hotKeys)
        ungrab(*hotKey);
}

std::uint16_t X11HotKeyEvents::xModifiers(std::uint32_t carbonModifiers)
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

EventTargetRef X11HotKeyEvents::getApplicationEventTarget()
{
    return &m_target;
}

OSStatus X11HotKeyEvents::registerEventHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                              EventHotKeyID hotKeyID, EventTargetRef target,
                                              std::uint32_t /*options*/, EventHotKeyRef* outRef)
{
    *outRef = nullptr;
    if (target != &m_target || keyCode > 0xffff)
        return paramErr;
    const std::uint16_t xMask = xModifiers(modifiers);
    // The server lets a client grab what it holds already; the event system
    // does not.
    for (const auto& other : m_hotKeys) {
        if (other->keyCode == keyCode && other->xModifiers == xMask)
            return eventHotKeyExistsErr;
    }
    auto hotKey = std::make_unique<HotKey>();
    hotKey->keyCode = keyCode;
    hotKey->xModifiers = xMask;
    hotKey->hotKeyID = hotKeyID;
    hotKey->target = target;
    if (const OSStatus status = grab(*hotKey); status != noErr)
        return status;
    *outRef = hotKey.get();
    m_hotKeys.push_back(std::move(hotKey));
    return noErr;
}

OSStatus X11HotKeyEvents::unregisterEventHotKey(EventHotKeyRef hotKey)
{
    auto it = findOwned(m_hotKeys, hotKey);
    if (it == m_hotKeys.end())
        return paramErr;
    ungrab(**it);
    m_hotKeys.erase(it);
    return noErr;
}

OSStatus X11HotKeyEvents::installEventHandler(EventTargetRef target, EventHandlerProcPtr handler,
                                              std::uint32_t numTypes, const EventTypeSpec* list,
                                              void* userData, EventHandlerRef* outRef)
{
    *outRef = nullptr;
    if (target != &m_target || !handler || (numTypes > 0 && !list))
        return paramErr;
    auto installed = std::make_unique<Handler>();
    installed->target = target;
    installed->proc = handler;
    installed->types.assign(list, list + numTypes);
    installed->userData = userData;
    *outRef = installed.get();
    m_handlers.push_back(std::move(installed));
    return noErr;
}

OSStatus X11HotKeyEvents::removeEventHandler(EventHandlerRef handler)
{
    auto it = findOwned(m_handlers, handler);
    if (it == m_handlers.end())
        return paramErr;
    m_handlers.erase(it);
    return noErr;
}

OSStatus X11HotKeyEvents::getEventParameter(EventRef event, OSType name, OSType desiredType,
                                            OSType* outActualType, std::uint32_t bufferSize,
                                            std::uint32_t* outActualSize, void* outData)
{
    const auto* press = dynamic_cast<const PressEvent*>(event);
    if (!press || name != kEventParamDirectObject)
        return eventParameterNotFoundErr;
    if (desiredType != typeEventHotKeyID || bufferSize < sizeof(EventHotKeyID) || !outData)
        return paramErr;
    std::memcpy(outData, &press->hotKeyID, sizeof(EventHotKeyID));
    if (outActualType)
        *outActualType = typeEventHotKeyID;
    if (outActualSize)
        *outActualSize = sizeof(EventHotKeyID);
    return noErr;
}

OSStatus X11HotKeyEvents::grab(HotKey& hotKey)
{
    if (!m_connection || !m_keyboard.isAvailable())
        return eventHotKeyInvalidErr;
    const XkbKeymapPtr keymap = m_keyboard.keymap();
    const std::optional<xcb_keycode_t> key =
        X11Keyboard::xKeyCode(keymap.get(), static_cast<std::uint16_t>(hotKey.keyCode));
    if (!key)
        return eventHotKeyInvalidErr;
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
        return eventHotKeyExistsErr;
    }
    hotKey.grabbedKey = key;
    hotKey.grabbedMasks = std::move(grabbed);
    hotKey.numLockMask = numLock;
    return noErr;
}

void X11HotKeyEvents::ungrab(HotKey& hotKey)
{
    if (m_connection && hotKey.grabbedKey) {
        for (std::uint16_t mask : hotKey.grabbedMasks)
            xcb_ungrab_key(m_connection->get(), *hotKey.grabbedKey, m_connection->root(), mask);
        xcb_flush(m_connection->get());
    }
    hotKey.grabbedKey.reset();
    hotKey.grabbedMasks.clear();
    hotKey.held = false;
}

void X11HotKeyEvents::regrabAll()
{
    for (auto& hotKey : m_hotKeys) {
        ungrab(*hotKey);
        grab(*hotKey);
    }
}

bool X11HotKeyEvents::onEvent(const xcb_generic_event_t& event)
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
                    regrabAll();
                },
                Qt::QueuedConnection);
        }
    }
    return false;
}

bool X11HotKeyEvents::onKeyPress(const xcb_key_press_event_t& event)
{
    if (event.event != m_connection->root())
        return false;
    for (auto& hotKey : m_hotKeys) {
        if (!hotKey->grabbedKey || *hotKey->grabbedKey != event.detail)
            continue;
        const auto locks = static_cast<std::uint16_t>(XCB_MOD_MASK_LOCK | hotKey->numLockMask);
        const auto held = static_cast<std::uint16_t>(event.state & kRealModifiers & ~locks);
        if (held != hotKey->xModifiers)
            continue;
        if (!hotKey->held) {
            hotKey->held = true;
            deliverPress(*hotKey);
        }
        return true;
    }
    return false;
}

bool X11HotKeyEvents::onKeyRelease(const xcb_key_release_event_t& event)
{
    if (event.event != m_connection->root())
        return false;
    bool ours = false;
    for (auto& hotKey : m_hotKeys) {
        if (hotKey->grabbedKey && *hotKey->grabbedKey == event.detail) {
            hotKey->held = false;
            ours = true;
        }
    }
    return ours;
}

void X11HotKeyEvents::deliverPress(const HotKey& hotKey)
{
    PressEvent press(hotKey.hotKeyID);
    const EventTargetRef target = hotKey.target;
    // A handler may remove handlers (itself included) while it runs: walk a
    // copy and skip those that are gone.
    std::vector<const Handler*> order;
    for (auto it = m_handlers.rbegin(); it != m_handlers.rend(); ++it)
        order.push_back(it->get());
    for (const Handler* handler : order) {
        const bool installed =
            std::any_of(m_handlers.begin(), m_handlers.end(),
                        [handler](const auto& owned) { return owned.get() == handler; });
        if (!installed || handler->target != target)
            continue;
        const bool listens =
            std::any_of(handler->types.begin(), handler->types.end(), [](const auto& t) {
                return t.eventClass == kEventClassKeyboard && t.eventKind == kEventHotKeyPressed;
            });
        if (!listens)
            continue;
        if (handler->proc(nullptr, &press, handler->userData) != eventNotHandledErr)
            break;
    }
}

} // namespace tavelor::x11
