#include "Models/ReferenceDate.hpp"

#include <chrono>

namespace tavelor {

double nowSinceReferenceDate()
{
    using namespace std::chrono;
    const auto micros = duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
    return static_cast<double>(micros) / 1e6 - kReferenceDateUnixSeconds;
}

} // namespace tavelor
