#pragma once

#include "Platform/Accessibility.hpp"

#include <memory>

namespace tavelor::x11 {

class WindowMover;
class X11Connection;
class X11Workspace;

/// Accessibility over EWMH. Application elements are process ids of the
/// workspace's last scan; their "AXWindows" and every window attribute answer
/// from that scan (no further round trip). "AXRole", "AXTitle", "AXPosition"
/// and "AXSize" fail on a window that was gone when it was read; "AXTitle"
/// fails (kAXErrorNoValue) on a window without a title. Writes of
/// "AXPosition" and "AXSize" are sent to the live window at once (WindowMover)
/// and answer success once sent.
class X11Accessibility final : public platform::Accessibility {
public:
    /// `connection` null: no X display; every read and write fails.
    X11Accessibility(X11Connection* connection, X11Workspace& workspace);
    ~X11Accessibility() override;

    platform::AXUIElement createApplication(std::int32_t processIdentifier) override;
    platform::AXError copyAttributeValue(const platform::AXUIElement& element,
                                         QStringView attribute,
                                         platform::AXAttributeValue& value) override;
    platform::AXError setAttributeValue(const platform::AXUIElement& element, QStringView attribute,
                                        const platform::AXValue& value) override;
    std::optional<platform::AXValue> createValue(platform::AXValueType type, double first,
                                                 double second) override;

private:
    X11Connection* m_connection;
    X11Workspace& m_workspace;
    std::unique_ptr<WindowMover> m_mover;
};

} // namespace tavelor::x11
