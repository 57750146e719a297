#include "Platform/Fake/FakeAccessibilityTrust.hpp"

namespace tavelor::fake {

bool FakeAccessibilityTrust::isProcessTrusted()
{
    ++m_silentQueries;
    return m_trusted;
}

bool FakeAccessibilityTrust::isProcessTrustedWithOptions(bool prompt)
{
    if (!prompt)
        return isProcessTrusted();
    ++m_promptingQueries;
    if (!m_trusted && m_promptGrants)
        m_trusted = true;
    return m_trusted;
}

} // namespace tavelor::fake
