#include "Platform/Xdg/DesktopEntries.hpp"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tavelor::xdg {
namespace {

TEST(DesktopEntriesTest, LocaleKeysInTheOrderOfTheStandard)
{
    EXPECT_EQ(localeKeysFor(QStringLiteral("sr_RS.UTF-8@latin")),
              (QStringList{"sr_RS@latin", "sr_RS", "sr@latin", "sr"}));
    EXPECT_EQ(localeKeysFor(QStringLiteral("fr_FR.UTF-8")), (QStringList{"fr_FR", "fr"}));
    EXPECT_TRUE(localeKeysFor(QStringLiteral("C.UTF-8")).isEmpty());
    EXPECT_TRUE(localeKeysFor(QString()).isEmpty());
}

TEST(DesktopEntriesTest, ParsesTheBestLocalisedNameOfTheMainGroupOnly)
{
    const QByteArray contents = "# comment\n[Desktop Entry]\nName=Plain\nName[fr]=Fran\\scais\n"
                                "Name[fr_CA]=Qu\xc3\xa9"
                                "bec\nStartupWMClass = Thing \n"
                                "[Desktop Action new]\nName=Other\nName[fr_CA]=Autre\n";
    const auto entry = parseDesktopEntry(contents, QStringLiteral("t"), {"fr_CA", "fr"});
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name, QStringLiteral("Qu\u00e9bec"));
    EXPECT_EQ(entry->startupWmClass, QStringLiteral("Thing"));
    EXPECT_EQ(parseDesktopEntry(contents, "t", {"fr"})->name, QStringLiteral("Fran cais"));
    EXPECT_EQ(parseDesktopEntry(contents, "t", {})->name, QStringLiteral("Plain"));
    EXPECT_FALSE(parseDesktopEntry("[Desktop Entry]\nType=Application\n", "t", {}));
    EXPECT_FALSE(parseDesktopEntry("Name=No group\n", "t", {}));
}

class DesktopEntriesLookupTest : public ::testing::Test {
protected:
    void write(const QString& dataDir, const QString& relative, const QByteArray& contents)
    {
        const QString path = dataDir + QStringLiteral("/applications/") + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    QTemporaryDir m_home;
    QTemporaryDir m_system;
};

TEST_F(DesktopEntriesLookupTest, RulesInOrderAndTheUsersFolderFirst)
{
    write(m_system.path(), "org.example.Editor.desktop",
          "[Desktop Entry]\nName=Editor\nStartupWMClass=Editor\n");
    write(m_system.path(), "vendor/tool.desktop", "[Desktop Entry]\nName=Vendor Tool\n");
    write(m_system.path(), "term.desktop", "[Desktop Entry]\nName=Term by file name\n");
    write(m_system.path(), "org.example.Gtk.desktop", "[Desktop Entry]\nName=Gtk App\n");
    write(m_system.path(), "gone.desktop", "[Desktop Entry]\nName=Gone\n");
    write(m_home.path(), "gone.desktop", "[Desktop Entry]\nName=Gone\nHidden=true\n");
    write(m_home.path(), "org.example.Gtk.desktop", "[Desktop Entry]\nName=Mine\n");
    DesktopEntries entries({m_home.path(), m_system.path()}, QStringLiteral("C"));

    auto idOf = [&](const char* instance, const char* className, const char* gtk) {
        const DesktopEntry* entry = entries.find(instance, className, gtk);
        return entry ? entry->id + u'|' + entry->name : QString();
    };
    EXPECT_EQ(idOf("editor", "Editor", ""), "org.example.Editor|Editor");
    EXPECT_EQ(idOf("Editor", "whatever", ""), "org.example.Editor|Editor");
    EXPECT_EQ(idOf("term", "XTerm", ""), "term|Term by file name");
    EXPECT_EQ(idOf("x", "term", ""), "term|Term by file name");
    EXPECT_EQ(idOf("x", "y", "vendor-tool"), "vendor-tool|Vendor Tool");
    EXPECT_EQ(idOf("x", "y", "org.example.Gtk"), "org.example.Gtk|Mine");
    EXPECT_EQ(idOf("gone", "Gone", ""), QString());
    EXPECT_EQ(idOf("", "", ""), QString());
}

TEST_F(DesktopEntriesLookupTest, AnApplicationInstalledLaterIsFoundOnTheNextReload)
{
    write(m_system.path(), "first.desktop", "[Desktop Entry]\nName=First\n");
    DesktopEntries entries({m_home.path(), m_system.path()}, QStringLiteral("C"));
    ASSERT_TRUE(entries.find("first", "First", ""));
    EXPECT_FALSE(entries.find("later", "Later", ""));

    // The user's applications folder did not exist yet.
    write(m_home.path(), "later.desktop", "[Desktop Entry]\nName=Later\n");
    entries.reloadIfChanged();
    const DesktopEntry* later = entries.find("later", "Later", "");
    ASSERT_TRUE(later);
    EXPECT_EQ(later->name, QStringLiteral("Later"));
    EXPECT_TRUE(entries.find("first", "First", ""));
}

} // namespace
} // namespace tavelor::xdg
