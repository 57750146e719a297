#include "Platform/X11/X11KeyboardGrab.hpp"

#include "Platform/X11/X11Connection.hpp"
#include "Platform/X11/XcbPointers.hpp"

#include <QMetaObject>

namespace tavelor::x11 {

X11KeyboardGrab::X11KeyboardGrab(X11Connection* connection) : m_connection(connection)
{
    // One listener for the object's life: a handler that ends the grab runs
    // inside the connection's delivery, where removing a listener is unsafe.
    if (m_connection)
        m_listenerId = m_connection->addEventListener(
            [this](const xcb_generic_event_t& event) { return onEvent(event); });
}

X11KeyboardGrab::~X11KeyboardGrab()
{
    release();
    if (m_connection)
        m_connection->removeEventListener(m_listenerId);
}

bool X11KeyboardGrab::grab(std::uint64_t window, KeyHandler onKeyPress)
{
    if (!m_connection || m_connection->hasError() || window == XCB_WINDOW_NONE)
        return false;
    xcb_connection_t* c = m_connection->get();
    // Not owner_events: every key is reported against the grab window, so
    // none leaks to the toolkit's connection or to another client.
    const XcbPtr<xcb_grab_keyboard_reply_t> reply(xcb_grab_keyboard_reply(
        c,
        xcb_grab_keyboard(c, 0, static_cast<xcb_window_t>(window), XCB_CURRENT_TIME,
                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
        nullptr));
    // Events queued while the reply was awaited reach the listeners later.
    QMetaObject::invokeMethod(
        m_connection, [connection = m_connection] { connection->dispatchPendingEvents(); },
        Qt::QueuedConnection);
    if (!reply || reply->status != XCB_GRAB_STATUS_SUCCESS)
        return false;
    m_window = static_cast<xcb_window_t>(window);
    m_onKeyPress = std::move(onKeyPress);
    return true;
}

void X11KeyboardGrab::release()
{
    if (m_window == XCB_WINDOW_NONE)
        return;
    m_window = XCB_WINDOW_NONE;
    m_onKeyPress = nullptr;
    if (m_connection && !m_connection->hasError()) {
        xcb_ungrab_keyboard(m_connection->get(), XCB_CURRENT_TIME);
        xcb_flush(m_connection->get());
    }
}

bool X11KeyboardGrab::onEvent(const xcb_generic_event_t& event)
{
    const std::uint8_t type = event.response_type & 0x7f;
    if (m_window == XCB_WINDOW_NONE || (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE))
        return false;
    const auto& key = reinterpret_cast<const xcb_key_press_event_t&>(event);
    if (key.event != m_window)
        return false;
    if (type == XCB_KEY_PRESS) {
        // A copy: the handler may end the grab, which drops the stored one.
        const KeyHandler handler = m_onKeyPress;
        if (handler)
            handler(key.detail, key.state);
    }
    return true;
}

} // namespace tavelor::x11
