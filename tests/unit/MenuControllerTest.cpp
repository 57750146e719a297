#include "MenuFixture.hpp"

namespace tavelor::test {
namespace {

using Menu = MenuFixture;
using platform::LoginItemStatus;

TEST_F(Menu, TheWorkedExampleRebuiltFromTheFileInItsOrder)
{
    start();
    controller->refresh(&menu);
    EXPECT_EQ(outline(&menu).join('|'),
              QString::fromUtf8("Save Layout...|---|(disabled) No profiles yet|---|"
                                "Raccourci clavier…|Launch at Login|---|Quit"));

    // Several active profiles each carry the mark and offer "Deactivate".
    store.save({profile("P", true, {"A", "B", "B"}), profile("Q", false), profile("M", true)});
    saveHotKey(49, cmdKey);
    backend.login.currentStatus = LoginItemStatus::Enabled;
    start();
    EXPECT_EQ(outline(&menu).join('|'),
              QString::fromUtf8("Save Layout...|---|[x] P|  Apply|  Deactivate|  ---|  Rename...|"
                                "  Remove App|    A|    B (1)|    B (2)|  ---|  Delete|Q|  Apply|"
                                "  Set as Active|  ---|  Rename...|  ---|  Delete|[x] M|  Apply|"
                                "  Deactivate|  ---|  Rename...|  ---|  Delete|---|"
                                "Raccourci clavier… (⌘Space)|[x] Launch at Login|---|Quit"));
    EXPECT_EQ(controller->profiles().size(), 3);
    // Only "Quit" has a shortcut, the toolkit's own.
    for (const QAction* action : menu.findChildren<QAction*>())
        EXPECT_EQ(action->shortcut(),
                  action->text() == "Quit" ? QKeySequence(QKeySequence::Quit) : QKeySequence())
            << action->text().toStdString();
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

TEST_F(Menu, TheShortcutAndLoginTitlesFollowTheSystem)
{
    saveHotKey(0, controlKey | optionKey);
    backend.layout.texts[0] = "a";
    backend.login.currentStatus = LoginItemStatus::NotFound;
    start();
    EXPECT_NE(item({QString::fromUtf8("Raccourci clavier… (⌃⌥A)")}), nullptr);
    EXPECT_FALSE(item({"Launch at Login"})->isChecked());
    // Unregistered, or refused by the system: no shortcut shown.
    controller->hotKeyService().unregister();
    controller->refresh(&menu);
    EXPECT_NE(item({QString::fromUtf8("Raccourci clavier…")}), nullptr);
    backend.shortcuts.refusal = platform::GlobalShortcuts::GrabResult::Taken;
    start();
    EXPECT_NE(item({QString::fromUtf8("Raccourci clavier…")}), nullptr);
}

// Toggling itself is checked end to end (tray_e2e MainJourneyTest).
TEST_F(Menu, AFailedLoginChangeLogsOneLineAndTheToggleActsWithoutAMenu)
{
    backend.login.currentStatus = LoginItemStatus::Enabled;
    start();
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

} // namespace
} // namespace tavelor::test
