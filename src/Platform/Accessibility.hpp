#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <memory>
#include <optional>
#include <variant>

namespace tavelor::platform {

/// Result of an Accessibility call: 0 is success, anything else failure. Callers
/// look at nothing but zero or non-zero; the codes are for the backends.
using AXError = std::int32_t;
inline constexpr AXError kAXErrorSuccess = 0;
inline constexpr AXError kAXErrorFailure = -25200;
inline constexpr AXError kAXErrorInvalidUIElement = -25202;
inline constexpr AXError kAXErrorCannotComplete = -25204;
inline constexpr AXError kAXErrorAttributeUnsupported = -25205;
inline constexpr AXError kAXErrorNoValue = -25212;

/// Attribute names and the one role value Tavelor uses.
inline constexpr QStringView kAXWindowsAttribute = u"AXWindows";
inline constexpr QStringView kAXRoleAttribute = u"AXRole";
inline constexpr QStringView kAXTitleAttribute = u"AXTitle";
inline constexpr QStringView kAXPositionAttribute = u"AXPosition";
inline constexpr QStringView kAXSizeAttribute = u"AXSize";
inline constexpr QStringView kAXWindowRole = u"AXWindow";

/// What a backend keeps for one element (an application or a window).
class ElementRef {
public:
    ElementRef() = default;
    virtual ~ElementRef() = default;
    ElementRef(const ElementRef&) = delete;
    ElementRef& operator=(const ElementRef&) = delete;
};

/// A counted reference to an element: copies share the element and keep it
/// alive; the last copy to go releases it. Empty (null) by default.
class AXUIElement {
public:
    AXUIElement() = default;
    explicit AXUIElement(std::shared_ptr<const ElementRef> ref) : m_ref(std::move(ref)) {}

    explicit operator bool() const { return m_ref != nullptr; }
    const ElementRef* get() const { return m_ref.get(); }
    /// The backend's own element, or null when this is empty or another kind.
    template <typename T> const T* as() const { return dynamic_cast<const T*>(m_ref.get()); }

    friend bool operator==(const AXUIElement& a, const AXUIElement& b)
    {
        return a.m_ref == b.m_ref;
    }

private:
    std::shared_ptr<const ElementRef> m_ref;
};

/// Types of AXValue. Tavelor reads and writes only points (1) and sizes (2).
enum class AXValueType : int {
    Illegal = 0,
    CGPoint = 1,
    CGSize = 2,
    CGRect = 3,
    CFRange = 4,
};

struct CGPoint {
    double x = 0;
    double y = 0;
};
struct CGSize {
    double width = 0;
    double height = 0;
};

/// A typed value of two numbers: a point (x, y) for type 1, a size (width,
/// height) for type 2. Other types carry numbers Tavelor never looks at.
struct AXValue {
    AXValueType type = AXValueType::Illegal;
    double first = 0;
    double second = 0;
};

/// Something other than null, a string, an array of elements or an AXValue (a
/// number, an array holding other things, ...). Its content is never examined.
struct AXOtherValue {};

/// The value of a successful attribute read.
using AXAttributeValue =
    std::variant<std::monostate /* null */, QString, QList<AXUIElement>, AXValue, AXOtherValue>;

/// The Accessibility interface: elements for applications and their windows,
/// attribute reads and writes. Windows are reached only through the
/// "AXWindows" attribute of an application element.
class Accessibility {
public:
    Accessibility() = default;
    virtual ~Accessibility() = default;
    Accessibility(const Accessibility&) = delete;
    Accessibility& operator=(const Accessibility&) = delete;

    /// The element of the application with this process id (as the workspace
    /// gave it). Never fails: reads on an element of no application fail.
    virtual AXUIElement createApplication(std::int32_t processIdentifier) = 0;

    /// Reads one attribute. On success `value` holds the value, which may be
    /// null; on failure `value` is left as it was.
    virtual AXError copyAttributeValue(const AXUIElement& element, QStringView attribute,
                                       AXAttributeValue& value) = 0;

    /// Asks the element's application to take the value ("AXPosition" with a
    /// point, "AXSize" with a size). A backend may send the request without
    /// waiting for it to take effect.
    virtual AXError setAttributeValue(const AXUIElement& element, QStringView attribute,
                                      const AXValue& value) = 0;

    /// AXValueCreate: a value of type 1 from a point, or of type 2 from a size
    /// (`first`, `second` as x, y or width, height). Nothing when it cannot be
    /// made.
    virtual std::optional<AXValue> createValue(AXValueType type, double first, double second) = 0;
};

} // namespace tavelor::platform
