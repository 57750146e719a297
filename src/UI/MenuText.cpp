#include "UI/MenuText.hpp"

#include <QCoreApplication>

namespace tavelor {

QString localized(const char* text, const char* disambiguation)
{
    return QCoreApplication::translate("Tavelor", text, disambiguation);
}

QString menuItemText(const QString& name, MenuLabels labels)
{
    QString text = name;
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    if (labels == MenuLabels::Widgets) {
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        return text;
    }
    text.replace(QLatin1Char('_'), QStringLiteral("__"));
    // Qt would turn the name's first "&" into a mnemonic mark and hide it. A
    // leading "&" of our own takes that conversion instead: it becomes "_",
    // which makes the first character the mnemonic and shows nothing itself,
    // and every "&" of the name then passes through as it is.
    if (text.contains(QLatin1Char('&')))
        text.prepend(QLatin1Char('&'));
    return text;
}

} // namespace tavelor
