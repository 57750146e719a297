// Every input either reads or gives nothing, and never crashes; what reads,
// written and read again, comes back identical and writes the same bytes.
#include "Models/ProfilesJsonReader.hpp"
#include "Models/ProfilesJsonWriter.hpp"
#include "TestProfiles.hpp"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto profiles = tavelor::decodeProfiles(input);
    if (!profiles)
        return 0;
    // The reader takes no non-finite number, so whatever it read can be written.
    const auto written = tavelor::encodeProfiles(*profiles);
    if (!written)
        std::abort();
    const auto again = tavelor::decodeProfiles(
        std::string_view(written->constData(), static_cast<std::size_t>(written->size())));
    if (!again || !tavelor::test::identical(*profiles, *again))
        std::abort();
    if (tavelor::encodeProfiles(*again) != written)
        std::abort();
    return 0;
}
