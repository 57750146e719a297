#include "UI/MenuText.hpp"

#include <QCoreApplication>

namespace tavelor {

QString localized(const char* text)
{
    return QCoreApplication::translate("Tavelor", text);
}

QString menuItemText(const QString& name)
{
    QString text = name;
    // QMenu draws what follows a tab in the shortcut column, right-aligned;
    // a name is one label, so its tabs show as spaces.
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    // QMenu reads "&x" as a mnemonic and "&&" as one ampersand.
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return text;
}

} // namespace tavelor
