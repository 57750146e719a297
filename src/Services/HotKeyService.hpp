#pragma once

#include "Models/HotKey.hpp"
#include "Platform/GlobalShortcuts.hpp"

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
/// Registered exactly when currentHotKey() is present; then the backend holds
/// the shortcut, otherwise it holds nothing. A press of the shortcut posts
/// onTrigger (as it is at that moment) to the main event loop, so it runs after
/// the press has been handled. Main thread only.
class HotKeyService {
public:
    using GrabResult = platform::GlobalShortcuts::GrabResult;

    /// Both interfaces must outlive the service.
    HotKeyService(platform::GlobalShortcuts& shortcuts, platform::KeyboardLayout& layout);
    ~HotKeyService();
    HotKeyService(const HotKeyService&) = delete;
    HotKeyService& operator=(const HotKeyService&) = delete;

    /// Replaces whatever is registered by `hotKey` (also when it is the same).
    /// False when the system refuses it; then nothing at all is registered, the
    /// previous shortcut is gone too, and lastGrabResult() says why.
    /// (`register` itself is a reserved word.)
    bool registerHotKey(const HotKey& hotKey);
    /// Releases the shortcut.
    void unregister();

    const std::optional<HotKey>& currentHotKey() const { return m_currentHotKey; }
    /// What the last registerHotKey() got from the system; Grabbed before any.
    GrabResult lastGrabResult() const { return m_lastGrabResult; }
    const std::function<void()>& onTrigger() const { return m_onTrigger; }
    void setOnTrigger(std::function<void()> onTrigger) { m_onTrigger = std::move(onTrigger); }

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
    void pressed();

    platform::GlobalShortcuts& m_shortcuts;
    platform::KeyboardLayout& m_layout;

    std::function<void()> m_onTrigger;
    std::optional<HotKey> m_currentHotKey;
    GrabResult m_lastGrabResult = GrabResult::Grabbed;
};

} // namespace tavelor
