#include "Models/WindowFrame.hpp"

#include <bit>
#include <cstdint>

namespace tavelor {

namespace {
void feedDouble(Hasher& hasher, double value)
{
    // -0.0 == +0.0, so both must hash as +0.0.
    hasher.feedUInt64(std::bit_cast<std::uint64_t>(value == 0.0 ? 0.0 : value));
}
} // namespace

void WindowFrame::hashInto(Hasher& hasher) const
{
    feedDouble(hasher, x);
    feedDouble(hasher, y);
    feedDouble(hasher, width);
    feedDouble(hasher, height);
}

} // namespace tavelor
