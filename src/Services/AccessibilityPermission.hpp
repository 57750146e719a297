#pragma once

namespace tavelor {

namespace platform {
class WindowAccess;
}

/// The two access queries the commands make before they read or move windows.
/// Both ask afresh; nothing is remembered between calls.
namespace AccessibilityPermission {

/// The silent query: no prompt, whatever the answer.
bool isTrusted(platform::WindowAccess& access);

/// The query that lets the platform first do what it does to obtain the right
/// (a prompt of its own), where it has something to do.
bool isTrustedPrompting(platform::WindowAccess& access);

} // namespace AccessibilityPermission

} // namespace tavelor
