// A window's state: its optional keys in the profiles file, and how the scan
// and the restore carry it.
#include "Models/ProfilesJsonReader.hpp"
#include "Models/ProfilesJsonWriter.hpp"
#include "Platform/Fake/FakeBackend.hpp"
#include "QtPrinters.hpp"
#include "Services/WindowRestorer.hpp"
#include "Services/WindowScanner.hpp"

#include <gtest/gtest.h>

#include <string>

namespace tavelor {
namespace {

using namespace platform;
using enum FrameWrite::Part;

const WindowState kEverything{2, true, Maximization::Vertical, true, true, true, 7};

WindowProfile profileOf(QList<WindowSnapshot> snapshots)
{
    return {QUuid::fromString(QStringLiteral("5B1C9E2A-7D40-4F6B-8E3A-2C9D61F0A7B4")),
            QStringLiteral("Desk"),
            std::move(snapshots),
            false,
            0,
            0};
}

std::string written(const WindowSnapshot& snapshot)
{
    return encodeProfiles({profileOf({snapshot})}).value().toStdString();
}

// The file with one snapshot whose frame object is followed by `extra`.
std::optional<QList<WindowProfile>> readWith(const std::string& extra)
{
    return decodeProfiles(R"([{"id":"5B1C9E2A-7D40-4F6B-8E3A-2C9D61F0A7B4","name":"Desk",
        "snapshots":[{"frame":{"x":0,"y":0,"width":1,"height":1})" +
                          extra + R"(}],"createdAt":0,"updatedAt":0}])");
}

TEST(WindowState, KeysFollowTheFrameOnlyWhenTheySaySomethingReadBackAndAreNotCompared)
{
    WindowSnapshot snapshot{QStringLiteral("app"), std::nullopt, std::nullopt, {1, 2, 3, 4}};
    const WindowSnapshot stateless = snapshot;
    const std::string plain = written(snapshot);
    snapshot.state = WindowState{};
    EXPECT_EQ(written(snapshot), plain); // nothing beyond a plain window
    snapshot.state = kEverything;
    // No part in equality, so that removing an application finds every state.
    EXPECT_EQ(snapshot, stateless);
    EXPECT_EQ(std::hash<WindowSnapshot>{}(snapshot), std::hash<WindowSnapshot>{}(stateless));
    const std::string full = written(snapshot);
    EXPECT_NE(full.find("\"height\" : 4\n        },\n        \"desktop\" : 2,\n        "
                        "\"onAllDesktops\" : true,\n        \"maximized\" : \"vertical\",\n        "
                        "\"minimized\" : true,\n        \"fullscreen\" : true,\n        "
                        "\"keepAbove\" : true,\n        \"stackPosition\" : 7\n      }"),
              std::string::npos)
        << full;
    const auto read = decodeProfiles(full);
    ASSERT_TRUE(read && read->size() == 1);
    EXPECT_EQ(read->front().snapshots.front().state, kEverything);
}

TEST(WindowState, AValueTheWriterNeverWritesIsDroppedAndTheProfileKept)
{
    const struct {
        const char* extra;
        std::optional<WindowState> expected;
    } cases[] = {
        {"", std::nullopt},
        {R"(,"desktop":-1)", std::nullopt},
        {R"(,"desktop":1.5)", std::nullopt},
        {R"(,"desktop":"2")", std::nullopt},
        {R"(,"desktop":1e300)", std::nullopt},
        {R"(,"desktop":[1],"stackPosition":{"a":1})", std::nullopt},
        {R"(,"maximized":"diagonal","minimized":1,"keepAbove":null)", std::nullopt},
        {R"(,"fullscreen":false)", WindowState{}},
        {R"(,"maximized":"both")", WindowState{{}, false, Maximization::Both}},
        {R"(,"maximized":"horizontal")", WindowState{{}, false, Maximization::Horizontal}},
        {R"(,"desktop":3,"maximized":true,"stackPosition":-2)",
         WindowState{3, false, Maximization::None, false, false, false, std::nullopt}},
    };
    for (const auto& c : cases) {
        const auto read = readWith(c.extra);
        ASSERT_TRUE(read && read->size() == 1) << c.extra;
        EXPECT_EQ(read->front().snapshots.front().state, c.expected) << c.extra;
    }
    EXPECT_FALSE(readWith(R"(,"desktop":01)")); // not JSON at all: as for any key
}

LiveWindow live(const char* id, std::optional<std::int64_t> stack)
{
    LiveWindow w{id, WindowRole::Window, QString::fromLatin1(id), std::pair{0.0, 0.0},
                 std::pair{1.0, 1.0}};
    if (stack)
        w.state = WindowState{0, false, Maximization::Both, false, false, false, stack};
    return w;
}

TEST(WindowState, ScanNumbersTheStackAmongItsWindowsAndRestoreRaisesInThatOrder)
{
    fake::FakeWindowSource source;
    source.applications = {
        {ApplicationKind::Regular,
         1,
         QStringLiteral("a"),
         {},
         {{live("top", 40), live("old", {})}}},
        {ApplicationKind::Accessory, 2, QStringLiteral("x"), {}, {{live("tray", 30)}}},
        {ApplicationKind::Regular, 3, QStringLiteral("b"), {}, {{live("low", 9), live("mid", 12)}}},
    };
    QList<WindowSnapshot> saved;
    for (const WindowScanner::ScanResult& result : WindowScanner(source).scan())
        saved.append(result.snapshot);
    ASSERT_EQ(saved.size(), 4);
    std::vector<std::optional<std::int64_t>> stack;
    for (const WindowSnapshot& snapshot : saved)
        stack.push_back(snapshot.state ? snapshot.state->stackPosition : -1);
    EXPECT_EQ(stack, (decltype(stack){2, -1, 0, 1}));

    saved[3].state->desktop.reset(); // a desktop not known is not written
    WindowRestorer(source).apply(profileOf(saved));
    std::vector<std::pair<QString, FrameWrite::Part>> order;
    for (const FrameWrite& write : source.writes)
        order.emplace_back(write.window, write.part);
    EXPECT_EQ(order, (decltype(order){
                         {"top", Desktop}, {"top", Position}, {"top", Size},  {"top", Position},
                         {"top", State},   {"old", Position}, {"old", Size},  {"old", Position},
                         {"low", Desktop}, {"low", Position}, {"low", Size},  {"low", Position},
                         {"low", State},   {"mid", Position}, {"mid", Size},  {"mid", Position},
                         {"mid", State},   {"low", Raise},    {"mid", Raise}, {"top", Raise}}));
    EXPECT_EQ(source.applyCalls, 1);
    EXPECT_EQ(source.writes[4].state, saved[0].state);
}

} // namespace
} // namespace tavelor
