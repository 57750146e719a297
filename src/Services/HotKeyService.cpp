#include "Services/HotKeyService.hpp"

#include <QCoreApplication>
#include <QMetaObject>

namespace tavelor {

using namespace platform;

namespace {

constexpr EventTypeSpec kHotKeyPressedType{kEventClassKeyboard, kEventHotKeyPressed};

} // namespace

HotKeyService::HotKeyService(HotKeyEvents& events, KeyboardLayout& layout)
    : m_events(events), m_layout(layout)
{}

HotKeyService::~HotKeyService()
{
    // The handler goes before the service, so its user data never dangles.
    unregister();
}

void HotKeyService::unregister()
{
    if (m_hotKeyRef) {
        m_events.unregisterEventHotKey(m_hotKeyRef);
        m_hotKeyRef = nullptr;
    }
    if (m_eventHandlerRef) {
        m_events.removeEventHandler(m_eventHandlerRef);
        m_eventHandlerRef = nullptr;
    }
    m_currentHotKey.reset();
}

bool HotKeyService::registerHotKey(const HotKey& hotKey)
{
    unregister();

    EventTargetRef target = m_events.getApplicationEventTarget();
    EventHotKeyRef hotKeyRef = nullptr;
    const OSStatus registered = m_events.registerEventHotKey(
        hotKey.keyCode, hotKey.modifiers, EventHotKeyID{kHotKeySignature, kHotKeyID}, target, 0,
        &hotKeyRef);
    m_lastRegisterStatus = registered;
    if (registered != noErr || !hotKeyRef)
        return false;
    m_hotKeyRef = hotKeyRef;

    EventHandlerRef handlerRef = nullptr;
    const OSStatus installed = m_events.installEventHandler(target, &hotKeyEventHandler, 1,
                                                            &kHotKeyPressedType, this, &handlerRef);
    if (installed == noErr && handlerRef) {
        m_eventHandlerRef = handlerRef;
        m_currentHotKey = hotKey;
        return true;
    }
    // A handle that came back with a failure is still ours to remove.
    m_eventHandlerRef = handlerRef;
    unregister();
    return false;
}

OSStatus HotKeyService::hotKeyEventHandler(EventHandlerCallRef /*nextHandler*/, EventRef event,
                                           void* userData)
{
    if (!userData)
        return eventNotHandledErr;
    return static_cast<HotKeyService*>(userData)->handleHotKeyEvent(event);
}

OSStatus HotKeyService::handleHotKeyEvent(EventRef event)
{
    EventHotKeyID hotKeyID{};
    const OSStatus status =
        m_events.getEventParameter(event, kEventParamDirectObject, typeEventHotKeyID, nullptr,
                                   sizeof(hotKeyID), nullptr, &hotKeyID);
    if (status != noErr || hotKeyID.signature != kHotKeySignature || hotKeyID.id != kHotKeyID)
        return eventNotHandledErr;

    // The trigger as it is now: changing onTrigger later does not change this press.
    if (QCoreApplication* app = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(
            app,
            [trigger = m_onTrigger] {
                if (trigger)
                    trigger();
            },
            Qt::QueuedConnection);
    }
    return noErr;
}

std::optional<QString> HotKeyService::character(std::uint16_t keyCode) const
{
    return character(keyCode, m_layout);
}

QString HotKeyService::displayName(const HotKey& hotKey) const
{
    return displayName(hotKey, m_layout);
}

} // namespace tavelor
