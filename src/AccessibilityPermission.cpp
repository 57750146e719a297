#include "AccessibilityPermission.hpp"

#include "Platform/AccessibilityTrust.hpp"

namespace tavelor::AccessibilityPermission {

bool isTrusted(platform::AccessibilityTrust& trust)
{
    return trust.isProcessTrusted();
}

bool isTrustedPrompting(platform::AccessibilityTrust& trust)
{
    return trust.isProcessTrustedWithOptions(/*prompt=*/true);
}

} // namespace tavelor::AccessibilityPermission
