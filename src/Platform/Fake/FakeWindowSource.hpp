#pragma once

#include "Platform/WindowSource.hpp"

#include <vector>

namespace tavelor::fake {

/// A desktop in memory: tests set the applications and windows a listing
/// shows, and read back every write in order and how many apply() calls
/// brought them. Writes land on the listed windows' frames, so a following
/// listing shows them.
class FakeWindowSource final : public platform::WindowSource {
public:
    std::vector<platform::LiveApplication> listApplications() override
    {
        ++m_listings;
        return applications;
    }
    void apply(std::span<const platform::FrameWrite> writes) override;

    // Inspection side.
    std::vector<platform::LiveApplication> applications;
    const std::vector<platform::FrameWrite>& writes() const { return m_writes; }
    int applyCalls() const { return m_applyCalls; }
    int listings() const { return m_listings; }

private:
    std::vector<platform::FrameWrite> m_writes;
    int m_applyCalls = 0;
    int m_listings = 0;
};

} // namespace tavelor::fake
