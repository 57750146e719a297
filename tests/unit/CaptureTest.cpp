// WindowScanner and WindowRestorer over an in-memory desktop.
#include "Platform/Fake/FakeBackend.hpp"
#include "QtPrinters.hpp"
#include "Services/WindowRestorer.hpp"
#include "Services/WindowScanner.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace tavelor {
namespace {

using namespace platform;
using Pair = std::pair<double, double>;
using namespace Qt::StringLiterals;

LiveWindow window(const QString& id, const std::optional<QString>& title = "T",
                  std::optional<Pair> position = Pair{1, 2}, std::optional<Pair> size = Pair{3, 4},
                  std::optional<WindowRole> role = WindowRole::Window,
                  std::optional<WindowState> state = std::nullopt)
{
    return LiveWindow{id, role, title, position, size, state};
}

LiveApplication app(const std::optional<QString>& id,
                    std::optional<std::vector<LiveWindow>> windows,
                    ApplicationKind kind = ApplicationKind::Regular)
{
    return LiveApplication{kind, 1, id, id ? std::optional(*id + "!") : std::nullopt,
                           std::move(windows)};
}

WindowSnapshot saved(const QString& appId, const QString& title, const WindowFrame& f)
{
    return WindowSnapshot{appId, appId + "!", title, f};
}

WindowRestorer::ApplyResult apply(fake::FakeWindowSource& source,
                                  const QList<WindowSnapshot>& snapshots,
                                  Displays* displays = nullptr)
{
    return WindowRestorer(source, displays).apply(WindowProfile{{}, {}, snapshots, false, 0, 0});
}

// The writes the desktop received, as "window" + p(osition) s(ize) d(esktop) t (state) r(aise).
QString writes(const fake::FakeWindowSource& source)
{
    QStringList out;
    for (const FrameWrite& write : source.writes)
        out << write.window + "psdtr"[int(write.part)];
    return out.join(' ');
}

TEST(Capture, ScanKeepsRegularApplicationsWindowsInOrderWithZerosForWhatIsUnread)
{
    fake::FakeWindowSource source;
    source.applications = {
        app("accessory", {{window("acc")}}, ApplicationKind::Accessory),
        app("b", {{window("b1"), window("other", "T", {}, {}, WindowRole::Other),
                   window("roleless", "T", {}, {}, std::nullopt), window("b2")}}),
        app("unreadable", std::nullopt),
        app("empty", {{}}),
        app(std::nullopt, {{window("1", std::nullopt, Pair{-5.5, 7}, std::nullopt)}}),
        app("id", {{window("2", QString(), std::nullopt, Pair{10, -0.0})}}),
    };
    const auto results = WindowScanner(source).scan();
    std::vector<QString> ids;
    for (const auto& result : results)
        ids.push_back(result.window);
    ASSERT_EQ(ids, (std::vector<QString>{"b1", "b2", "1", "2"}));
    EXPECT_EQ(results[0].snapshot, saved("b", "T", {1, 2, 3, 4}));
    EXPECT_EQ(results[2].snapshot,
              (WindowSnapshot{std::nullopt, std::nullopt, std::nullopt, {-5.5, 7, 0, 0}}));
    EXPECT_EQ(results[3].snapshot, (WindowSnapshot{"id", "id!", QString(), {0, 0, 10, 0}}));
    EXPECT_TRUE(std::signbit(results[3].snapshot.frame.height));
}

TEST(Capture, RestorePutsEachPairedWindowBackInOneApplyAndNeverSharesOne)
{
    fake::FakeWindowSource source;
    EXPECT_EQ(apply(source, {saved("app", "One", {1, 1, 1, 1})}).missingCount, 1);
    source.applications = {app("app", {{window("w1", "One"), window("w2", "Two")}}),
                           app("other", {{window("o1")}})};
    const WindowFrame home{10.5, -20.25, 800, 600}, away{300, 400, 100, 50};
    // Each apply lists afresh; two saved windows never share one live window.
    const auto counts = apply(source, {saved("app", "Two", home), saved("gone", "x", away),
                                       saved("app", "One", away), saved("app", "One", home)});
    EXPECT_EQ(counts.appliedCount, 2);
    EXPECT_EQ(counts.missingCount, 2);
    EXPECT_EQ(source.applyCalls, 2); // one batch of writes per restore
    // Position, size, position, in profile order.
    EXPECT_EQ(writes(source), "w2p w2s w2p w1p w1s w1p");
    // The frames as the desktop now holds them; the other application is untouched.
    const auto results = WindowScanner(source).scan();
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].snapshot.frame, away);
    EXPECT_EQ(results[1].snapshot.frame, home);
    EXPECT_EQ(results[2].snapshot.frame, (WindowFrame{1, 2, 3, 4}));
}

TEST(Capture, ScanNumbersTheStackAmongItsWindowsAndRestoreRaisesInThatOrder)
{
    const auto at = [](const QString& id, std::optional<std::int64_t> stack) {
        return window(id, id, Pair{0, 0}, Pair{1, 1}, WindowRole::Window,
                      stack ? std::optional(WindowState{0, false, Maximization::Both, false, false,
                                                        false, stack})
                            : std::nullopt);
    };
    fake::FakeWindowSource source;
    source.applications = {app("a", {{at("top", 40), at("old", {})}}),
                           app("x", {{at("tray", 30)}}, ApplicationKind::Accessory),
                           app("b", {{at("low", 9), at("mid", 12)}})};
    QList<WindowSnapshot> scanned;
    std::vector<std::int64_t> stack;
    for (const WindowScanner::ScanResult& result : WindowScanner(source).scan()) {
        scanned.append(result.snapshot);
        stack.push_back(result.snapshot.state ? *result.snapshot.state->stackPosition : -1);
    }
    EXPECT_EQ(stack, (std::vector<std::int64_t>{2, -1, 0, 1}));

    scanned[3].state->desktop.reset(); // a desktop not known is not written
    apply(source, scanned);
    EXPECT_EQ(writes(source), "topd topp tops topp topt oldp olds oldp lowd lowp lows lowp lowt "
                              "midp mids midp midt lowr midr topr");
    EXPECT_EQ(source.applyCalls, 1);
    EXPECT_EQ(source.writes[4].state, scanned[0].state);
}

TEST(Capture, RestorePutsFramesWhollyOffEveryMonitorOnTheNearestKeepingTheirSize)
{
    // A laptop panel left of a wider monitor set lower.
    const DisplaySetup desk{{{u"eDP-1"_s, {}, {}, {}, 0, 0, 1280, 800, 1},
                             {u"HDMI-1"_s, {}, {}, {}, 1280, 200, 1920, 1080, 1}}};
    const std::pair<WindowFrame, WindowFrame> cases[] = {
        {{100, 100, 400, 300}, {100, 100, 400, 300}},     // on a monitor
        {{-390, -290, 400, 300}, {-390, -290, 400, 300}}, // a corner on
        {{-400, 100, 400, 300}, {0, 100, 400, 300}},      // touching only: off
        {{3300, 300, 500, 400}, {2700, 300, 500, 400}},   // right of the wide one
        {{100, 1500, 400, 300}, {100, 500, 400, 300}},    // below the panel
        {{900, 900, 300, 300}, {1280, 900, 300, 300}},    // the nearer by its gap
        {{-5000, 0, 4000, 3000}, {0, 0, 1280, 800}},      // too big: shrunk to fit
    };
    for (const auto& [from, to] : cases)
        EXPECT_EQ(WindowRestorer::onSomeMonitor(from, desk), to) << from.x << ',' << from.y;

    // The restorer asks the monitors at each apply.
    fake::FakeBackend backend;
    backend.source.applications = {app("app", {{window("w1", "One")}})};
    backend.monitors.setup = desk;
    apply(backend.source, {saved("app", "One", {3300, 300, 500, 400})}, &backend.monitors);
    EXPECT_EQ(WindowScanner(backend.source).scan().front().snapshot.frame,
              (WindowFrame{2700, 300, 500, 400}));
}

} // namespace
} // namespace tavelor
