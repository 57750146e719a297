#include "Services/ProfileStore.hpp"

namespace tavelor {

ProfileStore::ProfileStore() = default;
ProfileStore::ProfileStore(const QString& folder) : m_folder(folder) {}

QList<WindowProfile> ProfileStore::load()
{
    return {};
}

void ProfileStore::save(const QList<WindowProfile>&) {}

} // namespace tavelor
