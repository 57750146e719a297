#pragma once

#include <QString>

namespace tavelor::platform {

enum class LoginItemStatus {
    NotRegistered, ///< absent, switched off, or someone else's
    Enabled,       ///< starts with the desktop session
    NotFound,      ///< the program itself cannot be found (removed while running)
};

/// Whether the program starts with the user's desktop session.
///
/// Contract: status() reads the system's state afresh at every call; the
/// program keeps no record of its own. setEnabled() answers true on success; on
/// failure false, with `error` set to a description fit for a log line. Main
/// thread only.
class LoginItems {
public:
    LoginItems() = default;
    virtual ~LoginItems() = default;
    LoginItems(const LoginItems&) = delete;
    LoginItems& operator=(const LoginItems&) = delete;

    virtual LoginItemStatus status() = 0;
    virtual bool setEnabled(bool enabled, QString& error) = 0;
};

} // namespace tavelor::platform
