#pragma once

#include <cstdlib>
#include <memory>

namespace tavelor::x11 {

struct FreeDeleter {
    void operator()(void* p) const noexcept { std::free(p); }
};

/// Owner of anything xcb hands out with malloc: replies, errors, events.
template <typename T> using XcbPtr = std::unique_ptr<T, FreeDeleter>;

} // namespace tavelor::x11
