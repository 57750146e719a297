#pragma once

#include "Platform/Backend.hpp"

namespace tavelor::fake {

/// In-memory stand-ins for every platform interface. Each comes with an
/// inspection side: tests set up what the platform shows (applications,
/// windows, key layouts, ...) and read back what the logic did to it (moves,
/// grabs, beeps, ...).
class FakeBackend final : public platform::Backend {
public:
    FakeBackend();
    ~FakeBackend() override;
};

} // namespace tavelor::fake
