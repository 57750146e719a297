#include "Services/WindowScanner.hpp"

#include <QList>

#include <variant>

namespace tavelor {

using namespace platform;

namespace {

/// The two numbers of an AXValue of this type, or nothing for any other answer.
std::optional<AXValue> readValue(Accessibility& accessibility, const AXUIElement& element,
                                 QStringView attribute, AXValueType type)
{
    AXAttributeValue value;
    if (accessibility.copyAttributeValue(element, attribute, value) != kAXErrorSuccess)
        return std::nullopt;
    const auto* typed = std::get_if<AXValue>(&value);
    if (!typed || typed->type != type)
        return std::nullopt;
    return *typed;
}

std::optional<QString> readString(Accessibility& accessibility, const AXUIElement& element,
                                  QStringView attribute)
{
    AXAttributeValue value;
    if (accessibility.copyAttributeValue(element, attribute, value) != kAXErrorSuccess)
        return std::nullopt;
    if (auto* text = std::get_if<QString>(&value))
        return std::move(*text);
    return std::nullopt;
}

} // namespace

WindowScanner::WindowScanner(Workspace& workspace, Accessibility& accessibility)
    : m_workspace(workspace), m_accessibility(accessibility)
{}

std::vector<WindowScanner::ScanResult> WindowScanner::scan() const
{
    std::vector<ScanResult> results;
    for (const RunningApplication& application : m_workspace.runningApplications()) {
        if (application.activationPolicy != kActivationPolicyRegular || application.isTerminated)
            continue;

        const AXUIElement applicationElement =
            m_accessibility.createApplication(application.processIdentifier);
        AXAttributeValue windowsValue;
        if (m_accessibility.copyAttributeValue(applicationElement, kAXWindowsAttribute,
                                               windowsValue) != kAXErrorSuccess)
            continue;
        const auto* windows = std::get_if<QList<AXUIElement>>(&windowsValue);
        if (!windows || windows->isEmpty())
            continue;

        for (const AXUIElement& window : *windows) {
            const std::optional<QString> role =
                readString(m_accessibility, window, kAXRoleAttribute);
            if (!role || *role != kAXWindowRole)
                continue;
            std::optional<QString> title = readString(m_accessibility, window, kAXTitleAttribute);

            WindowFrame frame;
            if (auto point = readValue(m_accessibility, window, kAXPositionAttribute,
                                       AXValueType::CGPoint)) {
                frame.x = point->first;
                frame.y = point->second;
            }
            if (auto size =
                    readValue(m_accessibility, window, kAXSizeAttribute, AXValueType::CGSize)) {
                frame.width = size->first;
                frame.height = size->second;
            }

            results.push_back(
                ScanResult{WindowSnapshot{application.bundleIdentifier, application.localizedName,
                                          std::move(title), frame},
                           window});
        }
    }
    return results;
}

} // namespace tavelor
