#include "Services/HotKeyService.hpp"

#include <QCoreApplication>
#include <QMetaObject>

namespace tavelor {

HotKeyService::HotKeyService(platform::GlobalShortcuts& shortcuts, platform::KeyboardLayout& layout)
    : m_shortcuts(shortcuts), m_layout(layout)
{
    m_shortcuts.setPressedHandler([this] { pressed(); });
}

HotKeyService::~HotKeyService()
{
    // The handler goes before the service, so it never reaches a dead one.
    m_shortcuts.setPressedHandler({});
    unregister();
}

void HotKeyService::unregister()
{
    m_shortcuts.release();
    m_currentHotKey.reset();
}

bool HotKeyService::registerHotKey(const HotKey& hotKey)
{
    unregister();
    m_lastGrabResult = m_shortcuts.grab(hotKey);
    if (m_lastGrabResult != GrabResult::Grabbed)
        return false;
    m_currentHotKey = hotKey;
    return true;
}

void HotKeyService::pressed()
{
    if (!m_currentHotKey)
        return;
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
