#include "MenuFixture.hpp"

#include <QCoreApplication>

namespace tavelor::test {
namespace {

using namespace platform;
using Menu = MenuFixture;

TEST_F(Menu, TheWorkedExampleRebuiltFromTheFileInItsOrder)
{
    // A saved shortcut the system refuses and a login item not found: neither shows.
    saveHotKey(49, cmdKey);
    backend.shortcuts.refusal = platform::GlobalShortcuts::GrabResult::Taken;
    backend.login.currentStatus = LoginItemStatus::NotFound;
    start();
    controller->refresh(&menu);
    EXPECT_EQ(outline(&menu).join('|'),
              QString::fromUtf8("Save Layout...|---|(disabled) No profiles yet|---|"
                                "Raccourci clavier…|Launch at Login|---|Quit"));

    // Several active profiles each carry the mark and offer "Deactivate".
    store.save({profile("P", true, {"A", "B", "B"}), profile("Q", false), profile("M", true)});
    backend.shortcuts.refusal = platform::GlobalShortcuts::GrabResult::Grabbed;
    backend.login.currentStatus = LoginItemStatus::Enabled;
    start();
    EXPECT_EQ(outline(&menu).join('|'),
              QString::fromUtf8("Save Layout...|---|[x] P|  Apply|  Deactivate|  ---|  Rename...|"
                                "  Remove App|    A|    B (1)|    B (2)|  ---|  Delete|Q|  Apply|"
                                "  Set as Active|  ---|  Rename...|  ---|  Delete|[x] M|  Apply|"
                                "  Deactivate|  ---|  Rename...|  ---|  Delete|---|"
                                "Raccourci clavier… (⌘Space)|[x] Launch at Login|---|Quit"));
    // Only "Quit" has a shortcut, the toolkit's own.
    for (const QAction* action : menu.findChildren<QAction*>())
        EXPECT_EQ(action->shortcut(),
                  action->text() == "Quit" ? QKeySequence(QKeySequence::Quit) : QKeySequence())
            << action->text().toStdString();

    // A failed login change logs one line and keeps the mark; the toggle acts without a menu
    // (toggling itself is checked end to end: tray_e2e MainJourneyTest).
    backend.login.failure = "boom %@"; // the error keeps a "%@" of its own
    testing::internal::CaptureStderr();
    item({"Launch at Login"})->trigger();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Tavelor: échec du unregister du démarrage au login : boom %@\n");
    EXPECT_TRUE(item({"Launch at Login"})->isChecked());
    EXPECT_TRUE(alerts.empty());

    backend.login.failure.clear();
    QAction* login = item({"Launch at Login"});
    controller->setMenu(nullptr);
    login->trigger();
    EXPECT_EQ(backend.login.currentStatus, LoginItemStatus::NotRegistered);
}

TEST_F(Menu, RemoveAppNumbersOnlyNamesThatRepeat)
{
    const QString composed = QString::fromUtf8("Caf\u00e9"), decomposed = "Cafe\u0301";
    const std::vector<std::pair<QList<std::optional<QString>>, QStringList>> cases = {
        {{"A", "A", "B", "A"}, {"A (1)", "A (2)", "B", "A (3)"}},
        // Canonically equal names count as one.
        {{composed, decomposed}, {composed + " (1)", decomposed + " (2)"}},
        {{std::nullopt, "A", std::nullopt}, {"Unknown app (1)", "A", "Unknown app (2)"}},
        {{QString(), std::nullopt}, {"", "Unknown app"}}, // an empty name is a name
        {{"a", "A"}, {"a", "A"}},
        {{"A&B"}, {"A&&B"}}, // QMenu shows "&&" as the stored "&"
        {{"A\tB"}, {"A B"}}, // a tab would start QMenu's shortcut column
    };
    QList<WindowProfile> profiles;
    for (const auto& [names, titles] : cases)
        profiles << profile(QString::number(profiles.size()), false, names);
    profiles << profile("Save & Load", false);
    store.save(profiles);
    start();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        QStringList titles;
        for (const QAction* action : item({QString::number(i), "Remove App"})->menu()->actions())
            titles << action->text();
        EXPECT_EQ(titles, cases[i].second);
    }
    EXPECT_NE(item({"Save && Load"}), nullptr);
}

class Commands : public MenuFixture {
protected:
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
    /// The file as "name*+[app:title,...]" a profile (* active, + stamped since made),
    /// with "(not in the menu)" after a profile the menu does not show as it is; an
    /// empty list as the file's bytes.
    QString state()
    {
        const QList<WindowProfile> profiles = store.load();
        if (profiles.isEmpty())
            return fileBytes();
        QStringList out;
        qsizetype inMenu = 0;
        for (const QAction* a : menu.actions())
            inMenu += a->menu() != nullptr;
        for (const WindowProfile& p : profiles) {
            QStringList windows;
            for (const WindowSnapshot& s : p.snapshots)
                windows << *s.appName + ":" + *s.windowTitle;
            const QAction* shown = item({p.name});
            out << p.name + (p.isActive ? "*" : "") + (p.updatedAt > 200 ? "+" : "") + "[" +
                       windows.join(',') + "]" +
                       (shown && shown->isChecked() == p.isActive ? "" : "(not in the menu)");
        }
        if (inMenu != out.size())
            out << QString("(the menu shows %1)").arg(inMenu);
        return out.join(' ');
    }
};

TEST_F(Commands, WithoutAccessEachCommandAlertsThenAProfileOrItsApplyAppliesIt)
{
    saveHotKey(49, cmdKey);
    store.save({profileOfLiveWindow("P", false, 500), profileOfLiveWindow("Q", true, 800)});
    start();
    EXPECT_TRUE(controller->checkAccessibilityPermission());
    EXPECT_EQ(backend.access.promptingCalls, 0) << "asks silently first";

    backend.access.granted = false;
    const QByteArray before = fileBytes();
    for (const QStringList& path :
         {QStringList{"Save Layout..."}, {"P"}, {"P", "Apply"}, {"P", "Set as Active"}})
        item(path)->trigger();
    backend.access.promptGrants = true;
    pressShortcut(); // the shortcut never prompts or alerts: a beep, no move
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(alerts, QStringList(4, "warning|Accessibility Permission Required|Tavelor needs "
                                     "Accessibility permission to scan and move windows. Please "
                                     "enable it in System Settings > Privacy & Security > "
                                     "Accessibility.|OK|-"));
    EXPECT_TRUE(backend.source.writes.empty());
    EXPECT_EQ(backend.access.promptingCalls, 4);

    // Granted through the prompt: the command goes on, and applying writes no file.
    item({"P"})->trigger();
    EXPECT_EQ(liveX(), (std::vector<double>{500, 0}));
    // One saved window of A takes the first live window of A, whatever its title.
    item({"Q", "Apply"})->trigger();
    EXPECT_EQ(liveX(), (std::vector<double>{800, 0}));
    EXPECT_EQ(fileBytes(), before);
    // Choosing an item does not flip its check mark: it shows the file.
    EXPECT_EQ(state(), "P[A:P] Q*[A:Q]");
    answerWith(Alert::kFirstButtonReturn, "Granted");
    item({"Save Layout..."})->trigger();
    EXPECT_EQ(alerts.mid(4), QStringList{"info|Save Current Layout|Enter a name for this "
                                         "profile:|Save,Cancel|Granted"});
}

TEST_F(Commands, SaveAppendsAnInactiveProfileOfTheLiveWindowsUnderTheTrimmedName)
{
    profileOfLiveWindow("Notes", false, 0);
    backend.source.applications[0].windows->at(0).position = std::pair{10.0, 20.0};
    store.save({profile("Old", false)});
    start();
    answerWith(Alert::kFirstButtonReturn, "  My  layout \n");
    item({"Save Layout..."})->trigger();
    backend.monitors.setup = {{{"HDMI-1", {}, {}, {}, 0, 0, 1920, 1080, 1}}};
    item({"Save Layout..."})->trigger();
    const QList<WindowProfile> saved = store.load();
    ASSERT_EQ(saved.size(), 3);
    EXPECT_FALSE(saved[1].displays); // the window system told none
    EXPECT_EQ(saved[2].displays, backend.monitors.setup);
    EXPECT_EQ(state(), "Old[] My  layout+[A:Notes] My  layout+[A:Notes]");
    EXPECT_FALSE(saved[1].id.isNull());
    EXPECT_NE(saved[2].id, saved[1].id) << "one name, two profiles";
    EXPECT_LE(saved[1].createdAt, saved[1].updatedAt);
    EXPECT_EQ(saved[1].snapshots[0].frame, (WindowFrame{10, 20, 100, 100}));
    EXPECT_TRUE(backend.source.writes.empty());

    // Cancelled, closed or blank names write nothing, in the save and the rename dialog.
    const QByteArray before = fileBytes();
    for (const auto& [response, typed] :
         std::vector<std::pair<int, QString>>{{Alert::kFirstButtonReturn + 1, "Named"},
                                              {Alert::kAbortedReturn, "Named"},
                                              {Alert::kFirstButtonReturn, " \t\n\u2028 "}}) {
        answerWith(response, typed);
        item({"Save Layout..."})->trigger();
        item({"Old", "Rename..."})->trigger();
    }
    EXPECT_EQ(alerts.size(), 8);
    EXPECT_EQ(fileBytes(), before);

    // Without a menu a save is still written.
    controller->setMenu(nullptr);
    answerWith(Alert::kFirstButtonReturn, "Headless");
    controller->saveLayout();
    EXPECT_EQ(store.load().size(), 4);
}

TEST_F(Commands, EachEditWritesTheFileAndRebuildsTheMenu)
{
    WindowProfile twins = profile("P", true, {"A", "A", "B"});
    twins.snapshots.append(twins.snapshots[0]);          // an exact copy of the first
    twins.snapshots[1].frame = twins.snapshots[0].frame; // same app and frame,
    twins.snapshots[1].windowTitle = "Other";            // another title
    const std::optional<QString> kept;                   // the field left as it was
    using P = QList<WindowProfile>;
    // clang-format off
    const std::tuple<P, QStringList, std::optional<QString>, QString> cases[] = {
        {P{profile("P", false, {"A"}), profile("Q", true), profile("R", false)},
         {"P", "Set as Active"}, kept, "P*[A:Window] Q[] R[]"},
        {P{profile("P", true), profile("Q", true)}, {"P", "Deactivate"}, kept, "P[] Q[]"},
        {P{profile("A", false), profile("B", true), profile("C", false)}, {"B", "Delete"}, kept, "A[] C[]"},
        {P{profile("A", false)}, {"A", "Delete"}, kept, "[]"},
        {P{profile("Old", true), profile("Keep", false)}, {"Old", "Rename..."}, "  New  name\t",
         "New  name*+[] Keep[]"},
        {P{profile("Keep", false)}, {"Keep", "Rename..."}, kept, "Keep+[]"},
        {P{twins, profile("S", false, {"A"})}, {"P", "Remove App", "A (1)"}, kept,
         "P*+[A:Other,B:Window] S[A:Window]"},
        {P{profile("S", false, {"A"})}, {"S", "Remove App", "A"}, kept, "S+[]"}};
    // clang-format on
    for (const auto& [file, path, typed, expected] : cases) {
        SCOPED_TRACE(path.join('>').toStdString());
        store.save(file);
        start();
        if (typed)
            answerWith(Alert::kFirstButtonReturn, *typed);
        item(path)->trigger();
        answer = [](Alert&) { return Alert::kFirstButtonReturn; };
        EXPECT_EQ(state(), expected);
        for (const WindowProfile& p : store.load()) // ids stay
            EXPECT_TRUE(
                std::any_of(file.begin(), file.end(), [&](auto& f) { return f.id == p.id; }));
        EXPECT_TRUE(backend.source.writes.empty());
    }
    const QString rename = "info|Rename Profile|Enter a new name:|Rename,Cancel|";
    EXPECT_EQ(alerts, (QStringList{rename + "  New  name\t", rename + "Keep"}));
    EXPECT_EQ(item({"S", "Remove App"}), nullptr) << "nothing left to remove";
}

TEST_F(Commands, StrayAndStaleItemsChangeNothing)
{
    WindowProfile p = profileOfLiveWindow("P", true, 500);
    store.save({p, profile("R", false)});
    start();
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
    EXPECT_EQ(state(), "P*[A:P] R[]");

    // A window no longer in the profile: nothing removed, still stamped.
    p.snapshots[0].windowTitle = "Closed long ago";
    stray.setData(QVariant::fromValue(MenuController::RemoveAppRef{p.id, p.snapshots[0]}));
    controller->removeApp(&stray);
    EXPECT_EQ(state(), "P*+[A:P] R[]");

    // A profile gone from the file since the menu was built: none is active.
    QAction* gone = item({"R", "Set as Active"});
    store.save({p});
    gone->trigger();
    EXPECT_EQ(state(), "P[A:Closed long ago]");
}

TEST_F(Commands, TheShortcutAppliesTheFirstActiveProfileOfTheFileAsItIsNow)
{
    saveHotKey(49, cmdKey);
    store.save({profileOfLiveWindow("P", false, 500)});
    start();
    pressShortcut(); // no active profile: one beep
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(backend.source.writes.empty());

    const WindowProfile q = profileOfLiveWindow("Q", true, 700);
    store.save({profile("P", false), q, profileOfLiveWindow("R", true, 900)}); // menu not rebuilt
    pressShortcut();
    EXPECT_EQ(liveX(), (std::vector<double>{700, 0, 0}));
    EXPECT_EQ(beeps, 1);

    // The press posts the trigger; the controller goes before it runs.
    backend.shortcuts.press();
    controller.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(beeps, 1);
}

} // namespace
} // namespace tavelor::test
