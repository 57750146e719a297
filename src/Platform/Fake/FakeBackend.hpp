#pragma once

#include "Platform/Backend.hpp"
#include "Platform/Displays.hpp"
#include "Platform/GlobalShortcuts.hpp"
#include "Platform/KeyEventTranslator.hpp"
#include "Platform/KeyboardGrab.hpp"
#include "Platform/KeyboardLayout.hpp"
#include "Platform/LoginItems.hpp"
#include "Platform/WindowAccess.hpp"
#include "Platform/WindowSource.hpp"

#include <map>
#include <optional>
#include <set>
#include <vector>

namespace tavelor::fake {

/// A desktop in memory: tests set what a listing shows and read back every
/// write; writes land on the listed frames, so a following listing shows them.
struct FakeWindowSource final : platform::WindowSource {
    std::vector<platform::LiveApplication> listApplications() override { return applications; }
    void apply(std::span<const platform::FrameWrite> writes) override;

    std::vector<platform::LiveApplication> applications;
    std::vector<platform::FrameWrite> writes;
    int applyCalls = 0;
};

/// Access the test grants or withholds; a prompt may grant it.
struct FakeWindowAccess final : platform::WindowAccess {
    bool canWorkWithWindows(bool mayPrompt) override
    {
        return promptingCalls += mayPrompt, granted = granted || (mayPrompt && promptGrants);
    }

    bool granted = true, promptGrants = false;
    int promptingCalls = 0;
};

/// One shortcut in memory; grabs answer `refusal` until it is Grabbed again.
struct FakeGlobalShortcuts final : platform::GlobalShortcuts {
    GrabResult grab(const HotKey& hotKey) override
    {
        held = refusal == GrabResult::Grabbed ? std::optional(hotKey) : std::nullopt;
        return refusal;
    }
    void release() override { held.reset(); }
    void setPressedHandler(std::function<void()> handler) override { pressed = std::move(handler); }
    /// The held keys pressed, as from the event loop; false when nothing is held.
    bool press() { return held && pressed && (pressed(), true); }

    GrabResult refusal = GrabResult::Grabbed;
    std::optional<HotKey> held;
    std::function<void()> pressed;
};

/// What each key types; keys never set type nothing.
struct FakeKeyboardLayout final : platform::KeyboardLayout {
    std::optional<QString> typedText(std::uint16_t keyCode) override
    {
        return texts.contains(keyCode) ? std::optional(texts[keyCode]) : std::nullopt;
    }
    std::map<std::uint16_t, QString> texts;
};

/// The native scan code is the key code plus 8 (as X key codes sit above
/// evdev's); the native modifiers are the KeyPress flags themselves.
struct FakeKeyEventTranslator final : platform::KeyEventTranslator {
    static constexpr std::uint32_t scanCode(std::uint16_t keyCode) { return keyCode + 8u; }
    platform::KeyPress translate(std::uint32_t scanCode, std::uint32_t modifiers) override
    {
        if (scanCode < 8 || scanCode - 8 > 0xFFFF || unmapped.contains(scanCode))
            return {std::nullopt, modifiers};
        return {static_cast<std::uint16_t>(scanCode - 8), modifiers};
    }

    std::set<std::uint32_t> unmapped;
};

/// A keyboard grab the test can refuse; presses reach the holder only.
struct FakeKeyboardGrab final : platform::KeyboardGrab {
    bool grab(std::uint64_t window, KeyHandler handler) override
    {
        if (refused || window == 0)
            return false;
        holder = window;
        onKeyPress = std::move(handler);
        return true;
    }
    void release() override { holder = 0; }
    bool isGrabbed() const override { return holder != 0; }
    // A copy of the handler: it may grab anew.
    bool press(std::uint32_t scanCode, std::uint32_t modifiers)
    {
        return holder && (KeyHandler{onKeyPress}(scanCode, modifiers), true);
    }

    std::uint64_t holder = 0;
    bool refused = false;
    KeyHandler onKeyPress;
};

/// A login item whose changes succeed unless `failure` is set.
struct FakeLoginItems final : platform::LoginItems {
    platform::LoginItemStatus status() override { return currentStatus; }
    bool setEnabled(bool enabled, QString& error) override
    {
        if ((error = failure).isEmpty())
            currentStatus = enabled ? platform::LoginItemStatus::Enabled
                                    : platform::LoginItemStatus::NotRegistered;
        return error.isEmpty();
    }
    platform::LoginItemStatus currentStatus = platform::LoginItemStatus::NotRegistered;
    QString failure;
};

/// Monitors the test sets.
struct FakeDisplays final : platform::Displays {
    DisplaySetup currentSetup() override { return setup; }
    void setChangedHandler(std::function<void()> handler) override { changed = std::move(handler); }
    DisplaySetup setup;
    std::function<void()> changed;
};

struct FakeBackend final : platform::Backend {
    QString name() const override { return QStringLiteral("fake"); }
    FakeWindowSource& windowSource() override { return source; }
    FakeWindowAccess& windowAccess() override { return access; }
    FakeGlobalShortcuts& globalShortcuts() override { return shortcuts; }
    FakeKeyboardLayout& keyboardLayout() override { return layout; }
    FakeKeyEventTranslator& keyEventTranslator() override { return translator; }
    FakeKeyboardGrab& keyboardGrab() override { return grab; }
    FakeLoginItems& loginItems() override { return login; }
    FakeDisplays& displays() override { return monitors; }
    void setWindowSystemLostHandler(std::function<void()>) override {}

    FakeWindowSource source;
    FakeWindowAccess access;
    FakeGlobalShortcuts shortcuts;
    FakeKeyboardLayout layout;
    FakeKeyEventTranslator translator;
    FakeKeyboardGrab grab;
    FakeLoginItems login;
    FakeDisplays monitors;
};

} // namespace tavelor::fake
