#include "MenuFixture.hpp"
#include "QtPrinters.hpp"

#include <QCoreApplication>

namespace tavelor::test {
namespace {

using namespace platform;

/// A desktop with one application, A, whose windows the tests add.
class Commands : public MenuFixture {
protected:
    Commands()
    {
        backend.source.applications = {
            {ApplicationKind::Regular, 7, "org.example.A", "A", std::vector<LiveWindow>{}}};
    }

    /// A live window of A, and a profile that saved it at x = savedX.
    WindowProfile profileOfLiveWindow(const QString& name, bool active, double savedX)
    {
        auto& windows = *backend.source.applications[0].windows;
        windows.push_back({QString::number(windows.size()), WindowRole::Window, name,
                           std::pair{0.0, 0.0}, std::pair{100.0, 100.0}});
        WindowProfile p = profile(name, active);
        p.snapshots.append({"org.example.A", "A", name, {savedX, 50, 400, 300}});
        return p;
    }
    /// The x of each window, as the desktop now has it.
    std::vector<double> liveX()
    {
        std::vector<double> xs;
        for (const LiveWindow& w : *backend.source.applications[0].windows)
            xs.push_back(w.position->first);
        return xs;
    }
    void pressShortcut()
    {
        backend.shortcuts.press();
        QCoreApplication::processEvents();
    }
};

TEST_F(Commands, WithoutAccessEachCommandPromptsThenAlertsAndChangesNothing)
{
    writeProfiles({profileOfLiveWindow("P", false, 500)});
    start();
    EXPECT_TRUE(controller->checkAccessibilityPermission());
    EXPECT_EQ(backend.access.promptingCalls, 0) << "asks silently first";

    backend.access.granted = false;
    const QByteArray before = fileBytes();
    for (const QStringList& path :
         {QStringList{"Save Layout..."}, {"P"}, {"P", "Apply"}, {"P", "Set as Active"}}) {
        alerts.clear();
        item(path)->trigger();
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0].messageText, "Accessibility Permission Required");
        EXPECT_EQ(alerts[0].informativeText,
                  "Tavelor needs Accessibility permission to scan and move windows. Please enable "
                  "it in System Settings > Privacy & Security > Accessibility.");
        EXPECT_EQ(alerts[0].style, Alert::Style::Warning);
        EXPECT_EQ(alerts[0].buttons, QStringList{"OK"});
    }
    EXPECT_EQ(fileBytes(), before);
    EXPECT_TRUE(backend.source.writes.empty());
    EXPECT_EQ(backend.access.promptingCalls, 4);

    // Granted through the prompt: the command goes on.
    backend.access.promptGrants = true;
    alerts.clear();
    answerWith(Alert::kFirstButtonReturn, "Granted");
    item({"Save Layout..."})->trigger();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].messageText, "Save Current Layout");
    EXPECT_EQ(fileProfiles().size(), 2);
}

TEST_F(Commands, SaveAppendsAnInactiveProfileOfTheLiveWindowsUnderTheTrimmedName)
{
    profileOfLiveWindow("Notes", false, 0);
    backend.source.applications[0].windows->at(0).position = std::pair{10.0, 20.0};
    writeProfiles({profile("Old", false)});
    start();
    answerWith(Alert::kFirstButtonReturn, "  My  layout \n");
    item({"Save Layout..."})->trigger();
    item({"Save Layout..."})->trigger();

    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_EQ(alerts[0].informativeText, "Enter a name for this profile:");
    EXPECT_EQ(alerts[0].style, Alert::Style::Informational);
    EXPECT_EQ(alerts[0].buttons, (QStringList{"Save", "Cancel"}));
    EXPECT_TRUE(alerts[0].hasTextField);
    const QList<WindowProfile> saved = fileProfiles();
    ASSERT_EQ(saved.size(), 3);
    EXPECT_EQ(saved[1].name, "My  layout");
    EXPECT_FALSE(saved[1].isActive);
    EXPECT_FALSE(saved[1].id.isNull());
    EXPECT_NE(saved[2].id, saved[1].id) << "one name, two profiles";
    EXPECT_LE(saved[1].createdAt, saved[1].updatedAt);
    EXPECT_EQ(saved[1].snapshots,
              (QList<WindowSnapshot>{{"org.example.A", "A", "Notes", {10, 20, 100, 100}}}));
    EXPECT_NE(item({"My  layout", "Remove App", "A"}), nullptr);
    EXPECT_TRUE(backend.source.writes.empty());

    // Cancelled, closed or blank names write nothing.
    const QByteArray before = fileBytes();
    for (const auto& [response, typed] :
         std::vector<std::pair<int, QString>>{{Alert::kFirstButtonReturn + 1, "Named"},
                                              {Alert::kAbortedReturn, "Named"},
                                              {Alert::kFirstButtonReturn, " \t\n\u2028 "}}) {
        answerWith(response, typed);
        item({"Save Layout..."})->trigger();
        item({"Old", "Rename..."})->trigger();
    }
    EXPECT_EQ(alerts.size(), 8u);
    EXPECT_EQ(fileBytes(), before);

    // Without a menu a save is still written.
    controller->setMenu(nullptr);
    answerWith(Alert::kFirstButtonReturn, "Headless");
    controller->saveLayout();
    EXPECT_EQ(fileProfiles().size(), 4);
}

TEST_F(Commands, ChoosingAProfileOrItsApplyAppliesItAndWritesNoFile)
{
    writeProfiles({profileOfLiveWindow("P", false, 500), profileOfLiveWindow("Q", true, 800)});
    start();
    const QByteArray before = fileBytes();
    item({"P"})->trigger();
    EXPECT_EQ(liveX(), (std::vector<double>{500, 0}));
    // One saved window of A takes the first live window of A, whatever its title.
    item({"Q", "Apply"})->trigger();
    EXPECT_EQ(liveX(), (std::vector<double>{800, 0}));
    EXPECT_EQ(backend.source.applyCalls, 2);
    EXPECT_EQ(fileBytes(), before);
    EXPECT_EQ(beeps, 0);
    // Choosing an item does not flip its check mark: it shows the file.
    EXPECT_FALSE(item({"P"})->isChecked());
    EXPECT_TRUE(item({"Q"})->isChecked());
}

TEST_F(Commands, SetAsActiveLeavesExactlyTheChosenProfileActive)
{
    const WindowProfile p = profile("P", false, {"A"}), q = profile("Q", true);
    writeProfiles({p, q, profile("R", false)});
    start();
    item({"P", "Set as Active"})->trigger();
    QList<WindowProfile> saved = fileProfiles();
    ASSERT_EQ(saved.size(), 3);
    EXPECT_TRUE(saved[0].isActive);
    EXPECT_FALSE(saved[1].isActive || saved[2].isActive);
    EXPECT_EQ(saved[0].updatedAt, p.updatedAt);
    EXPECT_TRUE(item({"P"})->isChecked());
    EXPECT_NE(item({"Q", "Set as Active"}), nullptr);
    EXPECT_TRUE(backend.source.writes.empty());

    item({"P", "Deactivate"})->trigger();
    EXPECT_FALSE(fileProfiles()[0].isActive);

    // A profile gone from the file since the menu was built: none is active.
    writeProfiles({q});
    item({"R", "Set as Active"})->trigger();
    saved = fileProfiles();
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
    EXPECT_TRUE(backend.source.writes.empty());
    EXPECT_EQ(fileBytes(), before);
}

TEST_F(Commands, TheShortcutAppliesTheFirstActiveProfileOfTheFileAsItIsNow)
{
    saveHotKey(49, cmdKey);
    writeProfiles({profileOfLiveWindow("P", false, 500)});
    start();
    pressShortcut(); // no active profile: one beep
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(backend.source.writes.empty());

    const WindowProfile q = profileOfLiveWindow("Q", true, 700);
    writeProfiles(
        {profile("P", false), q, profileOfLiveWindow("R", true, 900)}); // menu not rebuilt
    pressShortcut();
    EXPECT_EQ(liveX(), (std::vector<double>{700, 0, 0}));
    EXPECT_EQ(beeps, 1);

    // Without access: a beep, no prompt, no alert, no move.
    backend.access.granted = false;
    backend.access.promptGrants = true;
    pressShortcut();
    EXPECT_EQ(beeps, 2);
    EXPECT_TRUE(alerts.empty());
    EXPECT_EQ(backend.access.promptingCalls, 0);
    EXPECT_EQ(backend.source.applyCalls, 1);

    // The press posts the trigger; the controller goes before it runs.
    backend.shortcuts.press();
    controller.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(beeps, 2);
}

TEST_F(Commands, RenameTrimsTheNameAndStampsTheProfileEvenUnchanged)
{
    const WindowProfile p = profile("Old", true), keep = profile("Keep", false);
    writeProfiles({p, keep});
    start();
    answerWith(Alert::kFirstButtonReturn, "  New  name\t");
    item({"Old", "Rename..."})->trigger();
    answer = [](Alert&) { return Alert::kFirstButtonReturn; };
    item({"Keep", "Rename..."})->trigger();

    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_EQ(alerts[0].messageText, "Rename Profile");
    EXPECT_EQ(alerts[0].informativeText, "Enter a new name:");
    EXPECT_EQ(alerts[0].buttons, (QStringList{"Rename", "Cancel"}));
    EXPECT_EQ(alerts[1].textField, "Keep");
    const QList<WindowProfile> saved = fileProfiles();
    EXPECT_EQ(saved[0].name, "New  name");
    EXPECT_EQ(saved[0].id, p.id);
    EXPECT_TRUE(saved[0].isActive);
    EXPECT_EQ(saved[0].createdAt, p.createdAt);
    EXPECT_GT(saved[0].updatedAt, p.updatedAt);
    EXPECT_NE(item({"New  name"}), nullptr);
    EXPECT_EQ(saved[1].name, "Keep");
    EXPECT_GT(saved[1].updatedAt, keep.updatedAt);
}

TEST_F(Commands, DeletingTheActiveProfileLeavesNoneActive)
{
    saveHotKey(49, cmdKey);
    const WindowProfile a = profile("A", false), c = profile("C", false);
    writeProfiles({a, profile("B", true), c});
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
    WindowProfile p = profile("P", true, {"A", "A", "B"});
    p.snapshots.append(p.snapshots[0]);          // an exact duplicate of the first
    p.snapshots[1].frame = p.snapshots[0].frame; // same app and frame, another title
    p.snapshots[1].windowTitle = "Other";
    writeProfiles({p, profile("S", false, {"A"})});
    start();
    item({"P", "Remove App", "A (1)"})->trigger();
    QList<WindowProfile> saved = fileProfiles();
    EXPECT_EQ(saved[0].snapshots, (QList<WindowSnapshot>{p.snapshots[1], p.snapshots[2]}));
    EXPECT_GT(saved[0].updatedAt, p.updatedAt);
    EXPECT_TRUE(saved[0].isActive);

    // The last window goes, the profile stays, with nothing left to remove.
    item({"S", "Remove App", "A"})->trigger();
    saved = fileProfiles();
    ASSERT_EQ(saved.size(), 2);
    EXPECT_TRUE(saved[1].snapshots.isEmpty());
    EXPECT_EQ(item({"S", "Remove App"}), nullptr);

    // A window no longer in the profile: nothing removed, still stamped.
    QAction stale;
    WindowSnapshot gone = p.snapshots[2];
    gone.windowTitle = "Closed long ago";
    stale.setData(QVariant::fromValue(MenuController::RemoveAppRef{p.id, gone}));
    controller->removeApp(&stale);
    EXPECT_EQ(fileProfiles()[0].snapshots.size(), 2);
    EXPECT_GE(fileProfiles()[0].updatedAt, saved[0].updatedAt);
}

} // namespace
} // namespace tavelor::test
