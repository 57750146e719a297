#pragma once

#include "Platform/Accessibility.hpp"

namespace tavelor::fake {

/// An element of the fake desktop. It carries only a number, for messages;
/// its attributes live in FakeAccessibility, keyed by the element's identity.
class FakeElement final : public platform::ElementRef {
public:
    explicit FakeElement(int number) : m_number(number) {}
    int number() const { return m_number; }

private:
    int m_number;
};

} // namespace tavelor::fake
