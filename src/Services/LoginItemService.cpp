#include "Services/LoginItemService.hpp"

#include "Platform/LoginItems.hpp"

#include <QString>

#include <cstdio>

namespace tavelor::LoginItemService {

bool setEnabled(platform::LoginItems& loginItems, bool enabled)
{
    QString error;
    if (loginItems.setEnabled(enabled, error))
        return true;
    const QByteArray line =
        QStringLiteral("Tavelor: échec du %1 du démarrage au login : %2\n")
            .arg(enabled ? QStringLiteral("register") : QStringLiteral("unregister"), error)
            .toUtf8();
    // One write, so the line reaches the journal whole.
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
    std::fflush(stderr);
    return false;
}

} // namespace tavelor::LoginItemService
