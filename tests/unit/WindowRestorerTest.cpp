#include "Services/WindowRestorer.hpp"

#include "Platform/Fake/FakeBackend.hpp"
#include "QtPrinters.hpp"

#include <gtest/gtest.h>

namespace tavelor {
namespace {

using namespace platform;
using fake::FakeAccessibility;

const QString kApp = QStringLiteral("org.example.App");
const QString kOther = QStringLiteral("org.example.Other");

WindowSnapshot saved(const QString& bundleIdentifier, const QString& title,
                     const WindowFrame& frame)
{
    return WindowSnapshot{bundleIdentifier, bundleIdentifier, title, frame};
}

/// One write as the test expects it: which window, which attribute, which numbers.
struct Expected {
    AXUIElement element;
    QString attribute;
    AXValueType type;
    double first;
    double second;
};

class Restorer : public testing::Test {
protected:
    Restorer()
    {
        backend.workspace().addApplication({0, false, 1, kApp, "App"});
        backend.workspace().addApplication({0, false, 2, kOther, "Other"});
    }

    WindowRestorer::ApplyResult apply(const QList<WindowSnapshot>& snapshots)
    {
        WindowProfile profile;
        profile.snapshots = snapshots;
        return WindowRestorer(backend.workspace(), backend.accessibility()).apply(profile);
    }
    FakeAccessibility& ax() { return backend.accessibility(); }

    static std::vector<Expected> threeWrites(const AXUIElement& window, const WindowFrame& f)
    {
        return {{window, "AXPosition", AXValueType::CGPoint, f.x, f.y},
                {window, "AXSize", AXValueType::CGSize, f.width, f.height},
                {window, "AXPosition", AXValueType::CGPoint, f.x, f.y}};
    }
    void expectWrites(const std::vector<Expected>& expected)
    {
        const auto& writes = ax().writes();
        ASSERT_EQ(writes.size(), expected.size());
        for (std::size_t i = 0; i < writes.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(writes[i].element, expected[i].element);
            EXPECT_EQ(writes[i].attribute, expected[i].attribute);
            EXPECT_EQ(writes[i].value.type, expected[i].type);
            EXPECT_EQ(writes[i].value.first, expected[i].first);
            EXPECT_EQ(writes[i].value.second, expected[i].second);
        }
    }

    fake::FakeBackend backend;
    const WindowFrame home{10.5, -20.25, 800, 600};
    const WindowFrame away{300, 400, 100, 50};
};

TEST_F(Restorer, EmptyProfileScansAndWritesNothing)
{
    ax().addWindow(1, "w", away);
    const auto result = apply({});
    EXPECT_EQ(result.appliedCount, 0);
    EXPECT_EQ(result.missingCount, 0);
    EXPECT_EQ(backend.workspace().listingCount(), 1);
    EXPECT_TRUE(ax().writes().empty());
}

TEST_F(Restorer, EverySavedWindowIsMissingWithoutLiveWindows)
{
    const auto result =
        apply({saved(kApp, "a", home), saved(kApp, "b", home), saved(kOther, "c", home)});
    EXPECT_EQ(result.appliedCount, 0);
    EXPECT_EQ(result.missingCount, 3);
    EXPECT_TRUE(ax().writes().empty());
}

TEST_F(Restorer, WritesPositionSizePositionToEachPairedWindowOnly)
{
    const WindowFrame otherHome{-1, -2, 30, 40};
    const AXUIElement untouched = ax().addWindow(2, "not saved", away);
    const AXUIElement first = ax().addWindow(1, "First", away);
    const AXUIElement extra = ax().addWindow(1, "Extra", away);
    const AXUIElement other = ax().addWindow(2, "Other", away);
    const auto result = apply({saved(kApp, "First", home), saved(kOther, "Other", otherHome),
                               saved(kOther, "Gone", home)});

    EXPECT_EQ(result.appliedCount, 2);
    EXPECT_EQ(result.missingCount, 1);
    std::vector<Expected> expected = threeWrites(first, home);
    for (const Expected& write : threeWrites(other, otherHome))
        expected.push_back(write);
    expectWrites(expected);
    for (const AXUIElement& window : {untouched, extra})
        for (const auto& write : ax().writes())
            EXPECT_NE(write.element, window);
}

TEST_F(Restorer, TwoSavedWindowsNeverShareTheOneLiveWindow)
{
    const AXUIElement only = ax().addWindow(1, "two", away);
    const auto result = apply({saved(kApp, "One", away), saved(kApp, "Two", home)});
    EXPECT_EQ(result.appliedCount, 1);
    EXPECT_EQ(result.missingCount, 1);
    expectWrites(threeWrites(only, home));

    ax().clearLog();
    const auto same = apply({saved(kApp, "Two", home), saved(kApp, "Two", away)});
    EXPECT_EQ(same.appliedCount, 1);
    EXPECT_EQ(same.missingCount, 1);
    expectWrites(threeWrites(only, home));
}

TEST_F(Restorer, RefusedWritesStillCountAsApplied)
{
    const AXUIElement window = ax().addWindow(1, "w", away);
    ax().refuseWrites(window, "AXPosition");
    ax().refuseWrites(window, "AXSize");
    const auto result = apply({saved(kApp, "w", home)});
    EXPECT_EQ(result.appliedCount, 1);
    EXPECT_EQ(result.missingCount, 0);
    expectWrites(threeWrites(window, home));
}

TEST_F(Restorer, AValueThatCannotBeMadeSkipsOnlyItsWrite)
{
    const AXUIElement window = ax().addWindow(1, "w", away);
    ax().failCreateValue(AXValueType::CGSize);
    EXPECT_EQ(apply({saved(kApp, "w", home)}).appliedCount, 1);
    const auto all = threeWrites(window, home);
    expectWrites({all[0], all[2]});

    ax().clearLog();
    ax().failCreateValue(AXValueType::CGPoint);
    EXPECT_EQ(apply({saved(kApp, "w", home)}).appliedCount, 1);
    EXPECT_TRUE(ax().writes().empty());
}

TEST_F(Restorer, ApplyingTwiceScansAgainAndWritesAgain)
{
    const AXUIElement window = ax().addWindow(1, "w", away);
    const QList<WindowSnapshot> profile = {saved(kApp, "w", home)};
    apply(profile);
    const auto second = apply(profile);
    EXPECT_EQ(second.appliedCount, 1);
    EXPECT_EQ(backend.workspace().listingCount(), 2);
    std::vector<Expected> expected = threeWrites(window, home);
    for (const Expected& write : threeWrites(window, home))
        expected.push_back(write);
    expectWrites(expected);
}

} // namespace
} // namespace tavelor
