#include "Services/WindowRestorer.hpp"

#include "Services/WindowMatcher.hpp"
#include "Services/WindowScanner.hpp"

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

    for (const WindowSnapshot& saved : profile.snapshots) {
        const std::optional<std::size_t> index = matcher.firstMatch(saved, live, taken);
        if (!index) {
            ++counts.missingCount;
            continue;
        }
        taken.insert(*index);

        const WindowId& window = scanned[*index].window;
        const WindowFrame& frame = saved.frame;
        writes.push_back({window, FrameWrite::Part::Position, frame.x, frame.y});
        writes.push_back({window, FrameWrite::Part::Size, frame.width, frame.height});
        writes.push_back({window, FrameWrite::Part::Position, frame.x, frame.y});
        ++counts.appliedCount;
    }
    m_source.apply(writes);
    return counts;
}

} // namespace tavelor
