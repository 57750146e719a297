#include "Services/LoginItemService.hpp"

#include "Platform/LoginItems.hpp"

#include <QCoreApplication>
#include <QString>

#include <cstdio>

namespace tavelor::LoginItemService {

bool setEnabled(platform::LoginItems& loginItems, bool enabled)
{
    QString error;
    if (loginItems.setEnabled(enabled, error))
        return true;
    // The key keeps its two %@ places; each is filled once, left to right, so
    // that a %@ inside the error text stays as it is.
    const QString format =
        QCoreApplication::translate("Tavelor", "Tavelor: échec du %@ du démarrage au login : %@");
    const QString operation = enabled ? QStringLiteral("register") : QStringLiteral("unregister");
    QString text;
    qsizetype from = 0;
    int filled = 0;
    for (qsizetype at = format.indexOf(QLatin1String("%@")); at >= 0 && filled < 2;
         at = format.indexOf(QLatin1String("%@"), from)) {
        text += format.mid(from, at - from) + (filled++ == 0 ? operation : error);
        from = at + 2;
    }
    text += format.mid(from);
    const QByteArray line = (text + QLatin1Char('\n')).toUtf8();
    // One write, so the line reaches the journal whole.
    (void)std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
    (void)std::fflush(stderr);
    return false;
}

} // namespace tavelor::LoginItemService
