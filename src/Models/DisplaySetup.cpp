#include "Models/DisplaySetup.hpp"

#include <vector>

namespace tavelor {

bool Monitor::isSameMonitor(const Monitor& other) const
{
    if (isIdentified() && other.isIdentified())
        return maker == other.maker && model == other.model && serial == other.serial;
    return connector == other.connector && width == other.width && height == other.height;
}

bool DisplaySetup::isSameSetup(const DisplaySetup& other) const
{
    if (monitors.size() != other.monitors.size())
        return false;
    // Identified monitors pair among themselves first, so that a monitor known
    // on one side only cannot take by its connector the partner an identified
    // one needs; what is left pairs by connector and size.
    const auto count = static_cast<std::size_t>(monitors.size());
    std::vector<bool> mineDone(count, false), theirsTaken(count, false);
    for (const bool bothIdentified : {true, false}) {
        for (std::size_t m = 0; m < count; ++m) {
            const Monitor& mine = monitors[static_cast<qsizetype>(m)];
            if (mineDone[m] || (bothIdentified && !mine.isIdentified()))
                continue;
            for (std::size_t t = 0; t < count && !mineDone[m]; ++t) {
                const Monitor& theirs = other.monitors[static_cast<qsizetype>(t)];
                if (theirsTaken[t] || (bothIdentified && !theirs.isIdentified()) ||
                    !mine.isSameMonitor(theirs))
                    continue;
                mineDone[m] = theirsTaken[t] = true;
            }
            if (!bothIdentified && !mineDone[m])
                return false;
        }
    }
    return true;
}

} // namespace tavelor
