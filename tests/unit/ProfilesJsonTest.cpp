#include "Models/ProfilesJsonReader.hpp"
#include "Models/ProfilesJsonWriter.hpp"
#include "Models/ReferenceDate.hpp"
#include "TestProfiles.hpp"

#include <QDateTime>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace tavelor {
namespace {

// The profiles file of the file format's worked example, shared with the fuzzer's seeds.
const std::string kWorkedExample =
    test::readFile(TAVELOR_SOURCE_DIR "/fuzz/corpus/profiles_reader/worked-example.json")
        .toStdString();

double referenceSeconds(const char* isoUtc)
{
    const QDateTime t = QDateTime::fromString(QString::fromLatin1(isoUtc), Qt::ISODateWithMs);
    return double(t.toMSecsSinceEpoch()) / 1000.0 - kReferenceDateUnixSeconds;
}

WindowProfile workedExample()
{
    return {QUuid::fromString(u"5B1C9E2A-7D40-4F6B-8E3A-2C9D61F0A7B4"_s),
            u"Desk"_s,
            {{u"com.example.notes"_s, u"Notes"_s, u"Shopping list"_s, {0, 25, 1280, 775.5}}},
            true,
            referenceSeconds("2026-01-15T09:30:00.250Z"),
            referenceSeconds("2026-02-03T18:05:12.500Z")};
}

std::string encoded(const QList<WindowProfile>& profiles)
{
    const auto bytes = encodeProfiles(profiles);
    return bytes ? bytes->toStdString() : "<nothing>";
}

// A one-profile document: `value` replaces the member `key` ("" drops it), `extra` follows.
std::string with(const std::string& key, const std::string& value, const std::string& extra = "")
{
    const std::pair<std::string, std::string> members[] = {
        {"id", R"("5B1C9E2A-7D40-4F6B-8E3A-2C9D61F0A7B4")"},
        {"name", R"("P")"},
        {"snapshots", "[]"},
        {"createdAt", "1"},
        {"updatedAt", "2"}};
    std::string out;
    for (const auto& [k, v] : members)
        if (k != key || !value.empty())
            out += (out.empty() ? "\"" : ",\"") + k + "\":" + (k == key ? value : v);
    return "[{" + out + extra + "}]";
}
const auto extra = [](const std::string& members) { return with("", "", "," + members); };
const auto snap = [](const std::string& s) { return with("snapshots", "[" + s + "]"); };
const auto frame = [](const std::string& x) {
    return snap(R"({"frame":{"x":)" + x + R"(,"y":2,"width":3,"height":4}})");
};

TEST(ProfilesWriter, WritesTheFileFormat)
{
    EXPECT_EQ(encoded({workedExample()}), kWorkedExample);
    EXPECT_EQ(encoded({}), "[]");
    WindowProfile p = workedExample();
    p.name = u"a/b \"q\" \\ \n\t\u0001 é 漢 😀"_s;
    p.isActive = false;
    p.snapshots = {{std::nullopt, std::nullopt, std::nullopt, {-0.0, 1e21, 5e-324, 0.1}},
                   {std::nullopt, u""_s, std::nullopt, {1, 2, 3, 4}}};
    std::string text = encoded({p});
    for (const char* part :
         {R"("name" : "a\/b \"q\" \\ \n\t\u0001 é 漢 😀")", "      {\n        \"frame\" : {\n",
          "\"appName\" : \"\",\n", "\"isActive\" : false", "\"x\" : -0,", "\"y\" : 1e+21,",
          "\"width\" : 5e-324,", "\"height\" : 0.1\n"})
        EXPECT_NE(text.find(part), std::string::npos) << part << " in " << text;
    EXPECT_EQ(text.find("bundleIdentifier"), std::string::npos);
    EXPECT_EQ(text.find("null"), std::string::npos);
    p.snapshots.clear();
    EXPECT_NE(encoded({p}).find("\"snapshots\" : [],"), std::string::npos);

    // No file holds a number that does not read back.
    for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        p = workedExample();
        p.snapshots[0].frame.height = bad;
        EXPECT_FALSE(encodeProfiles({workedExample(), p}));
        p = workedExample();
        p.updatedAt = bad;
        EXPECT_FALSE(encodeProfiles({p}));
        p = workedExample();
        p.displays = DisplaySetup{{{u"A"_s, {}, {}, {}, 0, 0, 1, 1, bad}}};
        EXPECT_FALSE(encodeProfiles({p}));
    }
}

TEST(ProfilesReader, ReadsWholeDocumentsOrNothing)
{
    const std::string ok = with("", ""), id = R"("id":"5B1C9E2A-7D40-4F6B-8E3A-2C9D61F0A7B4")";
    const std::string frame4 = R"("frame":{"x":1,"y":2,"width":3,"height":4})";
    // clang-format off
    // Keys in any order, unknown keys of every kind, optional keys null, the last of
    // duplicate keys counting, escaped keys, ids in either case, numbers in every form.
    const std::vector<std::string> readable = {
        "[]", " \n\t[ ]\r\n ", ok, R"([{"updatedAt":2,"snapshots":[],"createdAt":1,"name":"P",)" + id + "}]",
        extra(R"("x":{"a":[1,-0.5e3,true,null,"s",{}]},"y":[])"), extra(R"("isActive":null)"),
        extra(R"("name":"Q")"), with("id", "", R"(,"\u0069d")" + id.substr(4)),
        with("id", R"("5b1c9e2a-7d40-4f6b-8e3a-2c9d61f0a7b4")"), snap("{" + frame4 + "}"),
        snap(R"({"bundleIdentifier":null,"appName":null,"windowTitle":null,)" + frame4 + "}"),
        snap(R"({"frame":{"x":1,"y":2,"width":3,"height":4,"z":9}})"),
        frame("-0"), frame("25.0"), frame("1E3"), frame("123456789012345678901234567890"), frame("1e-400")};
    // Broken structure (in known and unknown values alike), bad strings, missing, null or
    // mistyped required keys, an earlier invalid duplicate, ids not 8-4-4-4-12, bad numbers.
    const std::vector<std::string> unreadable = {
        "", "profiles", "{}", "1", "[1]", "[null]", "[", "[{}],", "[] []", "[] x",
        ok.substr(0, ok.size() - 1) + " " + ok.substr(1), with("name", R"("P" "snapshots":[])"),
        extra(R"("x":[1 2])"), extra(R"("x":{"a" 1})"), extra(R"("x":{"a":1 "b":2})"),
        extra(R"("x":tru)"), extra(R"("x":[1)"), extra(R"("x":01)"),
        with("name", R"("\q")"), with("name", "\"a\x01b\""), with("name", "\"\xc3\x28\""),
        with("name", R"("\ud800")"), with("name", ""), with("name", "null"), with("name", "5"),
        with("snapshots", ""), with("snapshots", "{}"), with("createdAt", ""),
        with("updatedAt", R"("2")"), with("updatedAt", "null"), extra(R"("isActive":1)"),
        extra(R"("isActive":"true")"), R"([{"name":5,)" + ok.substr(2), with("id", "5"), with("id", ""),
        with("id", R"("{5B1C9E2A-7D40-4F6B-8E3A-2C9D61F0A7B4}")"), with("id", R"("5B1C9E2A7D404F6B8E3A2C9D61F0A7B4")"),
        with("id", R"("5B1C9E2-A7D40-4F6B-8E3A-2C9D61F0A7B4")"), with("id", R"("5B1C9E2A-7D40-4F6B-8E3A-2C9D61F0A7BG")"),
        with("id", R"("5B1C9E2A-7D40-4F6B-8E3A-2C9D61F0A7B4 ")"),
        snap(R"({"windowTitle":3,)" + frame4 + "}"), snap(R"({"appName":"A"})"), snap("[]"),
        snap(R"({"frame":null})"), snap(R"({"frame":{"x":1,"y":2,"width":3}})"),
        snap("{" + frame4 + R"(,"frame":{"x":1}})"), frame(R"("1")"), frame("1e400"), frame("1e+400"), frame("01"),
        frame("+1"), frame(".5"), frame("NaN"), frame("Infinity")};
    // clang-format on
    for (const std::string& document : readable)
        EXPECT_TRUE(decodeProfiles(document)) << document;
    for (const std::string& document : unreadable)
        EXPECT_FALSE(decodeProfiles(document)) << document;
    // A fault in the last of many profiles loses them all.
    std::string many = encoded(QList<WindowProfile>(50, workedExample()));
    ASSERT_TRUE(decodeProfiles(many));
    EXPECT_FALSE(decodeProfiles(many.replace(many.rfind("\"updatedAt\""), 11, "\"updatedAT\"")));
}

// Awkward values written and read back bit for bit: fuzz/ProfilesReaderFuzzer.
TEST(ProfilesReader, ReadsValuesAsWritten)
{
    const auto worked = decodeProfiles(kWorkedExample);
    ASSERT_TRUE(worked);
    EXPECT_TRUE(test::identical(*worked, {workedExample()}));

    const auto profiles = decodeProfiles(with(
        "name", R"("a\/b\u00e9\ud83d\ude00")",
        R"(,"snapshots":[{"windowTitle":"","frame":{"x":-0,"y":25.0,"width":4.9406564584124654e-324,"height":123456789012345678901234567890}},{"frame":{"x":1e-400,"y":-1e-400,"width":25,"height":9007199254740993}}],"isActive":true,"isActive":null,"color":"red")"));
    ASSERT_TRUE(profiles);
    // The last "isActive" counts; numbers round to nearest, ties to even.
    const double big = 123456789012345678901234567890.0,
                 min = std::numeric_limits<double>::denorm_min();
    const WindowProfile expected{
        QUuid::fromString(u"5B1C9E2A-7D40-4F6B-8E3A-2C9D61F0A7B4"_s),
        u"a/bé😀"_s,
        {{std::nullopt, std::nullopt, u""_s, {-0.0, 25, min, big}},
         {std::nullopt, std::nullopt, std::nullopt, {0.0, -0.0, 25, 9007199254740992.0}}},
        false,
        1,
        2};
    EXPECT_TRUE(test::identical(*profiles, {expected})) << encoded(*profiles);
    // Unknown keys are gone after the next write.
    EXPECT_EQ(encoded(*profiles).find("color"), std::string::npos);
}

// A window's state after its frame, the monitors and the display mark after the profile's keys:
// only when they say something, and a value the writer never writes costs that key alone.
TEST(ProfilesFile, OptionalKeysFollowTheOthersOnlyWhenTheySaySomething)
{
    WindowProfile p = workedExample();
    const std::string plain = encoded({p});
    p.snapshots[0].state = WindowState{};
    p.displays = DisplaySetup{};
    EXPECT_EQ(encoded({p}), plain);

    p.snapshots[0].state = WindowState{2, true, Maximization::Vertical, true, true, true, 7};
    p.displays->monitors = {{u"HDMI-1"_s, u"LNX"_s, u"Linux FHD"_s, {}, 0, 0, 1920, 1080, 1},
                            {u"Virtual-1"_s, {}, {}, {}, -1280, 0, 1280, 800, 1.5}};
    p.applyOnDisplayConnect = true;
    const std::string text = encoded({p});
    for (const char* part :
         {"\"height\" : 775.5\n        },\n        \"desktop\" : 2,\n        \"onAllDesktops\" : "
          "true,\n        \"maximized\" : \"vertical\",\n        \"minimized\" : true,\n        "
          "\"fullscreen\" : true,\n        \"keepAbove\" : true,\n        \"stackPosition\" : 7\n"
          "      }\n    ],",
          "\"updatedAt\" : 791834712.5,\n    \"displays\" : [\n      {\n        \"connector\" : "
          "\"HDMI-1\"",
          "\"Virtual-1\",\n        \"x\" : -1280,",
          "\n    ],\n    \"applyOnDisplayConnect\" : true\n  }\n]"})
        EXPECT_NE(text.find(part), std::string::npos) << part << " in " << text;
    const auto back = decodeProfiles(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->front().snapshots[0].state, p.snapshots[0].state);
    EXPECT_EQ(back->front().displays, p.displays);
    EXPECT_TRUE(back->front().applyOnDisplayConnect);

    const auto stateOf = [](const std::string& keys) {
        const auto read =
            decodeProfiles(snap(R"({"frame":{"x":0,"y":0,"width":1,"height":1})" + keys + "}"));
        return read.value().front().snapshots[0].state;
    };
    const std::pair<const char*, std::optional<WindowState>> states[] = {
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
        {R"(,"desktop":3,"maximized":true,"stackPosition":-2)", WindowState{3}}};
    for (const auto& [keys, expected] : states)
        EXPECT_EQ(stateOf(keys), expected) << keys;
    for (const char* bad :
         {"null", "{}", "[]", R"([{"connector":"A","x":0,"y":0,"width":1}])",
          R"([{"connector":5,"x":0,"y":0,"width":1,"height":1}])",
          R"([{"connector":"A","x":0,"y":0,"width":1,"height":1},1])", // one whole monitor
          R"([{"connector":"A","x":0,"y":0,"width":1,"height":1,"scale":"2"}])"})
        EXPECT_FALSE(decodeProfiles(extra("\"displays\":" + std::string(bad)))->front().displays)
            << bad;
    EXPECT_FALSE(
        decodeProfiles(extra(R"("applyOnDisplayConnect":1)"))->front().applyOnDisplayConnect);
    // Not JSON at all: as for any key.
    EXPECT_FALSE(
        decodeProfiles(snap(R"({"frame":{"x":0,"y":0,"width":1,"height":1},"desktop":01})")));
    EXPECT_FALSE(decodeProfiles(extra(R"("displays":[{"x":01}])")));
}

} // namespace
} // namespace tavelor
