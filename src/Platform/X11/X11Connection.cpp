#include "Platform/X11/X11Connection.hpp"

#include <vector>

namespace tavelor::x11 {

std::unique_ptr<X11Connection> X11Connection::open(const char* display)
{
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(display, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    return std::unique_ptr<X11Connection>(new X11Connection(connection, screenNumber));
}

X11Connection::X11Connection(xcb_connection_t* connection, int screenNumber)
    : m_connection(connection)
{
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; it.rem > 0 && i < screenNumber; ++i)
        xcb_screen_next(&it);
    m_screen = it.data;
    m_root = m_screen ? m_screen->root : xcb_window_t{XCB_WINDOW_NONE};

    m_notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection),
                                                   QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &X11Connection::readEvents);
}

X11Connection::~X11Connection()
{
    m_notifier.reset();
    xcb_disconnect(m_connection);
}

bool X11Connection::hasError() const
{
    return xcb_connection_has_error(m_connection) != 0;
}

xcb_atom_t X11Connection::atom(std::string_view name)
{
    if (auto it = m_atoms.find(std::string(name)); it != m_atoms.end())
        return it->second;
    internAtoms(std::span(&name, 1));
    return m_atoms[std::string(name)];
}

void X11Connection::internAtoms(std::span<const std::string_view> names)
{
    std::vector<std::pair<std::string_view, xcb_intern_atom_cookie_t>> pending;
    pending.reserve(names.size());
    for (std::string_view name : names) {
        if (m_atoms.contains(std::string(name)))
            continue;
        pending.emplace_back(
            name,
            xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(name.size()), name.data()));
    }
    for (auto& [name, cookie] : pending) {
        XcbPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(m_connection, cookie, nullptr));
        m_atoms[std::string(name)] = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }
    dispatchPendingEvents();
}

int X11Connection::addEventListener(EventListener listener)
{
    const int id = m_nextListenerId++;
    m_listeners.emplace(id, std::move(listener));
    return id;
}

void X11Connection::removeEventListener(int id)
{
    m_listeners.erase(id);
}

void X11Connection::readEvents()
{
    while (XcbPtr<xcb_generic_event_t> event{xcb_poll_for_event(m_connection)})
        deliver(*event);
    checkConnection();
}

void X11Connection::dispatchPendingEvents()
{
    while (XcbPtr<xcb_generic_event_t> event{xcb_poll_for_queued_event(m_connection)})
        deliver(*event);
    checkConnection();
}

void X11Connection::deliver(const xcb_generic_event_t& event)
{
    // Copy the ids first: a listener may remove itself (or others) while it runs.
    std::vector<int> ids;
    ids.reserve(m_listeners.size());
    for (const auto& [id, listener] : m_listeners)
        ids.push_back(id);
    for (int id : ids) {
        auto it = m_listeners.find(id);
        if (it != m_listeners.end() && it->second(event))
            return;
    }
}

void X11Connection::checkConnection()
{
    if (m_lostReported || !hasError())
        return;
    m_lostReported = true;
    m_notifier->setEnabled(false);
    QMetaObject::invokeMethod(this, &X11Connection::connectionLost, Qt::QueuedConnection);
}

} // namespace tavelor::x11
