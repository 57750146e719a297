#include "Services/WindowScanner.hpp"

#include "Platform/Fake/FakeBackend.hpp"
#include "QtPrinters.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace tavelor {
namespace {

using namespace platform;
using fake::FakeBackend;

class Scanner : public testing::Test {
protected:
    void addApplication(std::int32_t pid, const std::optional<QString>& bundleIdentifier,
                        int policy = kActivationPolicyRegular, bool terminated = false)
    {
        backend.workspace().addApplication(
            {policy, terminated, pid, bundleIdentifier, bundleIdentifier});
    }
    AXUIElement addWindow(std::int32_t pid, const std::optional<QString>& title = "Window",
                          const WindowFrame& frame = {1, 2, 3, 4})
    {
        return ax().addWindow(pid, title, frame);
    }
    fake::FakeAccessibility& ax() { return backend.accessibility(); }
    std::vector<WindowScanner::ScanResult> scan()
    {
        return WindowScanner(backend.workspace(), backend.accessibility()).scan();
    }
    std::vector<AXUIElement> elements()
    {
        std::vector<AXUIElement> found;
        for (const auto& result : scan())
            found.push_back(result.element);
        return found;
    }

    FakeBackend backend;
};

TEST_F(Scanner, VisitsOnlyRegularApplicationsStillRunning)
{
    EXPECT_TRUE(scan().empty());
    addApplication(1, "accessory", kActivationPolicyAccessory);
    addApplication(2, "prohibited", kActivationPolicyProhibited);
    addApplication(3, "terminated", kActivationPolicyRegular, true);
    addApplication(4, "regular");
    for (std::int32_t pid = 1; pid <= 4; ++pid)
        addWindow(pid);
    const auto results = scan();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].snapshot.bundleIdentifier, "regular");
    for (const auto& read : ax().reads())
        EXPECT_NE(read.element, ax().applicationElement(1));
}

TEST_F(Scanner, SkipsApplicationsWithoutAUsableWindowList)
{
    const std::vector<std::pair<const char*, AXAttributeValue>> badLists = {
        {"null", std::monostate{}},
        {"string", QString("w")},
        {"point", AXValue{AXValueType::CGPoint, 1, 2}},
        {"other", AXOtherValue{}},
        {"empty", QList<AXUIElement>{}},
    };
    std::int32_t pid = 1;
    for (const auto& [name, value] : badLists) {
        addApplication(pid, name);
        addWindow(pid);
        ax().setAttribute(ax().applicationElement(pid), "AXWindows", value);
        ++pid;
    }
    addApplication(pid, "failing");
    addWindow(pid);
    ax().setAttributeError(ax().applicationElement(pid), "AXWindows", kAXErrorCannotComplete);
    addApplication(++pid, "no such process");
    addApplication(++pid, "good");
    const AXUIElement good = addWindow(pid);

    EXPECT_EQ(elements(), std::vector{good});
}

TEST_F(Scanner, ReadsTheFourAttributesInOrderAndSkipsWindowsThatAreNotWindows)
{
    addApplication(1, "app");
    const AXUIElement kept = addWindow(1);
    const std::vector<std::pair<const char*, AXAttributeValue>> badRoles = {
        {"other case", QString("AXwindow")}, {"prefix", QString("AXWindowX")},
        {"sheet", QString("AXSheet")},       {"null", std::monostate{}},
        {"other", AXOtherValue{}},
    };
    for (const auto& [name, role] : badRoles)
        ax().setAttribute(addWindow(1), "AXRole", role);
    ax().setAttributeError(addWindow(1), "AXRole", kAXErrorInvalidUIElement);
    const AXUIElement alsoKept = addWindow(1);

    ax().clearLog();
    EXPECT_EQ(elements(), (std::vector{kept, alsoKept}));

    QStringList readsOfKept;
    for (const auto& read : ax().reads()) {
        if (read.element == kept) {
            readsOfKept << read.attribute;
        } else if (read.element != alsoKept && read.element != ax().applicationElement(1)) {
            EXPECT_EQ(read.attribute, "AXRole") << "a rejected window is read no further";
        }
    }
    EXPECT_EQ(ax().reads().front().attribute, "AXWindows");
    EXPECT_EQ(readsOfKept, (QStringList{"AXRole", "AXTitle", "AXPosition", "AXSize"}));
}

TEST_F(Scanner, TitleIsAbsentUnlessItIsAString)
{
    addApplication(1, "app");
    addWindow(1, std::nullopt);
    ax().setAttribute(addWindow(1), "AXTitle", std::monostate{});
    ax().setAttribute(addWindow(1), "AXTitle", AXOtherValue{});
    addWindow(1, "");
    addWindow(1, " \tkept as is\n");

    const auto results = scan();
    ASSERT_EQ(results.size(), 5u);
    EXPECT_EQ(results[0].snapshot.windowTitle, std::nullopt);
    EXPECT_EQ(results[1].snapshot.windowTitle, std::nullopt);
    EXPECT_EQ(results[2].snapshot.windowTitle, std::nullopt);
    EXPECT_EQ(results[3].snapshot.windowTitle, QString(""));
    EXPECT_EQ(results[4].snapshot.windowTitle, QString(" \tkept as is\n"));
}

TEST_F(Scanner, UnreadablePositionOrSizeGivesZerosForThatPairOnly)
{
    addApplication(1, "app");
    const WindowFrame frame{-12.25, 1e300, 640.5, -0.0};
    addWindow(1, "exact", frame);
    ax().setAttributeError(addWindow(1, "no position", frame), "AXPosition", kAXErrorNoValue);
    ax().setAttribute(addWindow(1, "position as size", frame), "AXPosition",
                      AXValue{AXValueType::CGSize, 5, 6});
    ax().setAttribute(addWindow(1, "size as point", frame), "AXSize",
                      AXValue{AXValueType::CGPoint, 5, 6});
    ax().setAttribute(addWindow(1, "size as rect", frame), "AXSize",
                      AXValue{AXValueType::CGRect, 5, 6});
    ax().setAttribute(addWindow(1, "null size", frame), "AXSize", std::monostate{});

    const auto results = scan();
    ASSERT_EQ(results.size(), 6u);
    const WindowFrame noPosition{0, 0, frame.width, frame.height};
    const WindowFrame noSize{frame.x, frame.y, 0, 0};
    const std::vector<WindowFrame> expected = {frame,  noPosition, noPosition,
                                               noSize, noSize,     noSize};
    for (std::size_t i = 0; i < results.size(); ++i)
        EXPECT_EQ(results[i].snapshot.frame, expected[i]) << i;
    EXPECT_TRUE(std::signbit(results[0].snapshot.frame.height));
}

TEST_F(Scanner, TakesNameAndIdentifierFromTheApplicationEitherMayBeAbsent)
{
    backend.workspace().addApplication({0, false, 1, std::nullopt, "Name only"});
    backend.workspace().addApplication({0, false, 2, "id.only", std::nullopt});
    addWindow(1, "a");
    addWindow(2, "b");

    const auto results = scan();
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].snapshot, (WindowSnapshot{std::nullopt, "Name only", "a", {1, 2, 3, 4}}));
    EXPECT_EQ(results[1].snapshot, (WindowSnapshot{"id.only", std::nullopt, "b", {1, 2, 3, 4}}));
}

TEST_F(Scanner, ListsApplicationsInWorkspaceOrderAndWindowsInTheirOrder)
{
    addApplication(20, "second");
    addApplication(10, "first");
    addApplication(30, "windowless");
    // Windows are made out of order on purpose: only the lists' order counts.
    const AXUIElement b1 = addWindow(10, "same");
    const AXUIElement a1 = addWindow(20, "x");
    const AXUIElement b2 = addWindow(10, "same");
    const AXUIElement a2 = addWindow(20, "y");

    EXPECT_EQ(elements(), (std::vector{a1, a2, b1, b2}));
}

} // namespace
} // namespace tavelor
