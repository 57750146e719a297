#pragma once

#include "Platform/Workspace.hpp"

#include <vector>

namespace tavelor::fake {

/// A workspace whose running applications are whatever the test put there, in
/// the order it put them.
class FakeWorkspace final : public platform::Workspace {
public:
    std::vector<platform::RunningApplication> runningApplications() override;

    // Inspection side.

    /// Appends an application with any policy, flag, pid, bundle id and name.
    void addApplication(const platform::RunningApplication& application);
    /// The listed applications, to change or remove between scans.
    std::vector<platform::RunningApplication>& applications() { return m_applications; }
    /// How many times the list was asked for: one per scan.
    int listingCount() const { return m_listingCount; }

private:
    std::vector<platform::RunningApplication> m_applications;
    int m_listingCount = 0;
};

} // namespace tavelor::fake
