#pragma once

#include "Platform/WindowSource.hpp"

#include <chrono>
#include <memory>
#include <optional>

namespace tavelor::xdg {
class DesktopEntries;
}

namespace tavelor::kwin {

class KWinScriptRunner;

/// The windows of a KWin session (Plasma 5.27 and 6), native and XWayland
/// alike, read and moved by KWin scripts: one script run per listing and one
/// per apply, whatever the number of windows.
///
/// Each run is bounded by kBound: a listing that does not come back within it
/// (KWin restarting, hung, or gone) is an empty listing, and an apply that does
/// not is dropped. KWin lists 100 windows in about 10 ms, so the bound is far
/// above any answer of a working KWin, while a tray menu waiting on a dead one
/// still comes back in a time a user sits through.
class KWinWindowSource final : public platform::WindowSource {
public:
    static constexpr std::chrono::milliseconds kBound{2000};

    /// `runner` and `entries` outlive this.
    KWinWindowSource(KWinScriptRunner& runner, xdg::DesktopEntries& entries);
    ~KWinWindowSource() override;
    KWinWindowSource(const KWinWindowSource&) = delete;
    KWinWindowSource& operator=(const KWinWindowSource&) = delete;

    std::vector<platform::LiveApplication> listApplications() override;
    void apply(std::span<const platform::FrameWrite> writes) override;

    /// How many windows the last apply's script found to set a frame on;
    /// nothing when it did not answer.
    std::optional<int> lastApplyCount() const { return m_lastApplyCount; }

private:
    KWinScriptRunner& m_runner;
    xdg::DesktopEntries& m_entries;
    QString m_scanScript;
    QString m_applyScript;
    std::optional<int> m_lastApplyCount;
};

} // namespace tavelor::kwin
