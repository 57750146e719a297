#pragma once

namespace tavelor {

namespace platform {
class AccessibilityTrust;
}

/// The two permission queries the commands make before they read or move
/// windows. Both ask afresh; nothing is remembered between calls.
namespace AccessibilityPermission {

/// The silent query (AXIsProcessTrusted): no prompt, whatever the answer.
bool isTrusted(platform::AccessibilityTrust& trust);

/// The query that lets the system offer its own prompt when the permission is
/// missing (AXIsProcessTrustedWithOptions with the prompt option set).
bool isTrustedPrompting(platform::AccessibilityTrust& trust);

} // namespace AccessibilityPermission

} // namespace tavelor
