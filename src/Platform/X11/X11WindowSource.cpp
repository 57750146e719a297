#include "Platform/X11/X11WindowSource.hpp"

#include "Platform/X11/DesktopScan.hpp"
#include "Platform/X11/WindowGeometry.hpp"
#include "Platform/X11/WindowMover.hpp"
#include "Platform/X11/WindowStateRequests.hpp"
#include "Platform/X11/X11Connection.hpp"

#include <unistd.h>

namespace tavelor::x11 {

using namespace platform;

X11WindowSource::X11WindowSource(X11Connection* connection) : m_connection(connection) {}

X11WindowSource::~X11WindowSource() = default;

const EwmhAtoms* X11WindowSource::atoms()
{
    if (!m_connection)
        return nullptr;
    if (!m_atoms)
        m_atoms = EwmhAtoms::intern(*m_connection);
    return &*m_atoms;
}

std::vector<LiveApplication> X11WindowSource::listApplications()
{
    m_listed.clear();
    m_root = {};
    const EwmhAtoms* ewmh = atoms();
    if (!ewmh || m_connection->hasError())
        return {};
    if (!m_clientIds)
        m_clientIds = ScanPass::supportsClientIds(*m_connection);
    m_desktopEntries.reloadIfChanged();
    ProcessContext context;
    context.ownProcessIdentifier = static_cast<std::int32_t>(::getpid());
    context.resourceIdMask = xcb_get_setup(m_connection->get())->resource_id_mask;
    DesktopScan scan = groupIntoApplications(ScanPass::run(*m_connection, *ewmh, *m_clientIds),
                                             m_desktopEntries, *ewmh, context);
    m_root = scan.root;

    std::vector<LiveApplication> applications;
    applications.reserve(scan.applications.size());
    for (ScannedApplication& scanned : scan.applications) {
        LiveApplication application = std::move(scanned.application);
        std::vector<LiveWindow> windows;
        windows.reserve(scanned.windows.size());
        for (WindowReadings& readings : scanned.windows) {
            LiveWindow window;
            window.id = QString::number(readings.window);
            if (readings.alive) {
                window.role = roleOf(readings, *ewmh);
                window.title = readings.title;
                const WindowFrame frame = visibleFrame(readings.placement, readings.frameExtents,
                                                       readings.gtkFrameExtents);
                window.position = {frame.x, frame.y};
                window.size = {frame.width, frame.height};
                window.state = stateOf(readings, *ewmh);
            }
            windows.push_back(std::move(window));
            m_listed.insert_or_assign(readings.window, std::move(readings));
        }
        application.windows = std::move(windows);
        applications.push_back(std::move(application));
    }
    return applications;
}

void X11WindowSource::refocusActive(WindowStateRequests& requests)
{
    const auto active = m_listed.find(m_root.activeWindow);
    if (active != m_listed.end() && active->second.alive)
        requests.activate(active->second);
}

void X11WindowSource::apply(std::span<const FrameWrite> writes)
{
    if (writes.empty() || !m_connection || m_connection->hasError())
        return;
    const EwmhAtoms* ewmh = atoms();
    if (!m_mover)
        m_mover = std::make_unique<WindowMover>(*m_connection, *ewmh);
    WindowStateRequests requests(*m_connection, *ewmh);
    bool refocus = false; // a request may have taken the focus from the user's window

    // The writes to one window that follow each other are taken together: its
    // desktop, then its frame, then its state, then a raise.
    for (std::size_t first = 0; first < writes.size();) {
        const WindowId& id = writes[first].window;
        std::optional<WindowMover::Pair> position;
        std::optional<WindowMover::Pair> size;
        const WindowState* desktop = nullptr;
        const WindowState* state = nullptr;
        bool raise = false;
        std::size_t next = first;
        for (; next < writes.size() && writes[next].window == id; ++next) {
            const FrameWrite& write = writes[next];
            switch (write.part) {
            case FrameWrite::Part::Position:
                position = WindowMover::Pair{write.first, write.second};
                break;
            case FrameWrite::Part::Size:
                size = WindowMover::Pair{write.first, write.second};
                break;
            case FrameWrite::Part::Desktop:
                desktop = &write.state;
                break;
            case FrameWrite::Part::State:
                state = &write.state;
                break;
            case FrameWrite::Part::Raise:
                raise = true;
                break;
            }
        }
        first = next;

        bool ok = false;
        const xcb_window_t window = id.toUInt(&ok);
        const auto listed = ok ? m_listed.find(window) : m_listed.end();
        if (listed == m_listed.end() || !listed->second.alive)
            continue;
        const WindowReadings& readings = listed->second;
        if (desktop)
            requests.moveToDesktop(readings, *desktop);
        if (position || size)
            m_mover->moveResize(readings, m_root.supportsMoveResize, position, size);
        if (state) {
            if (state->maximized != Maximization::None || state->fullscreen)
                m_mover->forget(window);
            requests.setState(readings, *state);
            // openbox focuses a window it makes fullscreen.
            refocus = refocus || state->fullscreen;
        }
        // Without _NET_RESTACK_WINDOW the windows stay as they are stacked:
        // the other way, a ConfigureWindow, is an activation to xfwm4, which
        // focuses the window, shows it again or brings it to the current
        // desktop.
        if (raise && m_root.supportsRestack) {
            if (refocus)
                refocusActive(requests);
            refocus = false;
            requests.raise(readings);
        }
    }
    if (refocus)
        refocusActive(requests);
    xcb_flush(m_connection->get());
}

} // namespace tavelor::x11
