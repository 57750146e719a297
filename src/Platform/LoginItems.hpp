#pragma once

#include <QString>

namespace tavelor::platform {

/// Registration states of the program as a login item.
enum LoginItemStatus : int {
    kLoginItemNotRegistered = 0,
    kLoginItemEnabled = 1,
    kLoginItemRequiresApproval = 2, ///< registered, waiting for the user's approval
    kLoginItemNotFound = 3,         ///< the system cannot find the program
};

/// The program's own login item, in the shape of SMAppService.mainAppService.
///
/// Contract: status() reads the system's state afresh at every call; the
/// program keeps no record of its own. The two changes answer true on success;
/// on failure false, with `error` set to a description fit for a log line.
/// Main thread only.
class LoginItems {
public:
    LoginItems() = default;
    virtual ~LoginItems() = default;
    LoginItems(const LoginItems&) = delete;
    LoginItems& operator=(const LoginItems&) = delete;

    virtual int status() = 0;
    virtual bool registerAndReturnError(QString& error) = 0;
    virtual bool unregisterAndReturnError(QString& error) = 0;
    /// Shows the user where login items are approved, where the system has such
    /// a place; does nothing otherwise.
    virtual void openSystemSettingsLoginItems() = 0;
};

} // namespace tavelor::platform
