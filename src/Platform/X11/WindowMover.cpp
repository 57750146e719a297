#include "Platform/X11/WindowMover.hpp"

#include "Platform/X11/ScanPass.hpp"
#include "Platform/X11/WindowGeometry.hpp"
#include "Platform/X11/WindowStateRequests.hpp"
#include "Platform/X11/X11Connection.hpp"
#include "Platform/X11/XcbPointers.hpp"

#include <algorithm>
#include <array>

namespace tavelor::x11 {

namespace {

// _NET_MOVERESIZE_WINDOW data.l[0]: gravity in bits 0-7, which of x, y,
// width, height are given in bits 8-11, the source in bits 12-13.
constexpr std::uint32_t kGravityNorthWest = 1;
constexpr std::uint32_t kHasX = 1u << 8;
constexpr std::uint32_t kHasY = 1u << 9;
constexpr std::uint32_t kHasWidth = 1u << 10;
constexpr std::uint32_t kHasHeight = 1u << 11;
constexpr std::uint32_t kSourcePager = 2u << 12;
constexpr std::uint32_t kStateRemove = 0;

// Long enough for any window manager to redecorate an unmaximised window, short
// enough not to undo the user's own changes later.
constexpr auto kCorrectionWindow = std::chrono::seconds(1);

bool has(const std::vector<xcb_atom_t>& atoms, xcb_atom_t atom)
{
    return atom != XCB_ATOM_NONE && std::find(atoms.begin(), atoms.end(), atom) != atoms.end();
}

} // namespace

WindowMover::WindowMover(X11Connection& connection, const EwmhAtoms& atoms)
    : m_connection(connection), m_atoms(atoms)
{
    m_listener = m_connection.addEventListener(
        [this](const xcb_generic_event_t& event) { return onEvent(event); });
}

WindowMover::~WindowMover()
{
    m_connection.removeEventListener(m_listener);
}

void WindowMover::clearStates(const WindowReadings& window)
{
    const std::vector<xcb_atom_t>& states = window.states;
    const bool maximised = has(states, m_atoms.netWmStateMaximizedVert) ||
                           has(states, m_atoms.netWmStateMaximizedHorz);
    const bool fullscreen = has(states, m_atoms.netWmStateFullscreen);
    if (!maximised && !fullscreen)
        return;
    const auto now = std::chrono::steady_clock::now();
    std::erase_if(m_corrections, [now](const auto& entry) { return entry.second.until < now; });
    // Watch the extents the window manager is about to change.
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    auto cookie = xcb_change_window_attributes_checked(m_connection.get(), window.window,
                                                       XCB_CW_EVENT_MASK, &mask);
    xcb_discard_reply(m_connection.get(), cookie.sequence);
    Target& target = m_corrections[window.window];
    target = Target{};
    target.gtkExtents = window.gtkFrameExtents;
    target.borderWidth = window.placement.borderWidth;
    target.until = now + kCorrectionWindow;
    if (fullscreen)
        sendToRoot(m_connection, window.window, m_atoms.netWmState,
                   {kStateRemove, m_atoms.netWmStateFullscreen, XCB_ATOM_NONE, 2, 0});
    if (maximised)
        sendToRoot(
            m_connection, window.window, m_atoms.netWmState,
            {kStateRemove, m_atoms.netWmStateMaximizedVert, m_atoms.netWmStateMaximizedHorz, 2, 0});
}

void WindowMover::send(xcb_window_t window, bool useMoveResize,
                       const std::optional<MoveResizeRequest>& at,
                       const std::optional<MoveResizeRequest>& to)
{
    std::uint32_t flags = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint32_t width = 1;
    std::uint32_t height = 1;
    if (at) {
        flags |= kHasX | kHasY;
        x = at->x;
        y = at->y;
    }
    if (to) {
        flags |= kHasWidth | kHasHeight;
        width = to->width;
        height = to->height;
    }
    if (useMoveResize) {
        sendToRoot(m_connection, window, m_atoms.netMoveResizeWindow,
                   {kGravityNorthWest | kSourcePager | flags, static_cast<std::uint32_t>(x),
                    static_cast<std::uint32_t>(y), width, height});
    } else {
        std::uint16_t mask = 0;
        std::array<std::uint32_t, 4> values{};
        std::size_t n = 0;
        if (flags & kHasX) {
            mask |= XCB_CONFIG_WINDOW_X;
            values[n++] = static_cast<std::uint32_t>(x);
        }
        if (flags & kHasY) {
            mask |= XCB_CONFIG_WINDOW_Y;
            values[n++] = static_cast<std::uint32_t>(y);
        }
        if (flags & kHasWidth) {
            mask |= XCB_CONFIG_WINDOW_WIDTH;
            values[n++] = width;
        }
        if (flags & kHasHeight) {
            mask |= XCB_CONFIG_WINDOW_HEIGHT;
            values[n++] = height;
        }
        auto cookie = xcb_configure_window_checked(m_connection.get(), window, mask, values.data());
        xcb_discard_reply(m_connection.get(), cookie.sequence);
    }
    xcb_flush(m_connection.get());
}

bool WindowMover::moveResize(const WindowReadings& window, bool useMoveResize,
                             const std::optional<Pair>& position, const std::optional<Pair>& size)
{
    const std::optional<MoveResizeRequest> at =
        position ? positionRequest(position->first, position->second, window.gtkFrameExtents)
                 : std::nullopt;
    const std::optional<MoveResizeRequest> to =
        size ? sizeRequest(size->first, size->second, window.frameExtents, window.gtkFrameExtents,
                           window.placement.borderWidth)
             : std::nullopt;
    if (!at && !to)
        return false;
    clearStates(window);
    if (auto it = m_corrections.find(window.window); it != m_corrections.end()) {
        if (at)
            it->second.position = position;
        if (to)
            it->second.size = size;
        it->second.useMoveResize = useMoveResize;
    }
    send(window.window, useMoveResize, at, to);
    return true;
}

void WindowMover::forget(xcb_window_t window)
{
    m_corrections.erase(window);
}

bool WindowMover::onEvent(const xcb_generic_event_t& event)
{
    if ((event.response_type & 0x7f) != XCB_PROPERTY_NOTIFY || m_corrections.empty())
        return false;
    const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
    if (notify.atom != m_atoms.netFrameExtents)
        return false;
    auto it = m_corrections.find(notify.window);
    if (it == m_corrections.end())
        return false;
    if (std::chrono::steady_clock::now() > it->second.until) {
        m_corrections.erase(it);
        return false;
    }
    resend(notify.window, it->second);
    return false;
}

void WindowMover::resend(xcb_window_t window, const Target& target)
{
    xcb_connection_t* c = m_connection.get();
    xcb_generic_error_t* error = nullptr;
    XcbPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, m_atoms.netFrameExtents, XCB_ATOM_CARDINAL, 0, 4),
        &error));
    XcbPtr<xcb_generic_error_t> discard(error);
    if (!reply)
        return;
    const auto length = static_cast<std::size_t>(xcb_get_property_value_length(reply.get()));
    const std::optional<FrameExtents> extents = decodeFrameExtents(
        {static_cast<const std::byte*>(xcb_get_property_value(reply.get())), length},
        reply->format);
    const std::optional<MoveResizeRequest> at =
        target.position
            ? positionRequest(target.position->first, target.position->second, target.gtkExtents)
            : std::nullopt;
    const std::optional<MoveResizeRequest> to =
        target.size ? sizeRequest(target.size->first, target.size->second, extents,
                                  target.gtkExtents, target.borderWidth)
                    : std::nullopt;
    if (at || to)
        send(window, target.useMoveResize, at, to);
}

} // namespace tavelor::x11
