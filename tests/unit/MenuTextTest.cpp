#include "UI/MenuText.hpp"

#include <gtest/gtest.h>

namespace tavelor {
namespace {

// What a menu shows for a label: a marker character shows the character after it
// (twice is the marker itself); a marker at the end shows as itself. QMenu's marker is
// "&", a panel's dbusmenu marker "_".
QString drawn(const QString& label, QChar marker)
{
    QString out;
    for (qsizetype i = 0; i < label.size(); ++i)
        out += label[i == label.size() - 1 || label[i] != marker ? i : ++i];
    return out;
}

// What Qt's dbusmenu export sends (measured with Qt 6.4 over GetLayout): the first "&"
// not at the end becomes "_", nothing else changes.
QString exportedByQt(QString label)
{
    const qsizetype i = label.indexOf('&');
    if (i >= 0 && i < label.size() - 1)
        label[i] = '_';
    return label;
}

TEST(MenuItemText, ShowsTheNameAsStoredOnBothTrayPaths)
{
    for (const char* text :
         {"Plain", "", "Save & Load", "&", "&&", "a&", "&a", "snake_case", "_", "__init__", "_&_",
          "A&B&C_D__E", "tab\there", "\t", "Caf\u00e9 \U0001F600"}) {
        const QString name = QString::fromUtf8(text);
        const QString expected = QString(name).replace('\t', ' ');
        EXPECT_EQ(drawn(menuItemText(name, MenuLabels::Widgets), '&'), expected) << text;
        EXPECT_EQ(drawn(exportedByQt(menuItemText(name, MenuLabels::DBusMenu)), '_'), expected)
            << text;
    }
}

} // namespace
} // namespace tavelor
