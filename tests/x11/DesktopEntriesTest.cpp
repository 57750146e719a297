#include "Platform/Xdg/DesktopEntries.hpp"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tavelor::xdg {
namespace {

TEST(DesktopEntriesTest, ParsesTheBestLocalisedNameOfTheMainGroupOnly)
{
    // The locale keys, in the order of the standard.
    EXPECT_EQ(localeKeysFor(QStringLiteral("sr_RS.UTF-8@latin")),
              (QStringList{"sr_RS@latin", "sr_RS", "sr@latin", "sr"}));
    EXPECT_EQ(localeKeysFor(QStringLiteral("fr_FR.UTF-8")), (QStringList{"fr_FR", "fr"}));
    EXPECT_TRUE(localeKeysFor(QStringLiteral("C.UTF-8")).isEmpty() && localeKeysFor({}).isEmpty());
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

void write(const QTemporaryDir& dataDir, const QString& relative, const QByteArray& contents)
{
    const QString path = dataDir.path() + QStringLiteral("/applications/") + relative;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

TEST(DesktopEntriesTest, RulesInOrderTheUsersFolderFirstAndApplicationsInstalledLater)
{
    QTemporaryDir later, home, system;
    write(system, "org.example.Editor.desktop",
          "[Desktop Entry]\nName=Editor\nStartupWMClass=Editor\n");
    write(system, "vendor/tool.desktop", "[Desktop Entry]\nName=Vendor Tool\n");
    write(system, "term.desktop", "[Desktop Entry]\nName=Term by file name\n");
    write(system, "org.example.Gtk.desktop", "[Desktop Entry]\nName=Gtk App\n");
    write(system, "gone.desktop", "[Desktop Entry]\nName=Gone\n");
    write(home, "gone.desktop", "[Desktop Entry]\nName=Gone\nHidden=true\n");
    write(home, "org.example.Gtk.desktop", "[Desktop Entry]\nName=Mine\n");
    DesktopEntries entries({later.path(), home.path(), system.path()}, QStringLiteral("C"));

    auto idOf = [&](const char* instance, const char* className, const char* gtk,
                    DesktopEntries* in = nullptr) {
        const DesktopEntry* entry = (in ? *in : entries).find(instance, className, gtk);
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
    EXPECT_EQ(idOf("later", "Later", ""), QString());

    // Installed after the first read, in an applications folder that did not
    // exist yet.
    write(later, "later.desktop", "[Desktop Entry]\nName=Later\n");
    entries.reloadIfChanged();
    EXPECT_EQ(idOf("later", "Later", ""), "later|Later");
    EXPECT_EQ(idOf("editor", "Editor", ""), "org.example.Editor|Editor");

    // Without arguments: the folders and the language of the environment.
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    qputenv("XDG_DATA_DIRS", (later.path() + u':' + system.path()).toUtf8());
    qunsetenv("LC_ALL");
    qputenv("LC_MESSAGES", "fr_FR.UTF-8");
    write(home, "fr.desktop", "[Desktop Entry]\nName=Plain\nName[fr]=Fran\n");
    DesktopEntries fromEnvironment;
    EXPECT_EQ(idOf("fr", "", "", &fromEnvironment), "fr|Fran");
    EXPECT_EQ(idOf("org.example.Gtk", "", "", &fromEnvironment), "org.example.Gtk|Mine");
    EXPECT_EQ(idOf("later", "", "", &fromEnvironment), "later|Later");
}

} // namespace
} // namespace tavelor::xdg
