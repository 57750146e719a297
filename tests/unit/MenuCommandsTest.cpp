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

    /// A live window of application A, and a profile that saved it at x = savedX.
    WindowProfile profileOfLiveWindow(const QString& name, bool active, double savedX)
    {
        addWindow(name, {0, 0, 100, 100});
        WindowProfile p = profile(name, active);
        p.snapshots.append(
            {QStringLiteral("org.example.A"), QStringLiteral("A"), name, {savedX, 50, 400, 300}});
        return p;
    }

    /// The x of each window, as the desktop now has it.
    std::vector<double> liveX()
    {
        std::vector<double> xs;
        for (const LiveWindow& w : *backend.windowSource().applications[0].windows)
            xs.push_back(w.position->first);
        return xs;
    }

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

TEST_F(Commands, TheGateAsksSilentlyThenPromptsThenShowsTheAlert)
{
    const WindowProfile p = profileOfLiveWindow("P", false, 500);
    writeProfiles({p});
    start();
    EXPECT_TRUE(controller->checkAccessibilityPermission());
    EXPECT_EQ(backend.windowAccess().promptingCalls, 0);

    backend.windowAccess().granted = false;
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
    }
    EXPECT_EQ(fileBytes(), before);
    EXPECT_TRUE(backend.windowSource().writes().empty());
    EXPECT_EQ(backend.windowAccess().promptingCalls, 4);

    // Granted through the prompt: the command goes on.
    backend.windowAccess().promptGrants = true;
    alerts.clear();
    answerWith(Alert::kFirstButtonReturn, "Granted");
    item({"Save Layout..."})->trigger();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].messageText, "Save Current Layout");
    EXPECT_EQ(fileProfiles().size(), 2);
}

TEST_F(Commands, SaveAppendsAnInactiveProfileOfTheLiveWindowsUnderTheTrimmedName)
{
    addWindow(QStringLiteral("Notes"), {10, 20, 640, 480});
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
    const WindowProfile& added = saved[1];
    EXPECT_EQ(added.name, "My  layout");
    EXPECT_FALSE(added.isActive);
    EXPECT_FALSE(added.id.isNull());
    EXPECT_NE(saved[2].id, added.id) << "one name, two profiles";
    EXPECT_LE(added.createdAt, added.updatedAt);
    ASSERT_EQ(added.snapshots.size(), 1);
    EXPECT_EQ(added.snapshots[0], (WindowSnapshot{QStringLiteral("org.example.A"),
                                                  QStringLiteral("A"),
                                                  QStringLiteral("Notes"),
                                                  {10, 20, 640, 480}}));
    EXPECT_NE(item({"My  layout", "Remove App", "A"}), nullptr);
    EXPECT_TRUE(backend.windowSource().writes().empty());
}

TEST_F(Commands, CancelledOrBlankNamesWriteNothing)
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
        item({"Old", "Rename..."})->trigger();
    }
    EXPECT_EQ(alerts.size(), 6u);
    EXPECT_EQ(fileBytes(), before);

    // Without a menu a save is still written.
    controller->setMenu(nullptr);
    answerWith(Alert::kFirstButtonReturn, "Headless");
    controller->saveLayout();
    EXPECT_EQ(fileProfiles().size(), 2);
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
    EXPECT_EQ(backend.windowSource().applyCalls(), 2);
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
    const WindowProfile r = profile("R", false);
    writeProfiles({p, q, r});
    start();
    item({"P", "Set as Active"})->trigger();

    QList<WindowProfile> saved = fileProfiles();
    ASSERT_EQ(saved.size(), 3);
    EXPECT_TRUE(saved[0].isActive);
    EXPECT_FALSE(saved[1].isActive || saved[2].isActive);
    EXPECT_EQ(saved[0].updatedAt, p.updatedAt);
    EXPECT_TRUE(item({"P"})->isChecked());
    EXPECT_NE(item({"Q", "Set as Active"}), nullptr);
    EXPECT_TRUE(backend.windowSource().writes().empty());

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
    EXPECT_TRUE(backend.windowSource().writes().empty());
    EXPECT_EQ(fileBytes(), before);
}

TEST_F(Commands, TheShortcutAppliesTheFirstActiveProfileOfTheFileAsItIsNow)
{
    saveHotKey(49, cmdKey);
    writeProfiles({profileOfLiveWindow("P", false, 500)});
    start();
    // No active profile: one beep.
    pressShortcut();
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(backend.windowSource().writes().empty());

    const WindowProfile q = profileOfLiveWindow("Q", true, 700);
    const WindowProfile r = profileOfLiveWindow("R", true, 900);
    writeProfiles({profile("P", false), q, r}); // marked active by hand, menu not rebuilt
    pressShortcut();
    EXPECT_EQ(liveX(), (std::vector<double>{700, 0, 0}));
    EXPECT_EQ(beeps, 1);

    // Without access: a beep, no prompt, no alert, no move.
    backend.windowAccess().granted = false;
    backend.windowAccess().promptGrants = true;
    pressShortcut();
    EXPECT_EQ(beeps, 2);
    EXPECT_TRUE(alerts.empty());
    EXPECT_EQ(backend.windowAccess().promptingCalls, 0);
    EXPECT_EQ(backend.windowSource().applyCalls(), 1);

    // The press posts the trigger; the controller goes before it runs.
    backend.globalShortcuts().press();
    controller.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(beeps, 2);
}

TEST_F(Commands, RenameTrimsTheNameAndStampsTheProfile)
{
    const WindowProfile p = profile("Old", true);
    const WindowProfile keep = profile("Keep", false);
    writeProfiles({p, keep});
    start();
    answerWith(Alert::kFirstButtonReturn, "  New  name\t");
    item({"Old", "Rename..."})->trigger();

    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].messageText, "Rename Profile");
    EXPECT_EQ(alerts[0].informativeText, "Enter a new name:");
    EXPECT_EQ(alerts[0].buttons, (QStringList{"Rename", "Cancel"}));
    QList<WindowProfile> saved = fileProfiles();
    EXPECT_EQ(saved[0].name, "New  name");
    EXPECT_EQ(saved[0].id, p.id);
    EXPECT_TRUE(saved[0].isActive);
    EXPECT_EQ(saved[0].createdAt, p.createdAt);
    EXPECT_GT(saved[0].updatedAt, p.updatedAt);
    EXPECT_NE(item({"New  name"}), nullptr);

    // Confirming the name unchanged still stamps it.
    answer = [](Alert&) { return Alert::kFirstButtonReturn; };
    item({"Keep", "Rename..."})->trigger();
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_EQ(alerts[1].textField, "Keep");
    saved = fileProfiles();
    EXPECT_EQ(saved[1].name, "Keep");
    EXPECT_GT(saved[1].updatedAt, keep.updatedAt);
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
    WindowProfile p = profile("P", true, {"A", "A", "B"});
    p.snapshots.append(p.snapshots[0]);          // an exact duplicate of the first
    p.snapshots[1].frame = p.snapshots[0].frame; // same app and frame, another title
    p.snapshots[1].windowTitle = QStringLiteral("Other");
    const WindowProfile single = profile("S", false, {"A"});
    writeProfiles({p, single});
    start();
    item({"P", "Remove App", "A (1)"})->trigger();

    QList<WindowProfile> saved = fileProfiles();
    ASSERT_EQ(saved[0].snapshots.size(), 2);
    EXPECT_EQ(saved[0].snapshots[0], p.snapshots[1]);
    EXPECT_EQ(saved[0].snapshots[1], p.snapshots[2]);
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
    gone.windowTitle = QStringLiteral("Closed long ago");
    stale.setData(QVariant::fromValue(MenuController::RemoveAppRef{p.id, gone}));
    const double stamped = saved[0].updatedAt;
    controller->removeApp(&stale);
    EXPECT_EQ(fileProfiles()[0].snapshots.size(), 2);
    EXPECT_GE(fileProfiles()[0].updatedAt, stamped);
}

} // namespace
} // namespace tavelor::test
