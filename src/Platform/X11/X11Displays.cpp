#include "Platform/X11/X11Displays.hpp"

#include "Models/Edid.hpp"
#include "Platform/X11/X11Connection.hpp"

#include <xcb/randr.h>

#include <vector>

namespace tavelor::x11 {

namespace {

// An EDID with every extension block it may announce, in 32-bit units.
constexpr std::uint32_t kEdidMaxLength = 128 * 256 / 4;

} // namespace

X11Displays::X11Displays(X11Connection* connection) : m_connection(connection)
{
    if (!m_connection || m_connection->hasError())
        return;
    xcb_connection_t* c = m_connection->get();
    const xcb_query_extension_reply_t* randr = xcb_get_extension_data(c, &xcb_randr_id);
    if (!randr || !randr->present)
        return;
    m_firstEvent = randr->first_event;
    XcbPtr<xcb_randr_query_version_reply_t> version(
        xcb_randr_query_version_reply(c, xcb_randr_query_version(c, 1, 5), nullptr));
    m_hasMonitors = version && (version->major_version > 1 ||
                                (version->major_version == 1 && version->minor_version >= 5));
    xcb_randr_select_input(c, m_connection->root(),
                           XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE | XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE |
                               XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE);
    // The root's event mask is per client: add to what this connection has
    // asked for already rather than replace it.
    XcbPtr<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        c, xcb_get_window_attributes(c, m_connection->root()), nullptr));
    const std::uint32_t mask =
        (attributes ? attributes->your_event_mask : 0U) | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, m_connection->root(), XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    m_listener = m_connection->addEventListener([this](const xcb_generic_event_t& event) {
        const std::uint8_t type = event.response_type & 0x7f;
        const bool rootResized =
            type == XCB_CONFIGURE_NOTIFY &&
            reinterpret_cast<const xcb_configure_notify_event_t&>(event).window ==
                m_connection->root();
        const bool randrChange =
            m_firstEvent != 0 && (type == m_firstEvent + XCB_RANDR_SCREEN_CHANGE_NOTIFY ||
                                  type == m_firstEvent + XCB_RANDR_NOTIFY);
        if ((rootResized || randrChange) && m_changed)
            m_changed();
        // Others may want the same events.
        return false;
    });
}

X11Displays::~X11Displays()
{
    if (m_listener)
        m_connection->removeEventListener(m_listener);
}

void X11Displays::setChangedHandler(std::function<void()> handler)
{
    m_changed = std::move(handler);
}

DisplaySetup X11Displays::currentSetup()
{
    DisplaySetup setup;
    if (!m_connection || m_connection->hasError())
        return setup;
    xcb_connection_t* c = m_connection->get();
    if (!m_hasMonitors) {
        const xcb_screen_t* screen = m_connection->screen();
        Monitor whole;
        whole.width = screen->width_in_pixels;
        whole.height = screen->height_in_pixels;
        setup.monitors.append(whole);
        return setup;
    }
    XcbPtr<xcb_randr_get_monitors_reply_t> reply(xcb_randr_get_monitors_reply(
        c, xcb_randr_get_monitors(c, m_connection->root(), 1), nullptr));
    if (!reply)
        return setup;

    // Every name and EDID is asked for before the first answer is read.
    const xcb_atom_t edidAtom = m_connection->atom("EDID");
    std::vector<xcb_get_atom_name_cookie_t> names;
    std::vector<std::optional<xcb_randr_get_output_property_cookie_t>> edids;
    for (auto it = xcb_randr_get_monitors_monitors_iterator(reply.get()); it.rem;
         xcb_randr_monitor_info_next(&it)) {
        const xcb_randr_monitor_info_t* info = it.data;
        names.push_back(xcb_get_atom_name(c, info->name));
        // A monitor made of several outputs (a tiled display) is named by its
        // first; a --setmonitor monitor may have none.
        if (xcb_randr_monitor_info_outputs_length(info) > 0)
            edids.emplace_back(
                xcb_randr_get_output_property(c, xcb_randr_monitor_info_outputs(info)[0], edidAtom,
                                              XCB_ATOM_ANY, 0, kEdidMaxLength, 0, 0));
        else
            edids.emplace_back();
        Monitor monitor;
        monitor.x = info->x;
        monitor.y = info->y;
        monitor.width = info->width;
        monitor.height = info->height;
        setup.monitors.append(monitor);
    }
    for (qsizetype i = 0; i < setup.monitors.size(); ++i) {
        const auto n = static_cast<std::size_t>(i);
        Monitor& monitor = setup.monitors[i];
        XcbPtr<xcb_get_atom_name_reply_t> name(xcb_get_atom_name_reply(c, names[n], nullptr));
        if (name)
            monitor.connector = QString::fromUtf8(xcb_get_atom_name_name(name.get()),
                                                  xcb_get_atom_name_name_length(name.get()));
        if (!edids[n])
            continue;
        XcbPtr<xcb_randr_get_output_property_reply_t> edid(
            xcb_randr_get_output_property_reply(c, *edids[n], nullptr));
        if (!edid || edid->format != 8)
            continue;
        const std::optional<EdidIdentity> identity = parseEdid(QByteArrayView(
            reinterpret_cast<const char*>(xcb_randr_get_output_property_data(edid.get())),
            xcb_randr_get_output_property_data_length(edid.get())));
        if (identity) {
            monitor.maker = identity->maker;
            monitor.model = identity->model;
            monitor.serial = identity->serial;
        }
    }
    m_connection->dispatchPendingEvents();
    return setup;
}

} // namespace tavelor::x11
