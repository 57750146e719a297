#include "UI/SingleInstance.hpp"

#include <QDir>
#include <QStandardPaths>

namespace tavelor {

SingleInstance::SingleInstance()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    m_lock = std::make_unique<QLockFile>(folder + QStringLiteral("/tavelor.lock"));
    // A held lock is never stale while its owner runs; only a dead owner's is.
    m_lock->setStaleLockTime(0);
}

bool SingleInstance::tryAcquire()
{
    return m_lock->tryLock(0);
}

} // namespace tavelor
