#pragma once

#include "Platform/HotKeyEvents.hpp"

#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace tavelor::fake {

/// An event system in memory. Tests read what is registered and installed,
/// make the system refuse a combination or a handler, and send presses.
class FakeHotKeyEvents final : public platform::HotKeyEvents {
public:
    struct Registration {
        std::uint32_t keyCode = 0;
        std::uint32_t modifiers = 0;
        platform::EventHotKeyID hotKeyID;
        std::uint32_t options = 0;
    };
    struct InstalledHandler {
        platform::EventHandlerProcPtr handler = nullptr;
        std::vector<platform::EventTypeSpec> types;
        void* userData = nullptr;
    };

    FakeHotKeyEvents();
    ~FakeHotKeyEvents() override;

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

    // Inspection side.

    /// The live registrations and handlers, oldest first.
    std::vector<Registration> registrations() const;
    std::vector<InstalledHandler> handlers() const;

    /// Another program holds this combination from now on.
    void refuse(std::uint32_t keyCode, std::uint32_t modifiers);
    /// The next installEventHandler() calls fail with `status` (0: they work
    /// again); `handOutHandle` makes a failing call return a handle anyway.
    void failHandlerInstalls(platform::OSStatus status, bool handOutHandle = false);
    /// Calls that answer success but no handle.
    void answerWithoutHandles(bool on) { m_withoutHandles = on; }

    /// A press as the event system delivers it: offered to the handlers,
    /// newest first, until one does not answer eventNotHandledErr. The press
    /// carries `hotKeyID`, or no direct object at all when it is empty.
    /// Answers the last status (eventNotHandledErr when no handler took it).
    platform::OSStatus press(std::optional<platform::EventHotKeyID> hotKeyID);
    /// A press of a registered combination, carrying its identifier.
    platform::OSStatus press(std::uint32_t keyCode, std::uint32_t modifiers);

    int unregisterCalls() const { return m_unregisterCalls; }
    int removeCalls() const { return m_removeCalls; }

private:
    struct HotKey;
    struct Handler;
    class Target final : public platform::EventTarget {};

    Target m_target;
    std::list<std::unique_ptr<HotKey>> m_hotKeys;
    std::list<std::unique_ptr<Handler>> m_handlers;
    std::set<std::pair<std::uint32_t, std::uint32_t>> m_refused;
    platform::OSStatus m_installStatus = platform::noErr;
    bool m_installHandsOutHandle = false;
    bool m_withoutHandles = false;
    int m_unregisterCalls = 0;
    int m_removeCalls = 0;
};

} // namespace tavelor::fake
