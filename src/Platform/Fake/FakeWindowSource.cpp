#include "Platform/Fake/FakeWindowSource.hpp"

namespace tavelor::fake {

void FakeWindowSource::apply(std::span<const platform::FrameWrite> writes)
{
    ++m_applyCalls;
    for (const platform::FrameWrite& write : writes) {
        m_writes.push_back(write);
        for (platform::LiveApplication& app : applications) {
            if (!app.windows)
                continue;
            for (platform::LiveWindow& window : *app.windows) {
                if (window.id != write.window)
                    continue;
                auto& part = write.part == platform::FrameWrite::Part::Position ? window.position
                                                                                : window.size;
                part = {write.first, write.second};
            }
        }
    }
}

} // namespace tavelor::fake
