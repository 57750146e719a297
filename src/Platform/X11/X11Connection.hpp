#pragma once

#include "Platform/X11/XcbPointers.hpp"

#include <QObject>
#include <QSocketNotifier>

#include <xcb/xcb.h>

#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tavelor::x11 {

/// Tavelor's own connection to the X server, separate from the toolkit's so that
/// the backend works whatever Qt platform plugin runs. Events are read on the
/// main thread through a socket notifier and handed to the listeners.
///
/// xcb moves events that arrive while a reply is awaited into its queue without
/// the socket becoming readable again, so code that waits for replies calls
/// dispatchPendingEvents() afterwards (the notifier alone would miss them).
class X11Connection final : public QObject {
    Q_OBJECT

public:
    /// Connects to `display` (the DISPLAY variable when null). Null when no X
    /// server can be reached.
    static std::unique_ptr<X11Connection> open(const char* display = nullptr);

    ~X11Connection() override;
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    xcb_connection_t* get() const { return m_connection; }
    xcb_window_t root() const { return m_root; }
    const xcb_screen_t* screen() const { return m_screen; }

    /// True once the server has gone away or the connection broke.
    bool hasError() const;

    /// The atom for `name`, asked of the server once and cached. Use
    /// internAtoms() first to fetch many in one round trip.
    xcb_atom_t atom(std::string_view name);
    void internAtoms(std::span<const std::string_view> names);

    /// Listeners see every event; answering true stops the event from reaching
    /// later listeners. The returned id removes the listener.
    using EventListener = std::function<bool(const xcb_generic_event_t& event)>;
    int addEventListener(EventListener listener);
    void removeEventListener(int id);

    /// Hands every event xcb has already queued to the listeners.
    void dispatchPendingEvents();

signals:
    /// Emitted once, from the event loop, when the connection breaks.
    void connectionLost();

private:
    X11Connection(xcb_connection_t* connection, int screenNumber);
    void readEvents();
    void deliver(const xcb_generic_event_t& event);
    void checkConnection();

    xcb_connection_t* m_connection = nullptr;
    const xcb_screen_t* m_screen = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::unordered_map<std::string, xcb_atom_t> m_atoms;
    std::map<int, EventListener> m_listeners;
    int m_nextListenerId = 1;
    bool m_lostReported = false;
};

} // namespace tavelor::x11
