#include "Models/ProfilesJsonReader.hpp"

namespace tavelor {

std::optional<QList<WindowProfile>> decodeProfiles(std::string_view)
{
    return std::nullopt;
}

} // namespace tavelor
