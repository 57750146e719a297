#pragma once

#include "Models/HotKey.hpp"
#include "Platform/HotKeyEvents.hpp"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace tavelor {

namespace platform {
class KeyboardLayout;
}

/// Owner of the one system-wide shortcut, and of the operations that name keys.
///
/// Registered exactly when currentHotKey() is present; then both the hot key
/// and its event handler exist, otherwise neither does. A press of the
/// shortcut posts onTrigger (as it is at that moment) to the main event loop,
/// so it runs after the event handler has returned. Main thread only.
class HotKeyService {
public:
    /// Signature "TVLR" and id 1: how presses of our hot key are told apart.
    static constexpr platform::OSType kHotKeySignature = platform::fourCharCode("TVLR");
    static constexpr std::uint32_t kHotKeyID = 1;

    /// Both interfaces must outlive the service.
    HotKeyService(platform::HotKeyEvents& events, platform::KeyboardLayout& layout);
    ~HotKeyService();
    HotKeyService(const HotKeyService&) = delete;
    HotKeyService& operator=(const HotKeyService&) = delete;

    /// Replaces whatever is registered by `hotKey` (also when it is the same).
    /// False when the system refuses it or the handler cannot be installed;
    /// then nothing at all is registered, the previous shortcut is gone too.
    /// (`register` itself is a reserved word.)
    bool registerHotKey(const HotKey& hotKey);
    /// Releases the hot key and the handler.
    void unregister();
    /// What the window system answered the last registerHotKey: noErr, or
    /// eventHotKeyExistsErr when another program holds the combination.
    platform::OSStatus lastRegisterStatus() const { return m_lastRegisterStatus; }

    const std::optional<HotKey>& currentHotKey() const { return m_currentHotKey; }
    const std::function<void()>& onTrigger() const { return m_onTrigger; }
    void setOnTrigger(std::function<void()> onTrigger) { m_onTrigger = std::move(onTrigger); }

    /// The function installed with the event system; `userData` is the service.
    static platform::OSStatus hotKeyEventHandler(platform::EventHandlerCallRef nextHandler,
                                                 platform::EventRef event, void* userData);
    /// noErr for a press of our hot key, eventNotHandledErr for anything else.
    platform::OSStatus handleHotKeyEvent(platform::EventRef event);

    /// The Carbon mask of the NSEvent-style modifier flags of a key event:
    /// Shift 1 << 17, Control 1 << 18, Option 1 << 19, Command 1 << 20. All
    /// other flags (Caps Lock, Function, ...) are ignored.
    static std::uint32_t carbonModifiers(std::uint64_t modifierFlags);
    /// What the key types on the current layout with no modifier held, in
    /// upper case; nothing for a dead key or a key the layout cannot translate.
    static std::optional<QString> character(std::uint16_t keyCode,
                                            platform::KeyboardLayout& layout);
    /// "⌃⌥⇧⌘" as held, then the key: "⌘Space", "⌃⌥F1", "⌘Key200".
    static QString displayName(const HotKey& hotKey, platform::KeyboardLayout& layout);

    /// The same, on the layout the service was made with.
    std::optional<QString> character(std::uint16_t keyCode) const;
    QString displayName(const HotKey& hotKey) const;

private:
    platform::HotKeyEvents& m_events;
    platform::KeyboardLayout& m_layout;

    platform::EventHotKeyRef m_hotKeyRef = nullptr;
    platform::EventHandlerRef m_eventHandlerRef = nullptr;
    std::function<void()> m_onTrigger;
    std::optional<HotKey> m_currentHotKey;
    platform::OSStatus m_lastRegisterStatus = platform::noErr;
};

} // namespace tavelor
