#pragma once

#include "Models/WindowProfile.hpp"
#include "Platform/Displays.hpp"
#include "Platform/WindowSource.hpp"

#include <cstdint>

namespace tavelor {

/// Puts the windows of a profile back where they were saved. Keeps nothing
/// between calls.
///
/// apply() scans afresh, then takes the saved snapshots in profile order and
/// gives each the first live window, in scan order, that the WindowMatcher
/// pairs with it and no earlier snapshot took. A paired window gets three
/// writes: Position with the saved point, Size with the saved size, Position
/// again (an application may move a window that it resizes, to keep it on
/// screen or around a fixed corner). The writes of all paired windows, in
/// profile order, go to the source in one apply() call. Frames are written
/// as saved, with one mend: a frame wholly outside every current monitor (saved
/// on a monitor that is gone) is moved onto the nearest monitor, keeping its
/// size where it fits, else shrunk to the monitor; a frame partly on a monitor
/// is written as saved. With no monitors known nothing is mended. Live windows
/// no snapshot takes are not touched.
///
/// A snapshot saved with a state gets more: a Desktop write before the frame
/// (when it knows its desktop), a State write after it (maximised, fullscreen,
/// kept above, minimised or shown again, as saved), and, once every window has
/// its frame, a Raise for each such window from the bottom of the saved
/// stacking order up. A snapshot without state gets the frame alone: nothing
/// is shown again, raised or focused.
class WindowRestorer {
public:
    struct ApplyResult {
        /// Saved snapshots paired with a live window and written to, whatever
        /// the writes answered.
        std::int64_t appliedCount = 0;
        /// Saved snapshots for which no free live window matched.
        std::int64_t missingCount = 0;
    };

    /// `source` and `displays`, when given, outlive the restorer.
    explicit WindowRestorer(platform::WindowSource& source, platform::Displays* displays = nullptr);

    /// `frame`, or where it goes when it lies wholly outside every monitor of
    /// `setup`: the position on the nearest monitor closest to where it was.
    static WindowFrame onSomeMonitor(const WindowFrame& frame, const DisplaySetup& setup);

    /// Reads only the profile's snapshots; the two counts add up to their number.
    ApplyResult apply(const WindowProfile& profile) const;

private:
    platform::WindowSource& m_source;
    platform::Displays* m_displays;
};

} // namespace tavelor
