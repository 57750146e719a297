#pragma once

#include <cstdint>

namespace tavelor::platform {

/// Statuses of the event calls. Callers look at nothing but 0 or not 0, except
/// that a handler answers eventNotHandledErr for an event it leaves to others.
using OSStatus = std::int32_t;
inline constexpr OSStatus noErr = 0;
inline constexpr OSStatus paramErr = -50;
inline constexpr OSStatus eventNotHandledErr = -9874;
/// Another client holds the combination (or this one registered it already).
inline constexpr OSStatus eventHotKeyExistsErr = -9878;
/// The combination cannot be registered: no key on this keyboard has the code.
inline constexpr OSStatus eventHotKeyInvalidErr = -9879;
inline constexpr OSStatus eventParameterNotFoundErr = -9870;

/// A four-character code, first character in the most significant byte.
using OSType = std::uint32_t;
constexpr OSType fourCharCode(const char (&code)[5])
{
    return (OSType{static_cast<unsigned char>(code[0])} << 24) |
           (OSType{static_cast<unsigned char>(code[1])} << 16) |
           (OSType{static_cast<unsigned char>(code[2])} << 8) |
           OSType{static_cast<unsigned char>(code[3])};
}

inline constexpr OSType kEventClassKeyboard = fourCharCode("keyb");
inline constexpr std::uint32_t kEventHotKeyPressed = 5;
inline constexpr OSType kEventParamDirectObject = fourCharCode("----");
inline constexpr OSType typeEventHotKeyID = fourCharCode("hkid");

/// What a hot key press carries as its direct object: who registered it.
struct EventHotKeyID {
    OSType signature = 0;
    std::uint32_t id = 0;
};
static_assert(sizeof(EventHotKeyID) == 8);

struct EventTypeSpec {
    OSType eventClass = 0;
    std::uint32_t eventKind = 0;
};

/// Opaque objects behind the handles. A backend derives its own and hands out
/// pointers; the caller never looks inside. Null is "no handle".
class EventObject {
public:
    EventObject() = default;
    virtual ~EventObject() = default;
    EventObject(const EventObject&) = delete;
    EventObject& operator=(const EventObject&) = delete;
};
class EventTarget : public EventObject {};
class EventHotKey : public EventObject {};
class EventHandler : public EventObject {};
class EventHandlerCall : public EventObject {};
class Event : public EventObject {};

using EventTargetRef = EventTarget*;
using EventHotKeyRef = EventHotKey*;
using EventHandlerRef = EventHandler*;
using EventHandlerCallRef = EventHandlerCall*;
using EventRef = Event*;

/// A handler as installed: the call that would pass the event on, the event,
/// and the user data given at installation.
using EventHandlerProcPtr = OSStatus (*)(EventHandlerCallRef nextHandler, EventRef event,
                                         void* userData);

/// The application's event system for global shortcuts, in the shape of the
/// six Carbon event manager calls.
///
/// Contract:
/// - Everything happens on the main thread. Handlers are called from the
///   event loop, never from inside one of these calls.
/// - registerEventHotKey() makes the combination system-wide: status 0 and a
///   handle, or a non-zero status and no handle (eventHotKeyExistsErr when
///   another program holds it, eventHotKeyInvalidErr when no key of the
///   keyboard has the code). Modifiers are the Carbon bits cmdKey, shiftKey,
///   optionKey, controlKey; Caps Lock and Num Lock never keep a shortcut from
///   firing. Holding the keys is one press, not a press per key repeat.
/// - A press of a registered combination is offered to the handlers installed
///   on the hot key's target for (kEventClassKeyboard, kEventHotKeyPressed),
///   newest first, until one answers anything but eventNotHandledErr. Its
///   direct object (kEventParamDirectObject, typeEventHotKeyID) is the
///   EventHotKeyID given at registration. The event lives only for the call.
/// - Handles stay valid until unregistered or removed; unregistering releases
///   the keys at once, so later presses reach the focused window again.
class HotKeyEvents {
public:
    HotKeyEvents() = default;
    virtual ~HotKeyEvents() = default;
    HotKeyEvents(const HotKeyEvents&) = delete;
    HotKeyEvents& operator=(const HotKeyEvents&) = delete;

    /// The application's event target; never null, owned by the backend.
    virtual EventTargetRef getApplicationEventTarget() = 0;

    virtual OSStatus registerEventHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                         EventHotKeyID hotKeyID, EventTargetRef target,
                                         std::uint32_t options, EventHotKeyRef* outRef) = 0;
    virtual OSStatus unregisterEventHotKey(EventHotKeyRef hotKey) = 0;

    /// `userData` is handed back to `handler` as it is, never owned.
    virtual OSStatus installEventHandler(EventTargetRef target, EventHandlerProcPtr handler,
                                         std::uint32_t numTypes, const EventTypeSpec* list,
                                         void* userData, EventHandlerRef* outRef) = 0;
    virtual OSStatus removeEventHandler(EventHandlerRef handler) = 0;

    /// Copies the parameter `name` of `event` as `desiredType` into `outData`
    /// when it fits in `bufferSize` bytes. The two out parameters may be null.
    virtual OSStatus getEventParameter(EventRef event, OSType name, OSType desiredType,
                                       OSType* outActualType, std::uint32_t bufferSize,
                                       std::uint32_t* outActualSize, void* outData) = 0;
};

} // namespace tavelor::platform
