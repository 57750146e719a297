#include "Platform/X11/X11WindowAccess.hpp"

#include "Platform/X11/X11Connection.hpp"
#include "Platform/X11/XcbPointers.hpp"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>

namespace tavelor::x11 {

namespace {

// _NET_SUPPORTED of a full EWMH window manager holds about a hundred atoms.
constexpr std::uint32_t kMaxSupportedAtoms = 4096;

XcbPtr<xcb_get_property_reply_t> takeReply(xcb_connection_t* c, xcb_get_property_cookie_t cookie)
{
    return XcbPtr<xcb_get_property_reply_t>(xcb_get_property_reply(c, cookie, nullptr));
}

std::span<const std::uint32_t> values32(const xcb_get_property_reply_t* reply, xcb_atom_t type)
{
    if (!reply || reply->type != type || reply->format != 32)
        return {};
    const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
    const auto count = static_cast<std::size_t>(xcb_get_property_value_length(reply)) / 4;
    return {data, count};
}

} // namespace

bool X11WindowAccess::canWorkWithWindows(bool /*mayPrompt*/)
{
    if (!m_connection || m_connection->hasError())
        return false;
    constexpr std::array<std::string_view, 3> names = {"_NET_SUPPORTING_WM_CHECK", "_NET_SUPPORTED",
                                                       "_NET_CLIENT_LIST"};
    m_connection->internAtoms(names);
    const xcb_atom_t check = m_connection->atom(names[0]);
    const xcb_atom_t supportedAtom = m_connection->atom(names[1]);
    const xcb_atom_t clientList = m_connection->atom(names[2]);
    if (check == XCB_ATOM_NONE || supportedAtom == XCB_ATOM_NONE || clientList == XCB_ATOM_NONE)
        return false;

    xcb_connection_t* c = m_connection->get();
    const xcb_window_t root = m_connection->root();
    auto checkCookie = xcb_get_property(c, 0, root, check, XCB_ATOM_WINDOW, 0, 1);
    auto supportedCookie =
        xcb_get_property(c, 0, root, supportedAtom, XCB_ATOM_ATOM, 0, kMaxSupportedAtoms);
    auto checkReply = takeReply(c, checkCookie);
    auto supportedReply = takeReply(c, supportedCookie);

    bool usable = false;
    const auto checkValues = values32(checkReply.get(), XCB_ATOM_WINDOW);
    if (!checkValues.empty() && checkValues[0] != XCB_WINDOW_NONE) {
        const xcb_window_t wmWindow = checkValues[0];
        auto selfReply =
            takeReply(c, xcb_get_property(c, 0, wmWindow, check, XCB_ATOM_WINDOW, 0, 1));
        const auto self = values32(selfReply.get(), XCB_ATOM_WINDOW);
        const auto supported = values32(supportedReply.get(), XCB_ATOM_ATOM);
        usable = !self.empty() && self[0] == wmWindow &&
                 std::find(supported.begin(), supported.end(), clientList) != supported.end();
    }
    // Replies may have queued events behind them that the socket notifier
    // will not announce again.
    m_connection->dispatchPendingEvents();
    return usable;
}

} // namespace tavelor::x11
