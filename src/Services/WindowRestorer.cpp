#include "Services/WindowRestorer.hpp"

#include "Services/WindowMatcher.hpp"
#include "Services/WindowScanner.hpp"

#include <unordered_set>
#include <vector>

namespace tavelor {

using namespace platform;

WindowRestorer::WindowRestorer(Workspace& workspace, Accessibility& accessibility)
    : m_workspace(workspace), m_accessibility(accessibility)
{}

WindowRestorer::ApplyResult WindowRestorer::apply(const WindowProfile& profile) const
{
    const std::vector<WindowScanner::ScanResult> scanned =
        WindowScanner(m_workspace, m_accessibility).scan();
    std::vector<WindowSnapshot> live;
    live.reserve(scanned.size());
    for (const WindowScanner::ScanResult& result : scanned)
        live.push_back(result.snapshot);

    const WindowMatcher matcher(profile.snapshots);
    std::unordered_set<std::size_t> taken;
    ApplyResult counts;

    const auto write = [this](const AXUIElement& window, QStringView attribute, AXValueType type,
                              double first, double second) {
        if (const std::optional<AXValue> value = m_accessibility.createValue(type, first, second))
            m_accessibility.setAttributeValue(window, attribute, *value);
    };

    for (const WindowSnapshot& saved : profile.snapshots) {
        const std::optional<std::size_t> index = matcher.firstMatch(saved, live, taken);
        if (!index) {
            ++counts.missingCount;
            continue;
        }
        taken.insert(*index);

        // Position again after the size: an application may move a window
        // that it resizes (to keep it on screen, or around a fixed corner).
        const AXUIElement& window = scanned[*index].element;
        const WindowFrame& frame = saved.frame;
        write(window, kAXPositionAttribute, AXValueType::CGPoint, frame.x, frame.y);
        write(window, kAXSizeAttribute, AXValueType::CGSize, frame.width, frame.height);
        write(window, kAXPositionAttribute, AXValueType::CGPoint, frame.x, frame.y);
        ++counts.appliedCount;
    }
    return counts;
}

} // namespace tavelor
