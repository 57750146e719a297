#include "Platform/X11/ScanPass.hpp"

#include "Platform/X11/X11Connection.hpp"
#include "Platform/X11/XcbPointers.hpp"

#include <xcb/res.h>

#include <algorithm>
#include <span>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace tavelor::x11 {

namespace {

// Caps of the root's lists, in 32-bit units: far beyond any real desktop.
constexpr std::uint32_t kMaxClientListLength = 65536;
constexpr std::uint32_t kMaxSupportedLength = 4096;
constexpr std::uint32_t kTextLength = kMaxTextPropertyBytes / 4;

using PropertyReply = XcbPtr<xcb_get_property_reply_t>;

PropertyReply takeProperty(xcb_connection_t* c, xcb_get_property_cookie_t cookie)
{
    xcb_generic_error_t* error = nullptr;
    PropertyReply reply(xcb_get_property_reply(c, cookie, &error));
    XcbPtr<xcb_generic_error_t> discard(error);
    return reply;
}

std::span<const std::byte> bytesOf(const xcb_get_property_reply_t* reply)
{
    if (!reply)
        return {};
    const auto length = static_cast<std::size_t>(xcb_get_property_value_length(reply));
    return {static_cast<const std::byte*>(xcb_get_property_value(reply)), length};
}

std::string_view textOf(const xcb_get_property_reply_t* reply)
{
    const std::span<const std::byte> bytes = bytesOf(reply);
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::vector<xcb_atom_t> atomsOf(const xcb_get_property_reply_t* reply)
{
    if (!reply || reply->type != XCB_ATOM_ATOM)
        return {};
    std::vector<std::uint32_t> values = decodeCardinals(bytesOf(reply), reply->format);
    return {values.begin(), values.end()};
}

std::vector<xcb_window_t> windowsOf(const xcb_get_property_reply_t* reply)
{
    if (!reply || reply->type != XCB_ATOM_WINDOW)
        return {};
    std::vector<std::uint32_t> values = decodeCardinals(bytesOf(reply), reply->format);
    return {values.begin(), values.end()};
}

std::optional<QString> textProperty(const xcb_get_property_reply_t* reply, const EwmhAtoms& atoms)
{
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 8)
        return std::nullopt;
    TextEncoding encoding;
    if (reply->type == atoms.utf8String)
        encoding = TextEncoding::Utf8;
    else if (reply->type == XCB_ATOM_STRING)
        encoding = TextEncoding::Latin1;
    else if (reply->type == atoms.compoundText)
        encoding = TextEncoding::CompoundText;
    else
        return std::nullopt; // a number, an atom, ...: not text at all
    return decodeText(textOf(reply), encoding, reply->bytes_after > 0);
}

struct WindowCookies {
    xcb_get_property_cookie_t windowType;
    xcb_get_property_cookie_t state;
    xcb_get_property_cookie_t netWmName;
    xcb_get_property_cookie_t wmName;
    xcb_get_property_cookie_t wmClass;
    xcb_get_property_cookie_t pid;
    xcb_get_property_cookie_t gtkApplicationId;
    xcb_get_property_cookie_t frameExtents;
    xcb_get_property_cookie_t gtkFrameExtents;
    xcb_get_property_cookie_t desktop;
    xcb_get_geometry_cookie_t geometry;
    xcb_translate_coordinates_cookie_t origin;
    std::optional<xcb_res_query_client_ids_cookie_t> clientIds;
};

WindowCookies sendWindowRequests(xcb_connection_t* c, xcb_window_t root, xcb_window_t window,
                                 const EwmhAtoms& atoms, bool useClientIds)
{
    auto get = [&](xcb_atom_t property, xcb_atom_t type, std::uint32_t length) {
        return xcb_get_property(c, 0, window, property, type, 0, length);
    };
    constexpr auto kAny = XCB_GET_PROPERTY_TYPE_ANY;
    constexpr auto kAtomList = static_cast<std::uint32_t>(kMaxAtomListLength);
    WindowCookies cookies{
        get(atoms.netWmWindowType, XCB_ATOM_ATOM, kAtomList),
        get(atoms.netWmState, XCB_ATOM_ATOM, kAtomList),
        get(atoms.netWmName, kAny, kTextLength),
        get(XCB_ATOM_WM_NAME, kAny, kTextLength),
        get(XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, kTextLength),
        get(atoms.netWmPid, XCB_ATOM_CARDINAL, 1),
        get(atoms.gtkApplicationId, kAny, kTextLength),
        get(atoms.netFrameExtents, XCB_ATOM_CARDINAL, 4),
        get(atoms.gtkFrameExtents, XCB_ATOM_CARDINAL, 4),
        get(atoms.netWmDesktop, XCB_ATOM_CARDINAL, 1),
        xcb_get_geometry(c, window),
        xcb_translate_coordinates(c, window, root, 0, 0),
        std::nullopt,
    };
    if (useClientIds) {
        const xcb_res_client_id_spec_t wanted{window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
        cookies.clientIds = xcb_res_query_client_ids(c, 1, &wanted);
    }
    return cookies;
}

std::optional<std::int32_t> clientPidOf(xcb_connection_t* c,
                                        xcb_res_query_client_ids_cookie_t cookie)
{
    xcb_generic_error_t* error = nullptr;
    XcbPtr<xcb_res_query_client_ids_reply_t> reply(
        xcb_res_query_client_ids_reply(c, cookie, &error));
    XcbPtr<xcb_generic_error_t> discard(error);
    if (!reply)
        return std::nullopt;
    for (auto it = xcb_res_query_client_ids_ids_iterator(reply.get()); it.rem > 0;
         xcb_res_client_id_value_next(&it)) {
        // Each value starts with the request it answers (client and mask).
        const auto& answered = *reinterpret_cast<const xcb_res_client_id_spec_t*>(it.data);
        if (!(answered.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) ||
            xcb_res_client_id_value_value_length(it.data) < 1)
            continue;
        const std::uint32_t pid = *xcb_res_client_id_value_value(it.data);
        if (pid > 0 && pid <= static_cast<std::uint32_t>(INT32_MAX))
            return static_cast<std::int32_t>(pid);
    }
    return std::nullopt;
}

WindowReadings readWindowReplies(xcb_connection_t* c, xcb_window_t window,
                                 const WindowCookies& cookies, const EwmhAtoms& atoms)
{
    // Every reply is taken, even once the window is known to be gone, so that
    // none is left behind in xcb's queue.
    WindowReadings readings;
    readings.window = window;

    PropertyReply windowType = takeProperty(c, cookies.windowType);
    readings.windowTypes = atomsOf(windowType.get());
    readings.hasWindowType = !readings.windowTypes.empty();
    readings.states = atomsOf(takeProperty(c, cookies.state).get());

    PropertyReply netWmName = takeProperty(c, cookies.netWmName);
    PropertyReply wmName = takeProperty(c, cookies.wmName);
    readings.title = textProperty(netWmName.get(), atoms);
    if (!readings.title)
        readings.title = textProperty(wmName.get(), atoms);

    PropertyReply wmClass = takeProperty(c, cookies.wmClass);
    if (wmClass && wmClass->type == XCB_ATOM_STRING)
        readings.wmClass = decodeWmClass(textOf(wmClass.get()), wmClass->format);

    PropertyReply pid = takeProperty(c, cookies.pid);
    if (pid)
        readings.netWmPid = decodePid(bytesOf(pid.get()), pid->format);

    PropertyReply gtkApplicationId = takeProperty(c, cookies.gtkApplicationId);
    readings.gtkApplicationId = textProperty(gtkApplicationId.get(), atoms);
    if (readings.gtkApplicationId && readings.gtkApplicationId->isEmpty())
        readings.gtkApplicationId.reset();

    PropertyReply frameExtents = takeProperty(c, cookies.frameExtents);
    if (frameExtents)
        readings.frameExtents =
            decodeFrameExtents(bytesOf(frameExtents.get()), frameExtents->format);
    PropertyReply gtkFrameExtents = takeProperty(c, cookies.gtkFrameExtents);
    if (gtkFrameExtents) {
        // Shadows are bounded by the window itself (checked once the size is
        // known), not by kMaxFrameExtent.
        readings.gtkFrameExtents =
            decodeFrameExtents(bytesOf(gtkFrameExtents.get()), gtkFrameExtents->format, UINT16_MAX);
    }

    PropertyReply desktop = takeProperty(c, cookies.desktop);
    if (const std::vector<std::uint32_t> values =
            desktop ? decodeCardinals(bytesOf(desktop.get()), desktop->format)
                    : std::vector<std::uint32_t>{};
        values.size() == 1)
        readings.desktop = values.front();

    xcb_generic_error_t* error = nullptr;
    XcbPtr<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, cookies.geometry, &error));
    XcbPtr<xcb_generic_error_t> geometryError(error);
    error = nullptr;
    XcbPtr<xcb_translate_coordinates_reply_t> origin(
        xcb_translate_coordinates_reply(c, cookies.origin, &error));
    XcbPtr<xcb_generic_error_t> originError(error);
    if (cookies.clientIds)
        readings.clientPid = clientPidOf(c, *cookies.clientIds);

    if (geometry && origin) {
        readings.alive = true;
        readings.placement = {origin->dst_x, origin->dst_y, geometry->width, geometry->height,
                              geometry->border_width};
        readings.gtkFrameExtents =
            usableClientExtents(readings.placement, readings.gtkFrameExtents);
    }
    return readings;
}

} // namespace

bool ScanPass::supportsClientIds(X11Connection& connection)
{
    xcb_connection_t* c = connection.get();
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_res_id);
    if (!extension || !extension->present)
        return false;
    xcb_generic_error_t* error = nullptr;
    XcbPtr<xcb_res_query_version_reply_t> version(
        xcb_res_query_version_reply(c, xcb_res_query_version(c, 1, 2), &error));
    XcbPtr<xcb_generic_error_t> discard(error);
    return version && (version->server_major > 1 ||
                       (version->server_major == 1 && version->server_minor >= 2));
}

ScanPassResult ScanPass::run(X11Connection& connection, const EwmhAtoms& atoms, bool useClientIds)
{
    xcb_connection_t* c = connection.get();
    const xcb_window_t root = connection.root();
    ScanPassResult result;
    if (connection.hasError())
        return result;

    auto clientListCookie =
        xcb_get_property(c, 0, root, atoms.netClientList, XCB_ATOM_WINDOW, 0, kMaxClientListLength);
    auto supportedCookie =
        xcb_get_property(c, 0, root, atoms.netSupported, XCB_ATOM_ATOM, 0, kMaxSupportedLength);
    auto stackingCookie = xcb_get_property(c, 0, root, atoms.netClientListStacking, XCB_ATOM_WINDOW,
                                           0, kMaxClientListLength);
    auto activeCookie = xcb_get_property(c, 0, root, atoms.netActiveWindow, XCB_ATOM_WINDOW, 0, 1);
    auto currentCookie =
        xcb_get_property(c, 0, root, atoms.netCurrentDesktop, XCB_ATOM_CARDINAL, 0, 1);
    std::vector<xcb_window_t> clientList = windowsOf(takeProperty(c, clientListCookie).get());
    const std::vector<xcb_atom_t> supported = atomsOf(takeProperty(c, supportedCookie).get());
    const std::vector<xcb_window_t> stacking = windowsOf(takeProperty(c, stackingCookie).get());
    auto supports = [&](xcb_atom_t atom) {
        return std::find(supported.begin(), supported.end(), atom) != supported.end();
    };
    result.root.supportsMoveResize = supports(atoms.netMoveResizeWindow);
    result.root.supportsRestack = supports(atoms.netRestackWindow);
    if (const std::vector<xcb_window_t> active = windowsOf(takeProperty(c, activeCookie).get());
        !active.empty())
        result.root.activeWindow = active.front();
    if (PropertyReply current = takeProperty(c, currentCookie)) {
        if (const auto values = decodeCardinals(bytesOf(current.get()), current->format);
            values.size() == 1)
            result.root.currentDesktop = values.front();
    }

    // A window manager might list a window twice; ask about it once.
    std::unordered_set<xcb_window_t> seen;
    std::erase_if(clientList,
                  [&](xcb_window_t w) { return w == XCB_WINDOW_NONE || !seen.insert(w).second; });

    std::vector<WindowCookies> cookies;
    cookies.reserve(clientList.size());
    for (xcb_window_t window : clientList)
        cookies.push_back(sendWindowRequests(c, root, window, atoms, useClientIds));
    result.windows.reserve(clientList.size());
    for (std::size_t i = 0; i < clientList.size(); ++i)
        result.windows.push_back(readWindowReplies(c, clientList[i], cookies[i], atoms));
    std::unordered_map<xcb_window_t, std::int64_t> stackPositions;
    for (std::size_t i = 0; i < stacking.size(); ++i)
        stackPositions.emplace(stacking[i], static_cast<std::int64_t>(i));
    for (WindowReadings& readings : result.windows) {
        if (const auto it = stackPositions.find(readings.window); it != stackPositions.end())
            readings.stackPosition = it->second;
    }

    connection.dispatchPendingEvents();
    return result;
}

} // namespace tavelor::x11
