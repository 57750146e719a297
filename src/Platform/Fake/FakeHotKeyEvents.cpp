#include "Platform/Fake/FakeHotKeyEvents.hpp"

#include <algorithm>
#include <cstring>

namespace tavelor::fake {

using namespace platform;

struct FakeHotKeyEvents::HotKey final : EventHotKey {
    Registration registration;
};

struct FakeHotKeyEvents::Handler final : EventHandler {
    InstalledHandler installed;
};

namespace {

class PressEvent final : public Event {
public:
    std::optional<EventHotKeyID> hotKeyID;
};

template <typename T, typename P> auto findOwned(std::list<std::unique_ptr<T>>& list, P* raw)
{
    return std::find_if(list.begin(), list.end(),
                        [raw](const std::unique_ptr<T>& owned) { return owned.get() == raw; });
}

} // namespace

FakeHotKeyEvents::FakeHotKeyEvents() = default;
FakeHotKeyEvents::~FakeHotKeyEvents() = default;

EventTargetRef FakeHotKeyEvents::getApplicationEventTarget()
{
    return &m_target;
}

OSStatus FakeHotKeyEvents::registerEventHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                               EventHotKeyID hotKeyID, EventTargetRef target,
                                               std::uint32_t options, EventHotKeyRef* outRef)
{
    *outRef = nullptr;
    if (target != &m_target)
        return paramErr;
    if (m_refused.contains({keyCode, modifiers}))
        return eventHotKeyExistsErr;
    for (const auto& hotKey : m_hotKeys) {
        if (hotKey->registration.keyCode == keyCode && hotKey->registration.modifiers == modifiers)
            return eventHotKeyExistsErr;
    }
    auto hotKey = std::make_unique<HotKey>();
    hotKey->registration = Registration{keyCode, modifiers, hotKeyID, options};
    if (!m_withoutHandles)
        *outRef = hotKey.get();
    m_hotKeys.push_back(std::move(hotKey));
    return noErr;
}

OSStatus FakeHotKeyEvents::unregisterEventHotKey(EventHotKeyRef hotKey)
{
    ++m_unregisterCalls;
    auto it = findOwned(m_hotKeys, hotKey);
    if (it == m_hotKeys.end())
        return paramErr;
    m_hotKeys.erase(it);
    return noErr;
}

OSStatus FakeHotKeyEvents::installEventHandler(EventTargetRef target, EventHandlerProcPtr handler,
                                               std::uint32_t numTypes, const EventTypeSpec* list,
                                               void* userData, EventHandlerRef* outRef)
{
    *outRef = nullptr;
    if (target != &m_target || !handler)
        return paramErr;
    if (m_installStatus != noErr && !m_installHandsOutHandle)
        return m_installStatus;
    auto installed = std::make_unique<Handler>();
    installed->installed = InstalledHandler{handler, {list, list + numTypes}, userData};
    if (!m_withoutHandles)
        *outRef = installed.get();
    m_handlers.push_back(std::move(installed));
    return m_installStatus;
}

OSStatus FakeHotKeyEvents::removeEventHandler(EventHandlerRef handler)
{
    ++m_removeCalls;
    auto it = findOwned(m_handlers, handler);
    if (it == m_handlers.end())
        return paramErr;
    m_handlers.erase(it);
    return noErr;
}

OSStatus FakeHotKeyEvents::getEventParameter(EventRef event, OSType name, OSType desiredType,
                                             OSType* outActualType, std::uint32_t bufferSize,
                                             std::uint32_t* outActualSize, void* outData)
{
    const auto* press = dynamic_cast<const PressEvent*>(event);
    if (!press || name != kEventParamDirectObject || !press->hotKeyID)
        return eventParameterNotFoundErr;
    if (desiredType != typeEventHotKeyID || bufferSize < sizeof(EventHotKeyID))
        return paramErr;
    std::memcpy(outData, &*press->hotKeyID, sizeof(EventHotKeyID));
    if (outActualType)
        *outActualType = typeEventHotKeyID;
    if (outActualSize)
        *outActualSize = sizeof(EventHotKeyID);
    return noErr;
}

std::vector<FakeHotKeyEvents::Registration> FakeHotKeyEvents::registrations() const
{
    std::vector<Registration> result;
    for (const auto& hotKey : m_hotKeys)
        result.push_back(hotKey->registration);
    return result;
}

std::vector<FakeHotKeyEvents::InstalledHandler> FakeHotKeyEvents::handlers() const
{
    std::vector<InstalledHandler> result;
    for (const auto& handler : m_handlers)
        result.push_back(handler->installed);
    return result;
}

void FakeHotKeyEvents::refuse(std::uint32_t keyCode, std::uint32_t modifiers)
{
    m_refused.emplace(keyCode, modifiers);
}

void FakeHotKeyEvents::failHandlerInstalls(OSStatus status, bool handOutHandle)
{
    m_installStatus = status;
    m_installHandsOutHandle = handOutHandle;
}

OSStatus FakeHotKeyEvents::press(std::optional<EventHotKeyID> hotKeyID)
{
    PressEvent event;
    event.hotKeyID = hotKeyID;
    // Handlers may remove themselves while they run: walk a copy.
    const std::vector<InstalledHandler> current = handlers();
    OSStatus status = eventNotHandledErr;
    for (auto it = current.rbegin(); it != current.rend(); ++it) {
        const bool listens = std::any_of(it->types.begin(), it->types.end(), [](const auto& type) {
            return type.eventClass == kEventClassKeyboard && type.eventKind == kEventHotKeyPressed;
        });
        if (!listens)
            continue;
        status = it->handler(nullptr, &event, it->userData);
        if (status != eventNotHandledErr)
            break;
    }
    return status;
}

OSStatus FakeHotKeyEvents::press(std::uint32_t keyCode, std::uint32_t modifiers)
{
    for (const auto& hotKey : m_hotKeys) {
        if (hotKey->registration.keyCode == keyCode && hotKey->registration.modifiers == modifiers)
            return press(hotKey->registration.hotKeyID);
    }
    return eventNotHandledErr;
}

} // namespace tavelor::fake
