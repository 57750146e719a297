#include "Platform/Fake/FakeWorkspace.hpp"

namespace tavelor::fake {

std::vector<platform::RunningApplication> FakeWorkspace::runningApplications()
{
    ++m_listingCount;
    return m_applications;
}

void FakeWorkspace::addApplication(const platform::RunningApplication& application)
{
    m_applications.push_back(application);
}

} // namespace tavelor::fake
