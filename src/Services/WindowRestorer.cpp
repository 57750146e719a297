#include "Services/WindowRestorer.hpp"

#include "Services/WindowMatcher.hpp"
#include "Services/WindowScanner.hpp"

#include <algorithm>
#include <cmath>
#include <unordered_set>
#include <vector>

namespace tavelor {

using namespace platform;

WindowRestorer::WindowRestorer(WindowSource& source, Displays* displays)
    : m_source(source), m_displays(displays)
{}

namespace {

// Overlap needs a positive area: a frame that only touches a monitor's edge
// cannot be grabbed there.
bool overlaps(const WindowFrame& frame, const Monitor& monitor)
{
    return frame.x < monitor.x + monitor.width && monitor.x < frame.x + frame.width &&
           frame.y < monitor.y + monitor.height && monitor.y < frame.y + frame.height;
}

// Distance per axis from the interval [start, start + length) to [from, from + span).
double gap(double start, double length, double from, double span)
{
    return std::max({0.0, from - (start + length), start - (from + span)});
}

double clampInto(double start, double length, double from, double span)
{
    return std::clamp(start, from, from + span - length);
}

} // namespace

WindowFrame WindowRestorer::onSomeMonitor(const WindowFrame& frame, const DisplaySetup& setup)
{
    const Monitor* nearest = nullptr;
    double best = 0;
    for (const Monitor& monitor : setup.monitors) {
        if (!(monitor.width > 0 && monitor.height > 0))
            continue;
        if (overlaps(frame, monitor))
            return frame;
        const double dx = gap(frame.x, frame.width, monitor.x, monitor.width);
        const double dy = gap(frame.y, frame.height, monitor.y, monitor.height);
        const double distance = dx * dx + dy * dy;
        if (!nearest || distance < best) {
            nearest = &monitor;
            best = distance;
        }
    }
    // NaN frames compare false everywhere and come here too: they stay as
    // saved, the window system decides.
    if (!nearest || !std::isfinite(best))
        return frame;
    WindowFrame placed = frame;
    placed.width = std::min(frame.width, nearest->width);
    placed.height = std::min(frame.height, nearest->height);
    placed.x = clampInto(frame.x, placed.width, nearest->x, nearest->width);
    placed.y = clampInto(frame.y, placed.height, nearest->y, nearest->height);
    return placed;
}

WindowRestorer::ApplyResult WindowRestorer::apply(const WindowProfile& profile) const
{
    const std::vector<WindowScanner::ScanResult> scanned = WindowScanner(m_source).scan();
    std::vector<WindowSnapshot> live;
    live.reserve(scanned.size());
    for (const WindowScanner::ScanResult& result : scanned)
        live.push_back(result.snapshot);

    const WindowMatcher matcher(profile.snapshots);
    std::unordered_set<std::size_t> taken;
    ApplyResult counts;
    std::vector<FrameWrite> writes;
    std::vector<std::pair<WindowState, WindowId>> stack;
    const DisplaySetup monitors = m_displays ? m_displays->currentSetup() : DisplaySetup{};

    for (const WindowSnapshot& saved : profile.snapshots) {
        const std::optional<std::size_t> index = matcher.firstMatch(saved, live, taken);
        if (!index) {
            ++counts.missingCount;
            continue;
        }
        taken.insert(*index);

        const WindowId& window = scanned[*index].window;
        const WindowFrame frame = onSomeMonitor(saved.frame, monitors);
        const std::optional<WindowState>& state = saved.state;
        if (state && (state->desktop || state->onAllDesktops))
            writes.push_back({window, FrameWrite::Part::Desktop, 0, 0, *state});
        writes.push_back({window, FrameWrite::Part::Position, frame.x, frame.y});
        writes.push_back({window, FrameWrite::Part::Size, frame.width, frame.height});
        writes.push_back({window, FrameWrite::Part::Position, frame.x, frame.y});
        if (state) {
            writes.push_back({window, FrameWrite::Part::State, 0, 0, *state});
            if (state->stackPosition)
                stack.emplace_back(*state, window);
        }
        ++counts.appliedCount;
    }
    std::stable_sort(stack.begin(), stack.end(), [](const auto& a, const auto& b) {
        return *a.first.stackPosition < *b.first.stackPosition;
    });
    for (const auto& [state, window] : stack)
        writes.push_back({window, FrameWrite::Part::Raise, 0, 0, state});
    m_source.apply(writes);
    return counts;
}

} // namespace tavelor
