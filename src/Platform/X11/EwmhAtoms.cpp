#include "Platform/X11/EwmhAtoms.hpp"

#include "Platform/X11/X11Connection.hpp"

#include <array>
#include <string_view>
#include <utility>

namespace tavelor::x11 {

EwmhAtoms EwmhAtoms::intern(X11Connection& connection)
{
    EwmhAtoms atoms;
    // Sized by its entries, so that adding or removing an atom cannot leave an
    // empty slot behind.
    const auto table = std::to_array<std::pair<std::string_view, xcb_atom_t*>>({
        {"UTF8_STRING", &atoms.utf8String},
        {"COMPOUND_TEXT", &atoms.compoundText},
        {"_NET_SUPPORTED", &atoms.netSupported},
        {"_NET_CLIENT_LIST", &atoms.netClientList},
        {"_NET_WM_NAME", &atoms.netWmName},
        {"_NET_WM_PID", &atoms.netWmPid},
        {"_NET_WM_WINDOW_TYPE", &atoms.netWmWindowType},
        {"_NET_WM_WINDOW_TYPE_NORMAL", &atoms.netWmWindowTypeNormal},
        {"_NET_WM_WINDOW_TYPE_DIALOG", &atoms.netWmWindowTypeDialog},
        {"_NET_WM_WINDOW_TYPE_UTILITY", &atoms.netWmWindowTypeUtility},
        {"_NET_WM_STATE", &atoms.netWmState},
        {"_NET_WM_STATE_SKIP_TASKBAR", &atoms.netWmStateSkipTaskbar},
        {"_NET_WM_STATE_MAXIMIZED_VERT", &atoms.netWmStateMaximizedVert},
        {"_NET_WM_STATE_MAXIMIZED_HORZ", &atoms.netWmStateMaximizedHorz},
        {"_NET_WM_STATE_FULLSCREEN", &atoms.netWmStateFullscreen},
        {"_NET_WM_STATE_HIDDEN", &atoms.netWmStateHidden},
        {"_NET_WM_STATE_ABOVE", &atoms.netWmStateAbove},
        {"_NET_WM_DESKTOP", &atoms.netWmDesktop},
        {"_NET_CLIENT_LIST_STACKING", &atoms.netClientListStacking},
        {"_NET_RESTACK_WINDOW", &atoms.netRestackWindow},
        {"WM_CHANGE_STATE", &atoms.wmChangeState},
        {"_NET_ACTIVE_WINDOW", &atoms.netActiveWindow},
        {"_NET_CURRENT_DESKTOP", &atoms.netCurrentDesktop},
        {"_NET_FRAME_EXTENTS", &atoms.netFrameExtents},
        {"_NET_MOVERESIZE_WINDOW", &atoms.netMoveResizeWindow},
        {"_GTK_FRAME_EXTENTS", &atoms.gtkFrameExtents},
        {"_GTK_APPLICATION_ID", &atoms.gtkApplicationId},
    });
    std::array<std::string_view, table.size()> names;
    for (std::size_t i = 0; i < table.size(); ++i)
        names[i] = table[i].first;
    connection.internAtoms(names);
    for (const auto& [name, field] : table)
        *field = connection.atom(name);
    return atoms;
}

} // namespace tavelor::x11
