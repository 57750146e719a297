#pragma once

#include "Platform/WindowSource.hpp"
#include "Platform/Xdg/DesktopEntries.hpp"

#include <QHash>
#include <QRect>

namespace tavelor::gnomeshell {

/// The windows of a GNOME Shell session, read and moved by Tavelor's Shell
/// extension: one D-Bus call per listing and one per apply, each bounded by
/// shellCallTimeoutMs. Without the extension the desktop is empty.
class GnomeShellWindowSource final : public platform::WindowSource {
public:
    GnomeShellWindowSource() = default;

    std::vector<platform::LiveApplication> listApplications() override;
    /// The writes to each window are merged into one frame; a part not written
    /// (a move without a resize) is the window's from the last listing. The
    /// frames go to the shell as they are: it decides what it allows. Desktop,
    /// State and Raise writes go in the same call, and only then the call
    /// that carries them (a frame-only apply is the call it always was).
    void apply(std::span<const platform::FrameWrite> writes) override;

private:
    void refreshFrames();

    xdg::DesktopEntries m_desktopEntries;
    /// The frames of the last listing, for the part of a frame an apply leaves out.
    QHash<QString, QRect> m_lastFrames;
};

} // namespace tavelor::gnomeshell
