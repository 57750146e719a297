#pragma once

#include "Platform/LoginItems.hpp"

namespace tavelor::fake {

/// A login item whose status the test sets; changes succeed unless the test
/// gives them an error.
class FakeLoginItems final : public platform::LoginItems {
public:
    platform::LoginItemStatus status() override { return currentStatus; }
    bool setEnabled(bool enabled, QString& error) override
    {
        ++changes;
        if (!failure.isEmpty()) {
            error = failure;
            return false;
        }
        currentStatus =
            enabled ? platform::LoginItemStatus::Enabled : platform::LoginItemStatus::NotRegistered;
        return true;
    }

    platform::LoginItemStatus currentStatus = platform::LoginItemStatus::NotRegistered;
    /// Non-empty: later changes fail with this description.
    QString failure;
    int changes = 0;
};

} // namespace tavelor::fake
