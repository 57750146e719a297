#include "Platform/X11/DesktopScan.hpp"

#include "Platform/Xdg/DesktopEntries.hpp"
#include "Platform/Xdg/ProcessName.hpp"

#include <algorithm>
#include <unordered_map>

namespace tavelor::x11 {

using xdg::DesktopEntries;
using xdg::DesktopEntry;
using xdg::processName;

namespace {

bool contains(const std::vector<xcb_atom_t>& atoms, xcb_atom_t atom)
{
    return atom != XCB_ATOM_NONE && std::find(atoms.begin(), atoms.end(), atom) != atoms.end();
}

bool isKeptType(const WindowReadings& readings, const EwmhAtoms& atoms)
{
    // The list is in order of preference: the first entry is the type.
    if (!readings.hasWindowType)
        return true;
    const xcb_atom_t type = readings.windowTypes.front();
    return type == atoms.netWmWindowTypeNormal || type == atoms.netWmWindowTypeDialog ||
           type == atoms.netWmWindowTypeUtility;
}

struct Identity {
    std::optional<QString> appId;
    std::optional<QString> name;
};

Identity identityOf(const std::vector<const WindowReadings*>& windows, std::int32_t pid,
                    DesktopEntries& desktopEntries)
{
    for (const WindowReadings* readings : windows) {
        const WmClass wmClass = readings->wmClass.value_or(WmClass{});
        const DesktopEntry* entry = desktopEntries.find(
            wmClass.instance, wmClass.className, readings->gtkApplicationId.value_or(QString{}));
        if (entry)
            return {entry->id, entry->name};
    }
    for (const WindowReadings* readings : windows) {
        if (readings->wmClass && !readings->wmClass->className.isEmpty())
            return {readings->wmClass->className, readings->wmClass->className};
    }
    return {std::nullopt, processName(pid)};
}

} // namespace

platform::WindowRole roleOf(const WindowReadings& readings, const EwmhAtoms& atoms)
{
    return isKeptType(readings, atoms) ? platform::WindowRole::Window : platform::WindowRole::Other;
}

DesktopScan groupIntoApplications(const ScanPassResult& pass, DesktopEntries& desktopEntries,
                                  const EwmhAtoms& atoms, const ProcessContext& context)
{
    DesktopScan scan;
    scan.root = pass.root;

    // Process of every window, and the applications in order of first window.
    std::unordered_map<std::uint32_t, std::int32_t> standIns; // X client base -> stand-in id
    std::unordered_map<std::int32_t, std::size_t> appIndex;
    std::vector<std::vector<const WindowReadings*>> appWindows;
    std::unordered_map<xcb_window_t, std::size_t> windowApp;
    for (const WindowReadings& readings : pass.windows) {
        std::int32_t pid = 0;
        if (readings.clientPid)
            pid = *readings.clientPid;
        else if (readings.netWmPid)
            pid = *readings.netWmPid;
        else {
            const std::uint32_t base = readings.window & ~context.resourceIdMask;
            auto [it, inserted] =
                standIns.try_emplace(base, -static_cast<std::int32_t>(standIns.size() + 1));
            pid = it->second;
        }
        auto [it, inserted] = appIndex.try_emplace(pid, appWindows.size());
        if (inserted) {
            appWindows.emplace_back();
            ScannedApplication app;
            app.application.pid = pid;
            scan.applications.push_back(std::move(app));
        }
        appWindows[it->second].push_back(&readings);
        windowApp[readings.window] = it->second;
    }

    for (std::size_t i = 0; i < scan.applications.size(); ++i) {
        platform::LiveApplication& app = scan.applications[i].application;
        const bool regular =
            app.pid != context.ownProcessIdentifier &&
            std::any_of(appWindows[i].begin(), appWindows[i].end(), [&](const WindowReadings* w) {
                return isKeptType(*w, atoms) && !contains(w->states, atoms.netWmStateSkipTaskbar);
            });
        app.kind =
            regular ? platform::ApplicationKind::Regular : platform::ApplicationKind::Accessory;
        Identity identity =
            identityOf(appWindows[i], static_cast<std::int32_t>(app.pid), desktopEntries);
        app.appId = std::move(identity.appId);
        app.name = std::move(identity.name);
    }

    // An application's windows in _NET_CLIENT_LIST order, the order the window
    // manager mapped them. Unlike stacking it does not change when a window is
    // raised, so saving and restoring pair windows of equal titles alike.
    for (const WindowReadings& readings : pass.windows)
        scan.applications[windowApp[readings.window]].windows.push_back(readings);
    return scan;
}

} // namespace tavelor::x11
