#include "Platform/X11/X11Accessibility.hpp"

#include "Platform/X11/DesktopScan.hpp"
#include "Platform/X11/WindowMover.hpp"
#include "Platform/X11/X11Connection.hpp"
#include "Platform/X11/X11Elements.hpp"
#include "Platform/X11/X11Workspace.hpp"

namespace tavelor::x11 {

using namespace platform;

X11Accessibility::X11Accessibility(X11Connection* connection, X11Workspace& workspace)
    : m_connection(connection), m_workspace(workspace)
{}

X11Accessibility::~X11Accessibility() = default;

AXUIElement X11Accessibility::createApplication(std::int32_t processIdentifier)
{
    return AXUIElement(
        std::make_shared<const X11ApplicationElement>(processIdentifier, m_workspace.latestScan()));
}

AXError X11Accessibility::copyAttributeValue(const AXUIElement& element, QStringView attribute,
                                             AXAttributeValue& value)
{
    if (const auto* app = element.as<X11ApplicationElement>()) {
        if (attribute != kAXWindowsAttribute)
            return kAXErrorAttributeUnsupported;
        const ScannedApplication* scanned = app->scan()->find(app->processIdentifier());
        if (!scanned)
            return kAXErrorInvalidUIElement;
        value = scanned->windows;
        return kAXErrorSuccess;
    }
    const auto* window = element.as<X11WindowElement>();
    if (!window || !window->readings().alive)
        return kAXErrorInvalidUIElement;
    const WindowReadings& readings = window->readings();
    if (attribute == kAXRoleAttribute) {
        const EwmhAtoms* atoms = m_workspace.atoms();
        if (!atoms)
            return kAXErrorCannotComplete;
        value = roleOf(readings, *atoms);
        return kAXErrorSuccess;
    }
    if (attribute == kAXTitleAttribute) {
        if (!readings.title)
            return kAXErrorNoValue;
        value = *readings.title;
        return kAXErrorSuccess;
    }
    if (attribute == kAXPositionAttribute || attribute == kAXSizeAttribute) {
        const WindowFrame frame =
            visibleFrame(readings.placement, readings.frameExtents, readings.gtkFrameExtents);
        if (attribute == kAXPositionAttribute)
            value = AXValue{AXValueType::CGPoint, frame.x, frame.y};
        else
            value = AXValue{AXValueType::CGSize, frame.width, frame.height};
        return kAXErrorSuccess;
    }
    return kAXErrorAttributeUnsupported;
}

AXError X11Accessibility::setAttributeValue(const AXUIElement& element, QStringView attribute,
                                            const AXValue& value)
{
    const auto* window = element.as<X11WindowElement>();
    if (!window || !window->readings().alive || !m_connection || m_connection->hasError())
        return kAXErrorInvalidUIElement;
    const EwmhAtoms* atoms = m_workspace.atoms();
    if (!atoms)
        return kAXErrorCannotComplete;
    if (!m_mover)
        m_mover = std::make_unique<WindowMover>(*m_connection, *atoms);
    const bool useMoveResize = m_workspace.latestScan()->supportsMoveResize;
    bool sent = false;
    if (attribute == kAXPositionAttribute && value.type == AXValueType::CGPoint)
        sent = m_mover->move(*window, useMoveResize, value.first, value.second);
    else if (attribute == kAXSizeAttribute && value.type == AXValueType::CGSize)
        sent = m_mover->resize(*window, useMoveResize, value.first, value.second);
    else
        return kAXErrorAttributeUnsupported;
    return sent ? kAXErrorSuccess : kAXErrorFailure;
}

std::optional<AXValue> X11Accessibility::createValue(AXValueType type, double first, double second)
{
    if (type != AXValueType::CGPoint && type != AXValueType::CGSize)
        return std::nullopt;
    return AXValue{type, first, second};
}

} // namespace tavelor::x11
