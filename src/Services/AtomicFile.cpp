#include "Services/AtomicFile.hpp"

namespace tavelor {

bool writeFileAtomically(const QString&, const QByteArray&, mode_t)
{
    return false;
}

} // namespace tavelor
