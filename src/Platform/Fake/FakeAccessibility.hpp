#pragma once

#include "Models/WindowFrame.hpp"
#include "Platform/Accessibility.hpp"

#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>
#include <vector>

namespace tavelor::fake {

/// An in-memory Accessibility interface. Every element answers each attribute
/// with whatever the test set: an error code or any value (null, a string, an
/// array of elements, an AXValue of any type, an "other" value). Attributes
/// never set answer kAXErrorAttributeUnsupported; elements the fake never made
/// (and the null element) answer kAXErrorInvalidUIElement.
///
/// Writes behave like a compliant application: the written value becomes the
/// attribute's answer, unless the test made that write refuse. Every read and
/// every write is logged in call order.
class FakeAccessibility final : public platform::Accessibility {
public:
    struct Answer {
        platform::AXError error = platform::kAXErrorSuccess;
        platform::AXAttributeValue value;
    };
    struct Read {
        platform::AXUIElement element;
        QString attribute;
    };
    struct Write {
        platform::AXUIElement element;
        QString attribute;
        platform::AXValue value;
        platform::AXError answer = platform::kAXErrorSuccess;
    };

    FakeAccessibility();
    ~FakeAccessibility() override;

    /// The element registered for this pid by applicationElement(), or, for any
    /// other pid, a new element on which every read fails.
    platform::AXUIElement createApplication(std::int32_t processIdentifier) override;
    platform::AXError copyAttributeValue(const platform::AXUIElement& element,
                                         QStringView attribute,
                                         platform::AXAttributeValue& value) override;
    platform::AXError setAttributeValue(const platform::AXUIElement& element, QStringView attribute,
                                        const platform::AXValue& value) override;
    std::optional<platform::AXValue> createValue(platform::AXValueType type, double first,
                                                 double second) override;

    // Inspection side.

    /// A new element with no attributes.
    platform::AXUIElement addElement();
    /// The application element of this pid, made on first use with "AXWindows"
    /// answering an empty array.
    platform::AXUIElement applicationElement(std::int32_t processIdentifier);
    /// A new window of the application with this pid, appended to its
    /// "AXWindows" array (which must still be an array): role "AXWindow", the
    /// title (an absent one answers kAXErrorNoValue), position and size.
    platform::AXUIElement addWindow(std::int32_t processIdentifier,
                                    const std::optional<QString>& title, const WindowFrame& frame);

    void setAttribute(const platform::AXUIElement& element, const QString& attribute,
                      const platform::AXAttributeValue& value);
    /// Makes every later read of this attribute of this element fail.
    void setAttributeError(const platform::AXUIElement& element, const QString& attribute,
                           platform::AXError error);
    /// The attribute's current answer, without logging a read; nothing when it
    /// was never set.
    std::optional<Answer> attribute(const platform::AXUIElement& element,
                                    const QString& attribute) const;

    /// Makes every later write of this attribute of this element answer `error`
    /// and leave the value as it was (the write is still logged).
    void refuseWrites(const platform::AXUIElement& element, const QString& attribute,
                      platform::AXError error = platform::kAXErrorCannotComplete);
    /// Makes createValue answer nothing for this type from now on.
    void failCreateValue(platform::AXValueType type);

    const std::vector<Read>& reads() const { return m_reads; }
    const std::vector<Write>& writes() const { return m_writes; }
    void clearLog();

private:
    using Attributes = std::map<QString, Answer>;

    Attributes* attributesOf(const platform::AXUIElement& element);
    const Attributes* attributesOf(const platform::AXUIElement& element) const;

    // Every element made stays alive here, so that no two ever share an address.
    std::vector<platform::AXUIElement> m_elements;
    std::unordered_map<const platform::ElementRef*, Attributes> m_attributes;
    std::unordered_map<std::int32_t, platform::AXUIElement> m_applications;
    std::map<std::pair<const platform::ElementRef*, QString>, platform::AXError> m_refusedWrites;
    std::set<platform::AXValueType> m_failingValueTypes;
    std::vector<Read> m_reads;
    std::vector<Write> m_writes;
};

} // namespace tavelor::fake
