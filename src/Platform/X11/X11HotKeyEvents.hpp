#pragma once

#include "Platform/HotKeyEvents.hpp"

#include <QObject>

#include <xcb/xcb.h>

#include <cstdint>
#include <list>
#include <memory>
#include <vector>

namespace tavelor::x11 {

class X11Connection;
class X11Keyboard;

/// Global shortcuts as passive key grabs on the root window of Tavelor's own
/// connection.
///
/// - A combination is grabbed four times: as it is, and with Caps Lock, with
///   Num Lock, with both, so that neither lock keeps it from firing. The
///   server refuses a grab another client holds (BadAccess); one refusal
///   fails the registration, and the grabs already made are released.
/// - cmdKey is Super (Mod4), optionKey Alt (Mod1), controlKey Control,
///   shiftKey Shift; other bits of the mask are ignored.
/// - Auto-repeat is made detectable (an XKB per-client flag): while the keys
///   are held the server repeats the press without releases in between, and
///   only the first press reaches the handlers.
/// - X sends no core MappingNotify to XKB clients, so the grabs are made
///   again after an XKB NewKeyboardNotify or MapNotify: the key may have
///   another X key code, Num Lock another modifier bit. A combination that
///   cannot be grabbed again stays registered and is tried at the next change.
class X11HotKeyEvents final : public platform::HotKeyEvents {
public:
    /// `keyboard` outlives this; its connection may be null (nothing registers).
    explicit X11HotKeyEvents(X11Keyboard& keyboard);
    ~X11HotKeyEvents() override;

    platform::EventTargetRef getApplicationEventTarget() override;
    platform::OSStatus registerEventHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                           platform::EventHotKeyID hotKeyID,
                                           platform::EventTargetRef target, std::uint32_t options,
                                           platform::EventHotKeyRef* outRef) override;
    platform::OSStatus unregisterEventHotKey(platform::EventHotKeyRef hotKey) override;
    platform::OSStatus installEventHandler(platform::EventTargetRef target,
                                           platform::EventHandlerProcPtr handler,
                                           std::uint32_t numTypes,
                                           const platform::EventTypeSpec* list, void* userData,
                                           platform::EventHandlerRef* outRef) override;
    platform::OSStatus removeEventHandler(platform::EventHandlerRef handler) override;
    platform::OSStatus getEventParameter(platform::EventRef event, platform::OSType name,
                                         platform::OSType desiredType,
                                         platform::OSType* outActualType, std::uint32_t bufferSize,
                                         std::uint32_t* outActualSize, void* outData) override;

    /// The X modifier mask a Carbon mask is grabbed with (without locks).
    static std::uint16_t xModifiers(std::uint32_t carbonModifiers);

private:
    struct HotKey;
    struct Handler;
    class Target final : public platform::EventTarget {};

    bool onEvent(const xcb_generic_event_t& event);
    bool onKeyPress(const xcb_key_press_event_t& event);
    bool onKeyRelease(const xcb_key_release_event_t& event);
    void deliverPress(const HotKey& hotKey);
    /// Grabs `hotKey` on the current keymap; noErr or the failure status.
    platform::OSStatus grab(HotKey& hotKey);
    void ungrab(HotKey& hotKey);
    void regrabAll();

    X11Keyboard& m_keyboard;
    X11Connection* m_connection;
    Target m_target;
    std::list<std::unique_ptr<HotKey>> m_hotKeys;
    std::list<std::unique_ptr<Handler>> m_handlers;
    int m_listenerId = 0;
    bool m_regrabPending = false;
    /// Context of the calls posted to the event loop: they die with this.
    QObject m_context;
};

} // namespace tavelor::x11
