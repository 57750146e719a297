#include "Platform/Fake/FakeBackend.hpp"

namespace tavelor::fake {

void FakeWindowSource::apply(std::span<const platform::FrameWrite> frameWrites)
{
    ++applyCalls;
    using enum platform::FrameWrite::Part;
    for (const platform::FrameWrite& write : frameWrites) {
        writes.push_back(write);
        for (platform::LiveApplication& app : applications)
            for (platform::LiveWindow& window :
                 app.windows ? *app.windows : std::span<platform::LiveWindow>())
                if (window.id == write.window && (write.part == Position || write.part == Size))
                    (write.part == Position ? window.position : window.size) = {write.first,
                                                                                write.second};
    }
}

} // namespace tavelor::fake
