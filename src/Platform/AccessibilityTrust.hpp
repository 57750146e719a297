#pragma once

namespace tavelor::platform {

/// Whether this process may read and move other applications' windows, in the
/// shape of AXIsProcessTrusted and AXIsProcessTrustedWithOptions.
///
/// Contract: every call asks the system afresh (nothing is cached), so a
/// permission granted between two calls shows at the next one. Both calls
/// always answer. isProcessTrustedWithOptions() gives the same answer as
/// isProcessTrusted(); with `prompt` true and no permission, a platform that
/// has a prompt of its own may show it (it does not wait for the user). Main
/// thread only.
class AccessibilityTrust {
public:
    AccessibilityTrust() = default;
    virtual ~AccessibilityTrust() = default;
    AccessibilityTrust(const AccessibilityTrust&) = delete;
    AccessibilityTrust& operator=(const AccessibilityTrust&) = delete;

    virtual bool isProcessTrusted() = 0;
    virtual bool isProcessTrustedWithOptions(bool prompt) = 0;
};

} // namespace tavelor::platform
