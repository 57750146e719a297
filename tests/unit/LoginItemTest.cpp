#include "Platform/Xdg/XdgLoginItems.hpp"
#include "Services/LoginItemService.hpp"
#include "TestProfiles.hpp"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tavelor {
namespace {

using platform::LoginItemStatus;
using test::writeFile;
using xdg::XdgLoginItems;

// The executable sits in a folder with every character the entry must escape:
// blanks, both quotes, a backslash, a field code and a dollar.
class XdgLogin : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(root.path() + "/a b\"c%fd'e\\g$h"));
        ASSERT_TRUE(writeFile(executable, "#!/bin/sh\n"));
        QFile::setPermissions(executable, QFile::ReadOwner | QFile::ExeOwner);
    }
    XdgLoginItems items() const { return XdgLoginItems(autostart, executable); }

    QTemporaryDir root;
    QString executable = root.path() + "/a b\"c%fd'e\\g$h/tav elor";
    QString autostart = root.path() + "/config/autostart";
    QString entry = autostart + "/tavelor.desktop";
};

TEST_F(XdgLogin, EnablingWritesAnEntryThatNamesTheExecutableAndTheStatusReadsIt)
{
    // Toggled through the menu: tray_e2e MainJourneyTest.
    XdgLoginItems login = items();
    EXPECT_EQ(login.status(), LoginItemStatus::NotRegistered);
    ASSERT_TRUE(LoginItemService::setEnabled(login, true));
    EXPECT_EQ(login.status(), LoginItemStatus::Enabled);
    const QByteArray text = test::readFile(entry), folder = QFile::encodeName(root.path());
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\nType=Application\n"));
    // Quoted for the command line (\" \\ \$ %%), then each backslash doubled as a string value.
    EXPECT_TRUE(
        text.contains("\nExec=\"" + folder + "/a b\\\\\"c%%fd'e\\\\\\\\g\\\\$h/tav elor\"\n"));
    // TryExec is a path, not a command line: string escapes only.
    EXPECT_TRUE(text.contains("\nTryExec=" + folder + "/a b\"c%fd'e\\\\g$h/tav elor\n"));
    // Only arguments with reserved characters are quoted.
    for (const auto& [argument, written] : {std::pair{"/usr/bin/tavelor", "/usr/bin/tavelor"},
                                            {"/opt/100%/tavelor", "/opt/100%%/tavelor"},
                                            {"/opt/a`b/t", "\"/opt/a\\\\`b/t\""},
                                            {"/opt/a\nb", "\"/opt/a\\nb\""}})
        EXPECT_EQ(XdgLoginItems::execArgument(argument), written);

    ASSERT_TRUE(LoginItemService::setEnabled(login, false));
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_EQ(login.status(), LoginItemStatus::NotRegistered);
    EXPECT_TRUE(LoginItemService::setEnabled(login, false)) << "a missing entry is success";

    const QByteArray ours = XdgLoginItems::entryText(executable);
    const std::pair<QByteArray, bool> cases[] = {
        {ours, true},
        {ours + "Hidden=true\n", false},
        {ours + "Hidden = true\n", false},
        {QByteArray(ours).replace("Autostart-enabled=true", "Autostart-enabled=false"), false},
        {ours + "[Desktop Action x]\nHidden=true\n", true}, // another group
        {XdgLoginItems::entryText("/usr/bin/other"), false},
        {"[Desktop Entry]\nType=Application\nExec=tavelor\n", false}, // no TryExec
    };
    for (const auto& [contents, enabled] : cases) {
        ASSERT_TRUE(writeFile(entry, contents));
        EXPECT_EQ(items().status() == LoginItemStatus::Enabled, enabled) << contents.constData();
    }
    // A missing executable is not found and cannot be registered.
    ASSERT_TRUE(writeFile(entry, ours));
    QFile::remove(executable);
    EXPECT_EQ(items().status(), LoginItemStatus::NotFound);
    QString error;
    EXPECT_FALSE(items().setEnabled(true, error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
} // namespace tavelor
