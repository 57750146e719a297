#include "Platform/X11/WindowStateRequests.hpp"

#include "Platform/X11/ScanPass.hpp"
#include "Platform/X11/X11Connection.hpp"

#include <algorithm>

namespace tavelor::x11 {

namespace {

constexpr std::uint32_t kAllDesktops = 0xFFFFFFFF;
constexpr std::uint32_t kSourcePager = 2;
constexpr std::uint32_t kStateRemove = 0;
constexpr std::uint32_t kStateAdd = 1;
constexpr std::uint32_t kIconicState = 3; // ICCCM WM_STATE
constexpr xcb_atom_t kNoAtom = XCB_ATOM_NONE;

bool has(const std::vector<xcb_atom_t>& atoms, xcb_atom_t atom)
{
    return atom != XCB_ATOM_NONE && std::find(atoms.begin(), atoms.end(), atom) != atoms.end();
}

} // namespace

WindowState stateOf(const WindowReadings& readings, const EwmhAtoms& atoms)
{
    WindowState state;
    if (readings.desktop == kAllDesktops)
        state.onAllDesktops = true;
    else if (readings.desktop)
        state.desktop = *readings.desktop;
    const bool vertical = has(readings.states, atoms.netWmStateMaximizedVert);
    const bool horizontal = has(readings.states, atoms.netWmStateMaximizedHorz);
    state.maximized = vertical && horizontal ? Maximization::Both
                      : vertical             ? Maximization::Vertical
                      : horizontal           ? Maximization::Horizontal
                                             : Maximization::None;
    state.minimized = has(readings.states, atoms.netWmStateHidden);
    state.fullscreen = has(readings.states, atoms.netWmStateFullscreen);
    state.keepAbove = has(readings.states, atoms.netWmStateAbove);
    state.stackPosition = readings.stackPosition;
    return state;
}

void sendToRoot(X11Connection& connection, xcb_window_t window, xcb_atom_t type,
                const std::array<std::uint32_t, 5>& data)
{
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    std::copy(data.begin(), data.end(), event.data.data32);
    auto cookie = xcb_send_event_checked(connection.get(), 0, connection.root(),
                                         XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT |
                                             XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                                         reinterpret_cast<const char*>(&event));
    xcb_discard_reply(connection.get(), cookie.sequence);
}

WindowStateRequests::WindowStateRequests(X11Connection& connection, const EwmhAtoms& atoms)
    : m_connection(connection), m_atoms(atoms)
{}

void WindowStateRequests::moveToDesktop(const WindowReadings& window, const WindowState& state)
{
    const std::uint32_t desktop =
        state.onAllDesktops ? kAllDesktops : static_cast<std::uint32_t>(state.desktop.value_or(0));
    if (!state.onAllDesktops && !state.desktop)
        return;
    sendToRoot(m_connection, window.window, m_atoms.netWmDesktop, {desktop, kSourcePager, 0, 0, 0});
}

void WindowStateRequests::changeState(xcb_window_t window, bool add, xcb_atom_t first,
                                      xcb_atom_t second)
{
    sendToRoot(m_connection, window, m_atoms.netWmState,
               {add ? kStateAdd : kStateRemove, first, second, kSourcePager, 0});
}

void WindowStateRequests::setState(const WindowReadings& window, const WindowState& state)
{
    const xcb_window_t id = window.window;
    if (!state.minimized && has(window.states, m_atoms.netWmStateHidden))
        changeState(id, false, m_atoms.netWmStateHidden, XCB_ATOM_NONE);
    const bool vertical =
        state.maximized == Maximization::Both || state.maximized == Maximization::Vertical;
    const bool horizontal =
        state.maximized == Maximization::Both || state.maximized == Maximization::Horizontal;
    if (vertical || horizontal)
        changeState(id, true, vertical ? m_atoms.netWmStateMaximizedVert : kNoAtom,
                    horizontal ? m_atoms.netWmStateMaximizedHorz : kNoAtom);
    if (state.fullscreen)
        changeState(id, true, m_atoms.netWmStateFullscreen, XCB_ATOM_NONE);
    if (state.keepAbove != has(window.states, m_atoms.netWmStateAbove))
        changeState(id, state.keepAbove, m_atoms.netWmStateAbove, XCB_ATOM_NONE);
    if (state.minimized && !has(window.states, m_atoms.netWmStateHidden))
        sendToRoot(m_connection, id, m_atoms.wmChangeState, {kIconicState, 0, 0, 0, 0});
}

void WindowStateRequests::activate(const WindowReadings& window)
{
    sendToRoot(m_connection, window.window, m_atoms.netActiveWindow,
               {kSourcePager, XCB_CURRENT_TIME, XCB_WINDOW_NONE, 0, 0});
}

void WindowStateRequests::raise(const WindowReadings& window)
{
    sendToRoot(m_connection, window.window, m_atoms.netRestackWindow,
               {kSourcePager, XCB_WINDOW_NONE, XCB_STACK_MODE_ABOVE, 0, 0});
}

} // namespace tavelor::x11
