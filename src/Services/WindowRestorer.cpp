#include "Services/WindowRestorer.hpp"

#include "Services/WindowMatcher.hpp"
#include "Services/WindowScanner.hpp"

#include <algorithm>
#include <unordered_set>
#include <vector>

namespace tavelor {

using namespace platform;

WindowRestorer::WindowRestorer(WindowSource& source) : m_source(source) {}

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

    for (const WindowSnapshot& saved : profile.snapshots) {
        const std::optional<std::size_t> index = matcher.firstMatch(saved, live, taken);
        if (!index) {
            ++counts.missingCount;
            continue;
        }
        taken.insert(*index);

        const WindowId& window = scanned[*index].window;
        const WindowFrame& frame = saved.frame;
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
