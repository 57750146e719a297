#include "Services/WindowScanner.hpp"

namespace tavelor {

using namespace platform;

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
            results.push_back(ScanResult{
                WindowSnapshot{application.appId, application.name, std::move(window.title), frame},
                std::move(window.id)});
        }
    }
    return results;
}

} // namespace tavelor
