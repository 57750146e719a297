#include "Platform/Xdg/ProcessName.hpp"

#include <QFile>

namespace tavelor::xdg {

std::optional<QString> processName(std::int64_t pid)
{
    if (pid <= 0)
        return std::nullopt;
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString name = QString::fromUtf8(comm.read(256)).trimmed();
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

} // namespace tavelor::xdg
