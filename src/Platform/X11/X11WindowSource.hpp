#pragma once

#include "Platform/WindowSource.hpp"
#include "Platform/X11/EwmhAtoms.hpp"
#include "Platform/X11/ScanPass.hpp"
#include "Platform/Xdg/DesktopEntries.hpp"

#include <memory>
#include <optional>
#include <unordered_map>

namespace tavelor::x11 {

class WindowMover;
class WindowStateRequests;
class X11Connection;

/// The windows of an X11 desktop: the client windows of _NET_CLIENT_LIST
/// grouped by owning process (DesktopScan), read in one pipelined pass
/// (ScanPass, two round trips). Window ids are the X window ids in decimal.
///
/// A window that was gone when it was read is listed without role, title or
/// frame. apply() writes to the windows of the last listing: the writes to one
/// window that follow each other become one frame, sent as one
/// _NET_MOVERESIZE_WINDOW (WindowMover); ids the listing did not have, or that
/// do not parse, are skipped. A window's state (WindowStateRequests) is read
/// from its EWMH properties and written with client messages, in the same
/// flush as the frames.
class X11WindowSource final : public platform::WindowSource {
public:
    /// `connection` null: no X display, and the desktop is empty.
    explicit X11WindowSource(X11Connection* connection);
    ~X11WindowSource() override;
    X11WindowSource(const X11WindowSource&) = delete;
    X11WindowSource& operator=(const X11WindowSource&) = delete;

    std::vector<platform::LiveApplication> listApplications() override;
    void apply(std::span<const platform::FrameWrite> writes) override;

private:
    /// Null without a connection.
    const EwmhAtoms* atoms();
    /// Gives the focus back to the window that had it at the listing.
    void refocusActive(WindowStateRequests& requests);

    X11Connection* m_connection;
    std::optional<EwmhAtoms> m_atoms;
    std::optional<bool> m_clientIds;
    xdg::DesktopEntries m_desktopEntries;
    std::unique_ptr<WindowMover> m_mover;
    /// The windows of the last listing, as read.
    std::unordered_map<xcb_window_t, WindowReadings> m_listed;
    RootReadings m_root;
};

} // namespace tavelor::x11
