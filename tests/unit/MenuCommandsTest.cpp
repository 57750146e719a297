#include "MenuFixture.hpp"
#include "Models/HotKey.hpp"
#include "QtPrinters.hpp"

#include <QAction>
#include <QCoreApplication>

namespace tavelor::test {
namespace {

using namespace platform;

class Commands : public MenuFixture {
protected:
    Commands()
    {
        backend.windowSource().applications = {
            LiveApplication{ApplicationKind::Regular, 7, QStringLiteral("org.example.A"),
                            QStringLiteral("A"), std::vector<LiveWindow>{}}};
    }

    void addWindow(const QString& title, const WindowFrame& f)
    {
        auto& windows = *backend.windowSource().applications[0].windows;
        windows.push_back(LiveWindow{QString::number(windows.size()), WindowRole::Window, title,
                                     std::pair{f.x, f.y}, std::pair{f.width, f.height}});
    }

    /// A live window of application A, and a profile that saved it elsewhere.
    WindowProfile profileOfLiveWindow(const QString& name, bool active, double savedX)
    {
        addWindow(name, {0, 0, 100, 100});
        WindowProfile p = profile(name, active);
        p.snapshots.append(
            {QStringLiteral("org.example.A"), QStringLiteral("A"), name, {savedX, 50, 400, 300}});
        return p;
    }

    /// The x of every position written to a window, in order.
    std::vector<double> writtenX()
    {
        std::vector<double> xs;
        for (const auto& write : backend.windowSource().writes())
            if (write.part == FrameWrite::Part::Position)
                xs.push_back(write.first);
        return xs;
    }

    /// Presses the registered shortcut and runs what it posted.
    void pressShortcut()
    {
        backend.globalShortcuts().press();
        QCoreApplication::processEvents();
    }

    void answerWith(int response, const QString& typed)
    {
        answer = [response, typed](Alert& alert) {
            alert.setTextFieldString(typed);
            return response;
        };
    }
};

// The permission gate.

TEST_F(Commands, WithThePermissionTheGateAsksOnceAndShowsNothing)
{
    start();
    EXPECT_TRUE(controller->checkAccessibilityPermission());
    EXPECT_EQ(backend.windowAccess().silentCalls, 1);
    EXPECT_EQ(backend.windowAccess().promptingCalls, 0);
    EXPECT_TRUE(alerts.empty());
}

TEST_F(Commands, APermissionGrantedThroughThePromptLetsTheCommandGoOn)
{
    backend.windowAccess().granted = false;
    backend.windowAccess().promptGrants = true;
    start();
    answerWith(Alert::kFirstButtonReturn, "Granted");
    item({"Save Layout..."})->trigger();
    EXPECT_EQ(backend.windowAccess().promptingCalls, 1);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].messageText, "Save Current Layout");
    EXPECT_EQ(fileProfiles().size(), 1);
}

TEST_F(Commands, ARefusedPermissionShowsTheAlertAndChangesNothing)
{
    const WindowProfile p = profileOfLiveWindow("P", false, 500);
    writeProfiles({p});
    backend.windowAccess().granted = false;
    start();
    const QByteArray before = fileBytes();

    for (const QStringList& path :
         {QStringList{"Save Layout..."}, {"P"}, {"P", "Apply"}, {"P", "Set as Active"}}) {
        SCOPED_TRACE(path.join(" > ").toStdString());
        alerts.clear();
        item(path)->trigger();
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0].messageText, "Accessibility Permission Required");
        EXPECT_EQ(alerts[0].informativeText,
                  "Tavelor needs Accessibility permission to scan and move windows. Please enable "
                  "it in System Settings > Privacy & Security > Accessibility.");
        EXPECT_EQ(alerts[0].style, Alert::Style::Warning);
        EXPECT_EQ(alerts[0].buttons, QStringList{"OK"});
        EXPECT_FALSE(alerts[0].hasTextField);
    }
    EXPECT_EQ(fileBytes(), before);
    EXPECT_TRUE(backend.windowSource().writes().empty());
    EXPECT_EQ(backend.windowAccess().promptingCalls, 4);
}

// Saving a layout.

TEST_F(Commands, SaveAsksForANameAndAppendsAnInactiveProfileOfTheLiveWindows)
{
    addWindow(QStringLiteral("Notes"), {10, 20, 640, 480});
    writeProfiles({profile("Old", false)});
    start();
    answerWith(Alert::kFirstButtonReturn, "  My  layout \n");
    item({"Save Layout..."})->trigger();

    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].informativeText, "Enter a name for this profile:");
    EXPECT_EQ(alerts[0].style, Alert::Style::Informational);
    EXPECT_EQ(alerts[0].buttons, (QStringList{"Save", "Cancel"}));
    EXPECT_TRUE(alerts[0].hasTextField);

    const QList<WindowProfile> saved = fileProfiles();
    ASSERT_EQ(saved.size(), 2);
    const WindowProfile& added = saved[1];
    EXPECT_EQ(added.name, "My  layout");
    EXPECT_FALSE(added.isActive);
    EXPECT_FALSE(added.id.isNull());
    EXPECT_LE(added.createdAt, added.updatedAt);
    ASSERT_EQ(added.snapshots.size(), 1);
    EXPECT_EQ(added.snapshots[0], (WindowSnapshot{QStringLiteral("org.example.A"),
                                                  QStringLiteral("A"),
                                                  QStringLiteral("Notes"),
                                                  {10, 20, 640, 480}}));
    EXPECT_NE(item({"My  layout", "Remove App", "A"}), nullptr);
}

TEST_F(Commands, SavingTwiceUnderOneNameMakesTwoProfiles)
{
    start();
    answerWith(Alert::kFirstButtonReturn, "Same");
    item({"Save Layout..."})->trigger();
    item({"Save Layout..."})->trigger();
    const QList<WindowProfile> saved = fileProfiles();
    ASSERT_EQ(saved.size(), 2);
    EXPECT_EQ(saved[1].name, "Same");
    EXPECT_NE(saved[0].id, saved[1].id);
    EXPECT_TRUE(saved[0].snapshots.isEmpty());
}

TEST_F(Commands, CancelOrABlankNameSavesNothing)
{
    writeProfiles({profile("Old", false)});
    start();
    const QByteArray before = fileBytes();
    for (const auto& [response, typed] :
         std::vector<std::pair<int, QString>>{{Alert::kFirstButtonReturn + 1, "Named"},
                                              {Alert::kAbortedReturn, "Named"},
                                              {Alert::kFirstButtonReturn, " \t\n\u2028 "}}) {
        answerWith(response, typed);
        item({"Save Layout..."})->trigger();
    }
    EXPECT_EQ(alerts.size(), 3u);
    EXPECT_EQ(fileBytes(), before);
}

TEST_F(Commands, AProfileSavedWithTheMenuGoneIsStillWritten)
{
    start();
    controller->setMenu(nullptr);
    answerWith(Alert::kFirstButtonReturn, "Headless");
    controller->saveLayout();
    EXPECT_EQ(fileProfiles().size(), 1);
    EXPECT_EQ(controller->profiles().size(), 1);
}

// Applying and activating.

TEST_F(Commands, ChoosingAProfileOrItsApplyAppliesItWhetherActiveOrNotAndWritesNothing)
{
    writeProfiles({profileOfLiveWindow("P", false, 500), profileOfLiveWindow("Q", true, 800)});
    start();
    const QByteArray before = fileBytes();
    item({"P"})->trigger();
    EXPECT_EQ(writtenX(), (std::vector<double>{500, 500}));
    item({"Q", "Apply"})->trigger();
    EXPECT_EQ(writtenX(), (std::vector<double>{500, 500, 800, 800}));
    EXPECT_EQ(fileBytes(), before);
    EXPECT_EQ(beeps, 0);
    // Choosing an item does not flip its check mark: it shows the file.
    EXPECT_FALSE(item({"P"})->isChecked());
    EXPECT_TRUE(item({"Q"})->isChecked());
}

TEST_F(Commands, SetAsActiveLeavesExactlyTheChosenProfileActive)
{
    const WindowProfile p = profile("P", false, {"A"});
    const WindowProfile q = profile("Q", true);
    writeProfiles({p, q});
    start();
    item({"P", "Set as Active"})->trigger();

    const QList<WindowProfile> saved = fileProfiles();
    ASSERT_EQ(saved.size(), 2);
    EXPECT_TRUE(saved[0].isActive);
    EXPECT_FALSE(saved[1].isActive);
    EXPECT_EQ(saved[0].updatedAt, p.updatedAt);
    EXPECT_EQ(saved[1].updatedAt, q.updatedAt);
    EXPECT_TRUE(item({"P"})->isChecked());
    EXPECT_NE(item({"P", "Deactivate"}), nullptr);
    EXPECT_NE(item({"Q", "Set as Active"}), nullptr);
    EXPECT_TRUE(backend.windowSource().writes().empty());

    // Choosing it again keeps it active.
    item({"P", "Deactivate"})->trigger();
    EXPECT_FALSE(fileProfiles()[0].isActive);
    EXPECT_FALSE(fileProfiles()[1].isActive);
}

TEST_F(Commands, ActivatingAProfileGoneFromTheFileLeavesNoneActive)
{
    const WindowProfile p = profile("P", false);
    const WindowProfile q = profile("Q", true);
    writeProfiles({p, q});
    start();
    writeProfiles({q}); // changed from outside after the menu was built
    item({"P", "Set as Active"})->trigger();
    const QList<WindowProfile> saved = fileProfiles();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_FALSE(saved[0].isActive);
}

TEST_F(Commands, ItemsCarryingAnythingButAKnownIdDoNothing)
{
    writeProfiles({profileOfLiveWindow("P", false, 500)});
    start();
    const QByteArray before = fileBytes();
    QAction stray;
    for (const QVariant& data : {QVariant(), QVariant(QUuid::createUuid()),
                                 QVariant(controller->profiles()[0].id.toString())}) {
        stray.setData(data);
        controller->applyProfile(&stray);
        controller->setActiveProfile(&stray);
        controller->renameProfile(&stray);
        controller->deleteProfile(&stray);
        controller->removeApp(&stray);
    }
    controller->applyProfile(nullptr);
    EXPECT_TRUE(alerts.empty());
    EXPECT_EQ(beeps, 0);
    EXPECT_TRUE(backend.windowSource().writes().empty());
    EXPECT_EQ(fileBytes(), before);
}

// The shortcut.

TEST_F(Commands, TheShortcutAppliesTheFirstActiveProfileOfTheFileAsItIsNow)
{
    saveHotKey(49, cmdKey);
    writeProfiles({profileOfLiveWindow("P", false, 500)});
    start();
    const WindowProfile q = profileOfLiveWindow("Q", true, 700);
    const WindowProfile r = profileOfLiveWindow("R", true, 900);
    writeProfiles({profile("P", false), q, r}); // marked active by hand, menu not rebuilt
    pressShortcut();
    EXPECT_EQ(writtenX(), (std::vector<double>{700, 700}));
    EXPECT_EQ(beeps, 0);
    EXPECT_TRUE(alerts.empty());
}

TEST_F(Commands, TheShortcutBeepsOnceWithNoActiveProfile)
{
    saveHotKey(49, cmdKey);
    writeProfiles({profileOfLiveWindow("P", false, 500)});
    start();
    pressShortcut();
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(backend.windowSource().writes().empty());
}

TEST_F(Commands, TheShortcutWithoutThePermissionBeepsOnceAndShowsNothing)
{
    saveHotKey(49, cmdKey);
    writeProfiles({profileOfLiveWindow("P", true, 500)});
    backend.windowAccess().granted = false;
    backend.windowAccess().promptGrants = true;
    start();
    pressShortcut();
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(alerts.empty());
    EXPECT_EQ(backend.windowAccess().promptingCalls, 0);
    EXPECT_TRUE(backend.windowSource().writes().empty());
}

TEST_F(Commands, AShortcutPressAfterTheControllerIsGoneDoesNothing)
{
    saveHotKey(49, cmdKey);
    start();
    // The press posts the trigger; the controller goes before it runs.
    backend.globalShortcuts().press();
    controller.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(beeps, 0);
}

// Editing profiles.

TEST_F(Commands, RenameTrimsTheNameAndStampsTheProfile)
{
    const WindowProfile p = profile("Old", true);
    writeProfiles({p, profile("Other", false)});
    start();
    answerWith(Alert::kFirstButtonReturn, "  New  name\t");
    item({"Old", "Rename..."})->trigger();

    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].messageText, "Rename Profile");
    EXPECT_EQ(alerts[0].informativeText, "Enter a new name:");
    EXPECT_EQ(alerts[0].buttons, (QStringList{"Rename", "Cancel"}));
    const QList<WindowProfile> saved = fileProfiles();
    EXPECT_EQ(saved[0].name, "New  name");
    EXPECT_EQ(saved[0].id, p.id);
    EXPECT_TRUE(saved[0].isActive);
    EXPECT_EQ(saved[0].createdAt, p.createdAt);
    EXPECT_GT(saved[0].updatedAt, p.updatedAt);
    EXPECT_NE(item({"New  name"}), nullptr);
}

TEST_F(Commands, RenameOffersTheCurrentNameAndConfirmingItUnchangedStillWrites)
{
    const WindowProfile p = profile("Keep", false);
    writeProfiles({p});
    start();
    item({"Keep", "Rename..."})->trigger();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].textField, "Keep");
    EXPECT_EQ(fileProfiles()[0].name, "Keep");
    EXPECT_GT(fileProfiles()[0].updatedAt, p.updatedAt);
}

TEST_F(Commands, RenameCancelledOrBlankWritesNothing)
{
    writeProfiles({profile("Old", false)});
    start();
    const QByteArray before = fileBytes();
    answerWith(Alert::kFirstButtonReturn + 1, "New");
    item({"Old", "Rename..."})->trigger();
    answerWith(Alert::kFirstButtonReturn, "  \n ");
    item({"Old", "Rename..."})->trigger();
    EXPECT_EQ(fileBytes(), before);
}

TEST_F(Commands, DeletingTheActiveProfileLeavesNoneActive)
{
    saveHotKey(49, cmdKey);
    const WindowProfile a = profile("A", false);
    const WindowProfile b = profile("B", true);
    const WindowProfile c = profile("C", false);
    writeProfiles({a, b, c});
    start();
    item({"B", "Delete"})->trigger();
    const QList<WindowProfile> saved = fileProfiles();
    ASSERT_EQ(saved.size(), 2);
    EXPECT_EQ(saved[0].id, a.id);
    EXPECT_EQ(saved[1].id, c.id);
    EXPECT_FALSE(saved[0].isActive || saved[1].isActive);
    pressShortcut();
    EXPECT_EQ(beeps, 1);

    item({"A", "Delete"})->trigger();
    item({"C", "Delete"})->trigger();
    EXPECT_EQ(fileBytes(), QByteArray("[]"));
    EXPECT_NE(item({"No profiles yet"}), nullptr);
}

TEST_F(Commands, RemoveAppRemovesEveryExactCopyOfTheChosenWindowOnly)
{
    WindowProfile p = profile("P", false, {"A", "A", "B"});
    p.snapshots.append(p.snapshots[0]);          // an exact duplicate of the first
    p.snapshots[1].frame = p.snapshots[0].frame; // same app and frame, another title
    p.snapshots[1].windowTitle = QStringLiteral("Other");
    writeProfiles({p});
    start();
    item({"P", "Remove App", "A (1)"})->trigger();

    const QList<WindowProfile> saved = fileProfiles();
    ASSERT_EQ(saved[0].snapshots.size(), 2);
    EXPECT_EQ(saved[0].snapshots[0], p.snapshots[1]);
    EXPECT_EQ(saved[0].snapshots[1], p.snapshots[2]);
    EXPECT_GT(saved[0].updatedAt, p.updatedAt);
}

TEST_F(Commands, RemovingTheLastWindowKeepsTheProfile)
{
    const WindowProfile p = profile("P", true, {"A"});
    writeProfiles({p});
    start();
    item({"P", "Remove App", "A"})->trigger();
    const QList<WindowProfile> saved = fileProfiles();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_TRUE(saved[0].snapshots.isEmpty());
    EXPECT_TRUE(saved[0].isActive);
    EXPECT_EQ(saved[0].name, "P");
    // No windows left: nothing to remove in the submenu.
    EXPECT_EQ(item({"P", "Remove App"}), nullptr);
}

TEST_F(Commands, RemovingAWindowNoLongerInTheProfileStillStampsIt)
{
    const WindowProfile p = profile("P", false, {"A"});
    writeProfiles({p});
    start();
    QAction stale;
    WindowSnapshot gone = p.snapshots[0];
    gone.windowTitle = QStringLiteral("Closed long ago");
    stale.setData(QVariant::fromValue(MenuController::RemoveAppRef{p.id, gone}));
    controller->removeApp(&stale);
    const QList<WindowProfile> saved = fileProfiles();
    EXPECT_EQ(saved[0].snapshots.size(), 1);
    EXPECT_GT(saved[0].updatedAt, p.updatedAt);
}

} // namespace
} // namespace tavelor::test
