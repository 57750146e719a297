#include "Services/AccessibilityPermission.hpp"

#include "Platform/WindowAccess.hpp"

namespace tavelor::AccessibilityPermission {

bool isTrusted(platform::WindowAccess& access)
{
    return access.canWorkWithWindows(/*mayPrompt=*/false);
}

bool isTrustedPrompting(platform::WindowAccess& access)
{
    return access.canWorkWithWindows(/*mayPrompt=*/true);
}

} // namespace tavelor::AccessibilityPermission
