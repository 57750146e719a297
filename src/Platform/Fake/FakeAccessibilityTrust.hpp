#pragma once

#include "Platform/AccessibilityTrust.hpp"

namespace tavelor::fake {

/// A permission the test grants or withholds. A prompt can be made to grant
/// it, as a user who accepts the system's offer would.
class FakeAccessibilityTrust final : public platform::AccessibilityTrust {
public:
    bool isProcessTrusted() override;
    bool isProcessTrustedWithOptions(bool prompt) override;

    // Inspection side.
    void setTrusted(bool trusted) { m_trusted = trusted; }
    /// A prompting call grants the permission before it answers.
    void setPromptGrants(bool grants) { m_promptGrants = grants; }
    int silentQueries() const { return m_silentQueries; }
    int promptingQueries() const { return m_promptingQueries; }

private:
    bool m_trusted = true;
    bool m_promptGrants = false;
    int m_silentQueries = 0;
    int m_promptingQueries = 0;
};

} // namespace tavelor::fake
