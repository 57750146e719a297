#pragma once

#include "Platform/LoginItems.hpp"

namespace tavelor::fake {

/// A login item whose status the test sets. Registering sets it to
/// `statusAfterRegister` (1 by default, 2 for a system that asks for
/// approval), unregistering to 0, unless the test makes the changes fail.
class FakeLoginItems final : public platform::LoginItems {
public:
    int status() override { return m_status; }
    bool registerAndReturnError(QString& error) override;
    bool unregisterAndReturnError(QString& error) override;
    void openSystemSettingsLoginItems() override { ++m_settingsOpened; }

    // Inspection side.
    void setStatus(int status) { m_status = status; }
    void setStatusAfterRegister(int status) { m_statusAfterRegister = status; }
    /// Later changes fail with this description (empty: they succeed again).
    void failChanges(const QString& error) { m_failure = error; }
    int registerCalls() const { return m_registerCalls; }
    int unregisterCalls() const { return m_unregisterCalls; }
    int settingsOpened() const { return m_settingsOpened; }

private:
    int m_status = 0;
    int m_statusAfterRegister = 1;
    QString m_failure;
    int m_registerCalls = 0;
    int m_unregisterCalls = 0;
    int m_settingsOpened = 0;
};

} // namespace tavelor::fake
