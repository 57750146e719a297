#include "Services/WindowScanner.hpp"

#include <algorithm>

namespace tavelor {

using namespace platform;

namespace {

void renumberStacking(std::vector<WindowScanner::ScanResult>& results)
{
    std::vector<WindowState*> stacked;
    for (WindowScanner::ScanResult& result : results) {
        if (result.snapshot.state && result.snapshot.state->stackPosition)
            stacked.push_back(&*result.snapshot.state);
    }
    std::stable_sort(stacked.begin(), stacked.end(),
                     [](const WindowState* a, const WindowState* b) {
                         return *a->stackPosition < *b->stackPosition;
                     });
    for (std::size_t i = 0; i < stacked.size(); ++i)
        stacked[i]->stackPosition = static_cast<std::int64_t>(i);
}

} // namespace

WindowScanner::WindowScanner(WindowSource& source) : m_source(source) {}

std::vector<WindowScanner::ScanResult> WindowScanner::scan() const
{
    std::vector<ScanResult> results;
    for (LiveApplication& application : m_source.listApplications()) {
        if (application.kind != ApplicationKind::Regular || !application.windows)
            continue;
        for (LiveWindow& window : *application.windows) {
            if (window.role != WindowRole::Window)
                continue;
            WindowFrame frame;
            if (window.position)
                std::tie(frame.x, frame.y) = *window.position;
            if (window.size)
                std::tie(frame.width, frame.height) = *window.size;
            results.push_back(
                ScanResult{WindowSnapshot{application.appId, application.name,
                                          std::move(window.title), frame, window.state},
                           std::move(window.id)});
        }
    }
    renumberStacking(results);
    return results;
}

} // namespace tavelor
