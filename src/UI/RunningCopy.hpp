#pragma once

#include <QObject>

namespace tavelor {

/// The running copy's presence on the session bus, so that a second start can
/// tell the user where Tavelor already is: the running copy owns the name
/// io.github.tavelor.Tavelor and answers ShowAlreadyRunning() with a desktop
/// notification. The lock file, not this name, decides which copy runs; the
/// name only carries the message.
class RunningCopy final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.tavelor.Tavelor")

public:
    RunningCopy() = default;
    RunningCopy(const RunningCopy&) = delete;
    RunningCopy& operator=(const RunningCopy&) = delete;
    ~RunningCopy() override;

    /// Takes the bus name and exports ShowAlreadyRunning(); false without a
    /// session bus or when the name is taken.
    bool publish();

    /// For a second start: asks the running copy to show its notification.
    /// Waits a short while at most; false when no copy answered.
    static bool askRunningCopyToShowItself();

    /// The running copy's answer, exported on the bus.
    Q_SCRIPTABLE Q_SLOT void ShowAlreadyRunning();

private:
    bool m_published = false;
};

} // namespace tavelor
