// Every input either reads or gives nothing, and never crashes; what reads, written and
// read again, comes back identical and writes the same bytes. The reader takes no
// non-finite number, so whatever it read can be written.
#include "Models/ProfilesJsonReader.hpp"
#include "Models/ProfilesJsonWriter.hpp"
#include "TestProfiles.hpp"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto profiles = tavelor::decodeProfiles({reinterpret_cast<const char*>(data), size});
    const auto written = profiles ? tavelor::encodeProfiles(*profiles) : std::nullopt;
    const auto again = written ? tavelor::decodeProfiles(written->toStdString()) : std::nullopt;
    if (profiles && (!again || !tavelor::test::identical(*profiles, *again) ||
                     tavelor::encodeProfiles(*again) != written))
        std::abort();
    return 0;
}
