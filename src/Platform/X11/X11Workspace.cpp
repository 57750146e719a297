#include "Platform/X11/X11Workspace.hpp"

#include "Platform/X11/ScanPass.hpp"
#include "Platform/X11/X11Connection.hpp"

#include <unistd.h>

namespace tavelor::x11 {

X11Workspace::X11Workspace(X11Connection* connection) : m_connection(connection) {}

X11Workspace::~X11Workspace() = default;

const EwmhAtoms* X11Workspace::atoms()
{
    if (!m_connection)
        return nullptr;
    if (!m_atoms)
        m_atoms = EwmhAtoms::intern(*m_connection);
    return &*m_atoms;
}

std::vector<platform::RunningApplication> X11Workspace::runningApplications()
{
    auto scan = std::make_shared<DesktopScan>();
    if (const EwmhAtoms* ewmh = atoms(); ewmh && !m_connection->hasError()) {
        if (!m_clientIds)
            m_clientIds = ScanPass::supportsClientIds(*m_connection);
        m_desktopEntries.reloadIfChanged();
        ProcessContext context;
        context.ownProcessIdentifier = static_cast<std::int32_t>(::getpid());
        context.resourceIdMask = xcb_get_setup(m_connection->get())->resource_id_mask;
        *scan = groupIntoApplications(ScanPass::run(*m_connection, *ewmh, *m_clientIds),
                                      m_desktopEntries, *ewmh, context);
    }
    m_latest = scan;

    std::vector<platform::RunningApplication> applications;
    applications.reserve(scan->applications.size());
    for (const ScannedApplication& app : scan->applications)
        applications.push_back(app.application);
    return applications;
}

std::shared_ptr<const DesktopScan> X11Workspace::latestScan()
{
    if (!m_latest)
        runningApplications();
    return m_latest;
}

} // namespace tavelor::x11
