#include "MenuFixture.hpp"
#include "Models/HotKey.hpp"
#include "QtPrinters.hpp"

#include <QAction>

namespace tavelor::test {
namespace {

using Menu = MenuFixture;

QStringList lines(std::initializer_list<const char*> texts)
{
    QStringList out;
    for (const char* text : texts)
        out << QString::fromUtf8(text);
    return out;
}

TEST_F(Menu, TheWorkedExample)
{
    const WindowProfile p = profile("P", true, {"A", "B", "B"});
    const WindowProfile q = profile("Q", false);
    writeProfiles({p, q});
    saveHotKey(49, cmdKey);
    backend.loginItems().currentStatus = platform::LoginItemStatus::Enabled;
    start();

    EXPECT_EQ(outline(&menu), lines({
                                  "Save Layout...",
                                  "---",
                                  "[x] P",
                                  "  Apply",
                                  "  Deactivate",
                                  "  ---",
                                  "  Rename...",
                                  "  Remove App",
                                  "    A",
                                  "    B (1)",
                                  "    B (2)",
                                  "  ---",
                                  "  Delete",
                                  "Q",
                                  "  Apply",
                                  "  Set as Active",
                                  "  ---",
                                  "  Rename...",
                                  "  ---",
                                  "  Delete",
                                  "---",
                                  "Raccourci clavier… (⌘Space)",
                                  "[x] Launch at Login",
                                  "---",
                                  "Quit",
                              }));

    // What each item carries for its command.
    for (const QStringList& path : {QStringList{"P"},
                                    {"P", "Apply"},
                                    {"P", "Deactivate"},
                                    {"P", "Rename..."},
                                    {"P", "Delete"}}) {
        SCOPED_TRACE(path.join(" > ").toStdString());
        ASSERT_NE(item(path), nullptr);
        EXPECT_EQ(item(path)->data().value<QUuid>(), p.id);
    }
    EXPECT_EQ(item({"Q", "Set as Active"})->data().value<QUuid>(), q.id);
    const auto ref =
        item({"P", "Remove App", "B (2)"})->data().value<MenuController::RemoveAppRef>();
    EXPECT_EQ(ref.profileID, p.id);
    EXPECT_EQ(ref.snapshot, p.snapshots[2]);
    EXPECT_FALSE(item({"P", "Remove App"})->data().isValid());

    // Only "Quit" has a shortcut, and it is the toolkit's quit shortcut.
    const QList<QAction*> all = menu.findChildren<QAction*>();
    for (const QAction* action : all) {
        SCOPED_TRACE(action->text().toStdString());
        if (action->text() == "Quit")
            EXPECT_EQ(action->shortcut(), QKeySequence(QKeySequence::Quit));
        else
            EXPECT_TRUE(action->shortcut().isEmpty());
    }
}

TEST_F(Menu, WithoutAFileAndRebuiltTwice)
{
    start();
    const QStringList expected = lines({
        "Save Layout...",
        "---",
        "(disabled) No profiles yet",
        "---",
        "Raccourci clavier…",
        "Launch at Login",
        "---",
        "Quit",
    });
    EXPECT_EQ(outline(&menu), expected);
    controller->refresh(&menu);
    controller->refresh(&menu);
    EXPECT_EQ(outline(&menu), expected);
    EXPECT_TRUE(controller->profiles().isEmpty());
}

TEST_F(Menu, EveryRebuildReadsTheFileAgainAndKeepsItsOrder)
{
    writeProfiles({profile("Zeta", false), profile("Alpha", true), profile("Mid", true)});
    start();
    writeProfiles({profile("Zeta", false), profile("Alpha", true), profile("Mid", true),
                   profile("New", false)});
    controller->refresh(&menu);
    QStringList top;
    for (const QAction* action : menu.actions()) {
        if (action->menu())
            top << (action->isChecked() ? "[x] " : "") + action->text();
    }
    // Several active profiles each carry the mark and offer "Deactivate".
    EXPECT_EQ(top, lines({"Zeta", "[x] Alpha", "[x] Mid", "New"}));
    EXPECT_NE(item({"Mid", "Deactivate"}), nullptr);
    EXPECT_EQ(controller->profiles().size(), 4);
}

struct NumberingCase {
    const char* what;
    QList<std::optional<QString>> appNames;
    QStringList titles;
};

class RemoveAppNumbering : public MenuFixture, public testing::WithParamInterface<NumberingCase> {};

TEST_P(RemoveAppNumbering, NumbersOnlyNamesThatRepeat)
{
    writeProfiles({profile("P", false, GetParam().appNames)});
    start();
    QStringList titles;
    for (const QAction* action : item({"P", "Remove App"})->menu()->actions())
        titles << action->text();
    EXPECT_EQ(titles, GetParam().titles);
}

const QString kComposed = QString::fromUtf8("Caf\u00e9");
const QString kDecomposed = QString::fromUtf8("Cafe\u0301");

INSTANTIATE_TEST_SUITE_P(
    Menu, RemoveAppNumbering,
    testing::Values(
        NumberingCase{"interleaved", {"A", "A", "B", "A"}, {"A (1)", "A (2)", "B", "A (3)"}},
        NumberingCase{"canonically equal names count as one",
                      {kComposed, kDecomposed},
                      {kComposed + " (1)", kDecomposed + " (2)"}},
        NumberingCase{"no name",
                      {std::nullopt, "A", std::nullopt},
                      {"Unknown app (1)", "A", "Unknown app (2)"}},
        NumberingCase{"an empty name is a name", {QString(), std::nullopt}, {"", "Unknown app"}},
        NumberingCase{"case matters", {"a", "A"}, {"a", "A"}}),
    [](const testing::TestParamInfo<NumberingCase>& testCase) {
        std::string name = testCase.param.what;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

struct LoginCase {
    platform::LoginItemStatus status;
    const char* title;
    bool checked;
};

class LoginItemTitle : public MenuFixture, public testing::WithParamInterface<LoginCase> {};

TEST_P(LoginItemTitle, FollowsTheStatus)
{
    backend.loginItems().currentStatus = GetParam().status;
    start();
    const QAction* login = menu.actions().at(menu.actions().size() - 3);
    EXPECT_EQ(login->text(), QString::fromUtf8(GetParam().title));
    EXPECT_EQ(login->isChecked(), GetParam().checked);
}

INSTANTIATE_TEST_SUITE_P(
    Menu, LoginItemTitle,
    testing::Values(LoginCase{platform::LoginItemStatus::NotRegistered, "Launch at Login", false},
                    LoginCase{platform::LoginItemStatus::Enabled, "Launch at Login", true},
                    LoginCase{platform::LoginItemStatus::NotFound, "Launch at Login", false}));

TEST_F(Menu, TheShortcutTitleFollowsTheRegisteredShortcut)
{
    saveHotKey(0, controlKey | optionKey);
    backend.keyboardLayout().texts[0] = "a";
    start();
    EXPECT_NE(item({QString::fromUtf8("Raccourci clavier… (⌃⌥A)")}), nullptr);

    // A shortcut the system refuses is not shown.
    backend.globalShortcuts().refusal = platform::GlobalShortcuts::GrabResult::Taken;
    MenuController refused(backend, locations);
    QMenu other;
    refused.refresh(&other);
    EXPECT_EQ(other.actions().at(other.actions().size() - 4)->text(),
              QString::fromUtf8("Raccourci clavier…"));

    controller->hotKeyService().unregister();
    controller->refresh(&menu);
    EXPECT_NE(item({QString::fromUtf8("Raccourci clavier…")}), nullptr);
}

TEST_F(Menu, ItemsForNamesWithMnemonicMarksShowTheNameAsStored)
{
    writeProfiles({profile("Save & Load", false, {"A&B"})});
    start();
    // QMenu shows "&&" as one ampersand.
    EXPECT_NE(item({"Save && Load", "Remove App", "A&&B"}), nullptr);
}

TEST_F(Menu, LaunchAtLoginTogglesAndAFailedChangeLogsOneLine)
{
    start();
    item({"Launch at Login"})->trigger();
    EXPECT_EQ(backend.loginItems().currentStatus, platform::LoginItemStatus::Enabled);
    EXPECT_TRUE(item({"Launch at Login"})->isChecked());

    backend.loginItems().failure = "boom";
    testing::internal::CaptureStderr();
    item({"Launch at Login"})->trigger();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Tavelor: échec du unregister du démarrage au login : boom\n");
    EXPECT_TRUE(item({"Launch at Login"})->isChecked());
    EXPECT_TRUE(alerts.empty());

    // Without a menu the toggle still acts.
    backend.loginItems().failure.clear();
    QAction* login = item({"Launch at Login"});
    controller->setMenu(nullptr);
    login->trigger();
    EXPECT_EQ(backend.loginItems().currentStatus, platform::LoginItemStatus::NotRegistered);
}

} // namespace
} // namespace tavelor::test
