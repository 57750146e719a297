#include "Platform/Fake/FakeAccessibility.hpp"

#include "Platform/Fake/FakeElement.hpp"

#include <QList>

namespace tavelor::fake {

using namespace platform;

FakeAccessibility::FakeAccessibility() = default;
FakeAccessibility::~FakeAccessibility() = default;

AXUIElement FakeAccessibility::createApplication(std::int32_t processIdentifier)
{
    if (auto it = m_applications.find(processIdentifier); it != m_applications.end())
        return it->second;
    // No such process: the element exists but knows no attributes, so every
    // read on it fails as it would for a process that is gone.
    AXUIElement orphan(std::make_shared<const FakeElement>(static_cast<int>(m_elements.size())));
    m_elements.push_back(orphan);
    return orphan;
}

AXError FakeAccessibility::copyAttributeValue(const AXUIElement& element, QStringView attribute,
                                              AXAttributeValue& value)
{
    m_reads.push_back({element, attribute.toString()});
    const Attributes* attributes = attributesOf(element);
    if (!attributes)
        return kAXErrorInvalidUIElement;
    auto it = attributes->find(attribute.toString());
    if (it == attributes->end())
        return kAXErrorAttributeUnsupported;
    if (it->second.error != kAXErrorSuccess)
        return it->second.error;
    value = it->second.value;
    return kAXErrorSuccess;
}

AXError FakeAccessibility::setAttributeValue(const AXUIElement& element, QStringView attribute,
                                             const AXValue& value)
{
    Write& write = m_writes.emplace_back(Write{element, attribute.toString(), value});
    Attributes* attributes = attributesOf(element);
    if (!attributes) {
        write.answer = kAXErrorInvalidUIElement;
    } else if (auto refused = m_refusedWrites.find({element.get(), write.attribute});
               refused != m_refusedWrites.end()) {
        write.answer = refused->second;
    } else {
        (*attributes)[write.attribute] = Answer{kAXErrorSuccess, value};
    }
    return write.answer;
}

std::optional<AXValue> FakeAccessibility::createValue(AXValueType type, double first, double second)
{
    if (m_failingValueTypes.contains(type))
        return std::nullopt;
    return AXValue{type, first, second};
}

AXUIElement FakeAccessibility::addElement()
{
    AXUIElement element(std::make_shared<const FakeElement>(static_cast<int>(m_elements.size())));
    m_elements.push_back(element);
    m_attributes[element.get()];
    return element;
}

AXUIElement FakeAccessibility::applicationElement(std::int32_t processIdentifier)
{
    if (auto it = m_applications.find(processIdentifier); it != m_applications.end())
        return it->second;
    AXUIElement application = addElement();
    setAttribute(application, kAXWindowsAttribute.toString(), QList<AXUIElement>{});
    m_applications.emplace(processIdentifier, application);
    return application;
}

AXUIElement FakeAccessibility::addWindow(std::int32_t processIdentifier,
                                         const std::optional<QString>& title,
                                         const WindowFrame& frame)
{
    const AXUIElement window = addElement();
    setAttribute(window, kAXRoleAttribute.toString(), kAXWindowRole.toString());
    if (title)
        setAttribute(window, kAXTitleAttribute.toString(), *title);
    else
        setAttributeError(window, kAXTitleAttribute.toString(), kAXErrorNoValue);
    setAttribute(window, kAXPositionAttribute.toString(),
                 AXValue{AXValueType::CGPoint, frame.x, frame.y});
    setAttribute(window, kAXSizeAttribute.toString(),
                 AXValue{AXValueType::CGSize, frame.width, frame.height});

    Answer& windows =
        (*attributesOf(applicationElement(processIdentifier)))[kAXWindowsAttribute.toString()];
    if (auto* list = std::get_if<QList<AXUIElement>>(&windows.value))
        list->append(window);
    return window;
}

void FakeAccessibility::setAttribute(const AXUIElement& element, const QString& attribute,
                                     const AXAttributeValue& value)
{
    if (Attributes* attributes = attributesOf(element))
        (*attributes)[attribute] = Answer{kAXErrorSuccess, value};
}

void FakeAccessibility::setAttributeError(const AXUIElement& element, const QString& attribute,
                                          AXError error)
{
    if (Attributes* attributes = attributesOf(element))
        (*attributes)[attribute] = Answer{error, {}};
}

std::optional<FakeAccessibility::Answer>
FakeAccessibility::attribute(const AXUIElement& element, const QString& attribute) const
{
    const Attributes* attributes = attributesOf(element);
    if (!attributes)
        return std::nullopt;
    auto it = attributes->find(attribute);
    if (it == attributes->end())
        return std::nullopt;
    return it->second;
}

void FakeAccessibility::refuseWrites(const AXUIElement& element, const QString& attribute,
                                     AXError error)
{
    m_refusedWrites[{element.get(), attribute}] = error;
}

void FakeAccessibility::failCreateValue(AXValueType type)
{
    m_failingValueTypes.insert(type);
}

void FakeAccessibility::clearLog()
{
    m_reads.clear();
    m_writes.clear();
}

FakeAccessibility::Attributes* FakeAccessibility::attributesOf(const AXUIElement& element)
{
    auto it = m_attributes.find(element.get());
    return it == m_attributes.end() ? nullptr : &it->second;
}

const FakeAccessibility::Attributes*
FakeAccessibility::attributesOf(const AXUIElement& element) const
{
    auto it = m_attributes.find(element.get());
    return it == m_attributes.end() ? nullptr : &it->second;
}

} // namespace tavelor::fake
