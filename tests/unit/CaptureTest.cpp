// WindowScanner and WindowRestorer over an in-memory desktop.
#include "Platform/Fake/FakeWindowSource.hpp"
#include "QtPrinters.hpp"
#include "Services/WindowRestorer.hpp"
#include "Services/WindowScanner.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace tavelor {
namespace {

using namespace platform;
using Pair = std::pair<double, double>;

LiveWindow window(const QString& id, const std::optional<QString>& title = QStringLiteral("T"),
                  std::optional<Pair> position = Pair{1, 2}, std::optional<Pair> size = Pair{3, 4})
{
    return LiveWindow{id, WindowRole::Window, title, position, size};
}

LiveApplication app(const std::optional<QString>& id, std::vector<LiveWindow> windows,
                    ApplicationKind kind = ApplicationKind::Regular)
{
    return LiveApplication{kind, 1, id, id ? std::optional<QString>(*id + "!") : std::nullopt,
                           std::move(windows)};
}

class Capture : public testing::Test {
protected:
    std::vector<QString> scannedIds()
    {
        std::vector<QString> ids;
        for (const auto& result : WindowScanner(source).scan())
            ids.push_back(result.window);
        return ids;
    }
    WindowRestorer::ApplyResult apply(const QList<WindowSnapshot>& snapshots)
    {
        WindowProfile profile;
        profile.snapshots = snapshots;
        return WindowRestorer(source).apply(profile);
    }
    static WindowSnapshot saved(const QString& appId, const QString& title, const WindowFrame& f)
    {
        return WindowSnapshot{appId, appId + "!", title, f};
    }
    fake::FakeWindowSource source;
};

TEST_F(Capture, ScanKeepsRegularApplicationsAndWindowsInListedOrder)
{
    LiveWindow other = window("other");
    other.role = WindowRole::Other;
    LiveWindow roleless = window("roleless");
    roleless.role.reset();
    source.applications = {
        app("accessory", {window("acc")}, ApplicationKind::Accessory),
        app("b", {window("b1"), other, roleless, window("b2")}),
        LiveApplication{ApplicationKind::Regular, 2, "unreadable", "u", std::nullopt},
        app("empty", {}),
        app("a", {window("a1")}),
    };
    EXPECT_EQ(scannedIds(), (std::vector<QString>{"b1", "b2", "a1"}));
}

TEST_F(Capture, ScanTakesIdentityFromTheApplicationAndZerosForWhatIsUnread)
{
    source.applications = {
        app(std::nullopt, {window("1", std::nullopt, Pair{-5.5, 7}, std::nullopt)}),
        app("id", {window("2", QString(), std::nullopt, Pair{10, -0.0})}),
    };
    const auto results = WindowScanner(source).scan();
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].snapshot,
              (WindowSnapshot{std::nullopt, std::nullopt, std::nullopt, {-5.5, 7, 0, 0}}));
    EXPECT_EQ(results[1].snapshot, (WindowSnapshot{"id", "id!", QString(), {0, 0, 10, 0}}));
    EXPECT_TRUE(results[1].snapshot.windowTitle.has_value());
    EXPECT_TRUE(std::signbit(results[1].snapshot.frame.height));
}

TEST_F(Capture, RestorePutsEachPairedWindowBackInOneApply)
{
    source.applications = {app("app", {window("w1", "One"), window("w2", "Two")}),
                           app("other", {window("o1")})};
    const WindowFrame home{10.5, -20.25, 800, 600};
    const WindowFrame away{300, 400, 100, 50};
    const auto counts =
        apply({saved("app", "Two", home), saved("gone", "x", away), saved("app", "One", away)});
    EXPECT_EQ(counts.appliedCount, 2);
    EXPECT_EQ(counts.missingCount, 1);
    EXPECT_EQ(source.applyCalls(), 1);
    EXPECT_EQ(source.listings(), 1);

    // Position, size, position, in profile order.
    const auto& writes = source.writes();
    ASSERT_EQ(writes.size(), 6u);
    const std::vector<std::pair<QString, FrameWrite::Part>> order = {
        {"w2", FrameWrite::Part::Position}, {"w2", FrameWrite::Part::Size},
        {"w2", FrameWrite::Part::Position}, {"w1", FrameWrite::Part::Position},
        {"w1", FrameWrite::Part::Size},     {"w1", FrameWrite::Part::Position}};
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(writes[i].window, order[i].first) << i;
        EXPECT_EQ(writes[i].part, order[i].second) << i;
    }
    // The frames as the desktop now holds them; the other application is untouched.
    const auto results = WindowScanner(source).scan();
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].snapshot.frame, away);
    EXPECT_EQ(results[1].snapshot.frame, home);
    EXPECT_EQ(results[2].snapshot.frame, (WindowFrame{1, 2, 3, 4}));
}

TEST_F(Capture, TwoSavedWindowsNeverShareOneLiveWindow)
{
    source.applications = {app("app", {window("only", "Same")})};
    const auto counts =
        apply({saved("app", "Same", {1, 1, 1, 1}), saved("app", "Same", {2, 2, 2, 2})});
    EXPECT_EQ(counts.appliedCount, 1);
    EXPECT_EQ(counts.missingCount, 1);
    ASSERT_EQ(source.writes().size(), 3u);
    EXPECT_EQ(source.writes()[1].first, 1);
}

TEST_F(Capture, EachApplyScansAfresh)
{
    EXPECT_EQ(apply({saved("app", "T", {1, 1, 1, 1})}).missingCount, 1);
    source.applications = {app("app", {window("w")})};
    EXPECT_EQ(apply({saved("app", "T", {1, 1, 1, 1})}).appliedCount, 1);
    EXPECT_EQ(source.listings(), 2);
}

} // namespace
} // namespace tavelor
