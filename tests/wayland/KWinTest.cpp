// The KWin backend's faults against the session's real KWin with kwin_e2e.py's
// windows open and two outputs, changed through kscreen-doctor (tests/wayland/kwin-session),
// and its parts that need none. The shortcut is checked through the program, in kwin_e2e.py.
#include "Platform/KWin/KWinDisplays.hpp"
#include "Platform/KWin/KWinKeyCombination.hpp"
#include "Platform/KWin/KWinScriptRunner.hpp"
#include "Platform/KWin/KWinWindowAccess.hpp"
#include "Platform/KWin/KWinWindowList.hpp"
#include "Platform/KWin/KWinWindowSource.hpp"
#include "Platform/Xdg/DesktopEntries.hpp"
#include "unit/QtPrinters.hpp"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QKeyCombination>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>

namespace tavelor::kwin {
namespace {

using namespace platform;

bool waitUntil(const std::function<bool()>& done)
{
    for (const QDeadlineTimer deadline(15000); !done(); QThread::msleep(20)) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

const LiveWindow* find(const std::vector<LiveApplication>& apps, const QString& title)
{
    for (const LiveApplication& app : apps)
        for (const LiveWindow& window : *app.windows)
            if (window.title == title)
                return &window;
    return nullptr;
}

std::vector<FrameWrite> moveTo(const QString& id, double x, double y, double w, double h)
{
    // As the apply engine writes: position, size, position again.
    return {{id, FrameWrite::Part::Position, x, y},
            {id, FrameWrite::Part::Size, w, h},
            {id, FrameWrite::Part::Position, x, y}};
}

TEST(KWinKeyCombination, KeyOfTheLayoutWithItsModifiers)
{
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier,
                                metaShift = Qt::MetaModifier | Qt::ShiftModifier;
    const auto combination = [](auto modifiers, Qt::Key key) {
        return QKeyCombination(modifiers, key).toCombined();
    };
    const struct {
        const char* layout;
        HotKey hotKey;
        std::optional<int> expected;
        xkb_layout_index_t group = 0;
    } cases[] = {
        {"us", {6, cmdKey | shiftKey}, combination(metaShift, Qt::Key_Z)},
        {"de", {6, cmdKey | shiftKey}, combination(metaShift, Qt::Key_Y)},
        {"fr", {0, optionKey}, combination(Qt::AltModifier, Qt::Key_Q)},
        {"de", {41, controlKey}, combination(ctrl, Qt::Key_Odiaeresis)},
        {"us", {122, cmdKey}, combination(Qt::MetaModifier, Qt::Key_F1)},
        {"us", {49, controlKey}, combination(ctrl, Qt::Key_Space)},
        {"us", {83, controlKey}, combination(ctrl | Qt::KeypadModifier, Qt::Key_End)},
        {"de", {24, controlKey}, std::nullopt}, // a dead key
        {"us,de", {6, cmdKey | shiftKey}, combination(metaShift, Qt::Key_Y), 1},
    };
    const std::unique_ptr<xkb_context, void (*)(xkb_context*)> context(
        xkb_context_new(XKB_CONTEXT_NO_FLAGS), xkb_context_unref);
    for (const auto& c : cases) {
        const xkb_rule_names names{nullptr, nullptr, c.layout, nullptr, nullptr};
        const std::unique_ptr<xkb_keymap, void (*)(xkb_keymap*)> keymap(
            xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS),
            xkb_keymap_unref);
        EXPECT_EQ(qtKeyCombination(c.hotKey, keymap.get(), c.group), c.expected)
            << c.layout << c.hotKey.keyCode;
    }
}

TEST(KWinWindowList, KindsRolesAndIdentitiesAsOnX11)
{
    xdg::DesktopEntries entries({}, "C");
    const auto apps = applicationsFromScan(R"([
        {"id":"a","pid":10,"desktopFileName":"org.x.Ed.desktop","caption":"Doc","normal":true,
         "frame":[1,2,30,20]},
        {"id":"b","pid":20,"resourceClass":"panel","caption":"Panel","normal":true,"special":true},
        {"id":"c","pid":10,"caption":"Find","dialog":true},
        {"id":"d","pid":30,"resourceClass":"tip","caption":"Tip","utility":true,"skipTaskbar":true},
        {"id":"e","pid":77,"resourceClass":"own","caption":"Own","normal":true},
        {"id":"f","pid":0,"resourceClass":"xterm","caption":"T1","normal":true},
        {"id":"g","pid":0,"resourceClass":"other","caption":"O","normal":true},
        {"id":"h","pid":0,"resourceClass":"xterm","caption":"T2","normal":true},
        {"id":"","pid":50,"caption":"no id","normal":true}])",
                                           77, entries);
    // Each application as "app id, Regular or Accessory: title/Window or Other".
    QStringList listed;
    for (const LiveApplication& app : apps) {
        listed << app.appId.value_or("-") + (app.kind == ApplicationKind::Regular ? " R:" : " A:");
        for (const LiveWindow& window : *app.windows)
            listed.last() += " " + window.title.value_or("-") +
                             (window.role == WindowRole::Window ? "/W" : "/O");
    }
    EXPECT_EQ(listed, QStringList({"org.x.Ed R: Doc/W Find/W", "panel A: Panel/O", "tip A: Tip/W",
                                   "own A: Own/W", "xterm R: T1/W T2/W", "other R: O/W"}));
    EXPECT_EQ(apps[0].name, "org.x.Ed"); // no desktop entry: the id, not the process
    EXPECT_EQ(apps[5].name, "other");
    EXPECT_EQ(find(apps, "Doc")->size, std::pair(30.0, 20.0));
    EXPECT_FALSE(find(apps, "Find")->position);
    EXPECT_LT(apps[4].pid, 0); // a stand-in per resource class
    EXPECT_NE(apps[4].pid, apps[5].pid);
    for (const char* answer : {"", "garbage", "{}", "[1, null]"})
        EXPECT_TRUE(applicationsFromScan(answer, 77, entries).empty()) << answer;
}

Monitor output(int number, double x, double width, double scale = 1)
{
    return {
        QStringLiteral("Virtual-%1").arg(number), {}, {}, {}, x, 0, width, width * 9 / 16, scale};
}

TEST(KWinDisplays, SetupAndChangeNoticesFollowTheOutputs)
{
    KWinDisplays displays;
    int notices = 0;
    displays.setChangedHandler([&] { ++notices; });
    const Monitor left = output(0, 0, 1920), right = output(1, 1920, 1920),
                  scaled = output(1, 1920, 960, 2);
    const struct {
        QStringList change;
        QList<Monitor> expected;
    } steps[] = {
        {{"output.Virtual-1.scale.2"}, {left, scaled}},
        {{"output.Virtual-1.disable"}, {left}},
        {{"output.Virtual-1.enable"}, {left, scaled}},
        {{"output.Virtual-1.scale.1", "output.Virtual-0.position.1920,0",
          "output.Virtual-1.position.0,0"},
         {output(0, 1920, 1920), output(1, 0, 1920)}},
        // The same area as before: only the outputs' own signals tell.
        {{"output.Virtual-0.position.0,0", "output.Virtual-1.position.1920,0"}, {left, right}},
    };
    EXPECT_EQ(displays.currentSetup().monitors, QList({left, right}));
    for (const auto& step : steps) {
        const int before = notices;
        ASSERT_EQ(QProcess::execute("kscreen-doctor", step.change), 0);
        DisplaySetup setup;
        waitUntil([&] {
            return notices > before && (setup = displays.currentSetup()).monitors == step.expected;
        });
        EXPECT_GT(notices, before) << step.change.join(' ').toStdString();
        EXPECT_EQ(setup.monitors, step.expected) << step.change.join(' ').toStdString();
    }
}

// Last: KWin is stopped, then ended, under the source.
TEST(KWinSession, ClosedWindowSkippedAndKWinThatDoesNotAnswerGivesAnEmptyScanAndNoAccess)
{
    const pid_t kwin = static_cast<pid_t>(qEnvironmentVariableIntValue("TAVELOR_KWIN_PID"));
    KWinScriptRunner runner{KWinWindowSource::kBound};
    xdg::DesktopEntries entries;
    KWinWindowSource source{runner, entries};
    KWinWindowAccess access(runner);
    ASSERT_GT(kwin, 0);
    ASSERT_TRUE(access.canWorkWithWindows(false));
    std::vector<LiveApplication> apps;
    ASSERT_TRUE(waitUntil([&] { return find(apps = source.listApplications(), "qt window"); }));
    // KWin knows a closed window's id no more than one it never had.
    std::vector<FrameWrite> writes = moveTo("{00000000-0000-0000-0000-000000000000}", 9, 9, 90, 90);
    for (const FrameWrite& write : moveTo(find(apps, "qt window")->id, 500, 400, 320, 240))
        writes.push_back(write);
    source.apply(writes);
    EXPECT_EQ(source.lastApplyCount(), 1);
    EXPECT_TRUE(waitUntil([&] {
        const auto* window = find(apps = source.listApplications(), "qt window");
        return window && window->position == std::pair(500.0, 400.0) &&
               window->size == std::pair(320.0, 240.0);
    }));

    ::kill(kwin, SIGSTOP); // a script that never answers
    EXPECT_TRUE(source.listApplications().empty());
    source.apply(moveTo("{00000000-0000-0000-0000-000000000000}", 0, 0, 10, 10));
    EXPECT_FALSE(source.lastApplyCount());
    EXPECT_FALSE(access.canWorkWithWindows(false));
    ::kill(kwin, SIGCONT);
    EXPECT_TRUE(waitUntil([&] { return !source.listApplications().empty(); }));

    ::kill(kwin, SIGTERM); // gone from the bus
    EXPECT_TRUE(waitUntil([&] { return !access.canWorkWithWindows(false); }));
    EXPECT_TRUE(source.listApplications().empty());
}

} // namespace
} // namespace tavelor::kwin
