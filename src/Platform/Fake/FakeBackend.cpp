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

platform::KeyPress FakeKeyEventTranslator::translate(std::uint32_t scanCode,
                                                     std::uint32_t modifiers)
{
    platform::KeyPress press;
    press.modifierFlags = modifiers;
    if (scanCode >= 8 && scanCode - 8 <= 0xFFFF && !unmapped.contains(scanCode))
        press.keyCode = static_cast<std::uint16_t>(scanCode - 8);
    return press;
}

} // namespace tavelor::fake
