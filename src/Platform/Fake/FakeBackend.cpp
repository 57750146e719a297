#include "Platform/Fake/FakeBackend.hpp"

namespace tavelor::fake {

FakeBackend::FakeBackend() = default;
FakeBackend::~FakeBackend() = default;

} // namespace tavelor::fake
