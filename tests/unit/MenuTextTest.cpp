#include "UI/MenuText.hpp"

#include "QtPrinters.hpp"

#include <gtest/gtest.h>

namespace tavelor {
namespace {

// What QMenu draws for a label: "&&" is an ampersand, "&x" marks x and shows
// it, a lone trailing "&" shows as itself.
QString drawnByQMenu(const QString& label)
{
    QString out;
    for (qsizetype i = 0; i < label.size(); ++i) {
        if (label[i] == '&' && i + 1 < label.size())
            ++i;
        out += label[i];
    }
    return out;
}

// What Qt's dbusmenu export sends (measured with Qt 6.4 over GetLayout): the
// first "&" not at the end becomes "_", nothing else changes.
QString exportedByQt(const QString& label)
{
    QString out = label;
    const qsizetype i = out.indexOf('&');
    if (i >= 0 && i < out.size() - 1)
        out[i] = '_';
    return out;
}

// What a panel shows for a dbusmenu label: "__" is an underscore, "_x" marks
// x and shows it.
QString drawnByPanel(const QString& label)
{
    QString out;
    for (qsizetype i = 0; i < label.size(); ++i) {
        if (label[i] == '_' && i + 1 < label.size())
            ++i;
        out += label[i];
    }
    return out;
}

class MenuItemText : public testing::TestWithParam<const char*> {};

TEST_P(MenuItemText, ShowsTheNameAsStoredOnBothTrayPaths)
{
    const QString name = QString::fromUtf8(GetParam());
    QString expected = name;
    expected.replace('\t', ' ');
    EXPECT_EQ(drawnByQMenu(menuItemText(name, MenuLabels::Widgets)), expected);
    EXPECT_EQ(drawnByPanel(exportedByQt(menuItemText(name, MenuLabels::DBusMenu))), expected);
}

INSTANTIATE_TEST_SUITE_P(Names, MenuItemText,
                         testing::Values("Plain", "", "Save & Load", "&", "&&", "a&", "&a",
                                         "snake_case", "_", "__init__", "_&_", "A&B&C_D__E",
                                         "tab\there", "\t", "Caf\u00e9 \U0001F600"));

} // namespace
} // namespace tavelor
