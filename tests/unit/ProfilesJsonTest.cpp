#include "Models/ProfilesJsonReader.hpp"
#include "Models/ProfilesJsonWriter.hpp"
#include "Models/ReferenceDate.hpp"
#include "TestProfiles.hpp"

#include <QDateTime>

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <string>

using namespace Qt::StringLiterals;

namespace tavelor {
namespace {

const char* const kWorkedExample = R"([
  {
    "id" : "5B1C9E2A-7D40-4F6B-8E3A-2C9D61F0A7B4",
    "name" : "Desk",
    "snapshots" : [
      {
        "bundleIdentifier" : "com.example.notes",
        "appName" : "Notes",
        "windowTitle" : "Shopping list",
        "frame" : {
          "x" : 0,
          "y" : 25,
          "width" : 1280,
          "height" : 775.5
        }
      }
    ],
    "isActive" : true,
    "createdAt" : 790162200.25,
    "updatedAt" : 791834712.5
  }
])";

double referenceSeconds(const char* isoUtc)
{
    const QDateTime t = QDateTime::fromString(QString::fromLatin1(isoUtc), Qt::ISODateWithMs);
    return static_cast<double>(t.toMSecsSinceEpoch()) / 1000.0 - kReferenceDateUnixSeconds;
}

WindowProfile workedExampleProfile()
{
    return {QUuid::fromString(u"5B1C9E2A-7D40-4F6B-8E3A-2C9D61F0A7B4"_s),
            u"Desk"_s,
            {{u"com.example.notes"_s, u"Notes"_s, u"Shopping list"_s, {0, 25, 1280, 775.5}}},
            true,
            referenceSeconds("2026-01-15T09:30:00.250Z"),
            referenceSeconds("2026-02-03T18:05:12.500Z")};
}

std::string encodeToString(const QList<WindowProfile>& profiles)
{
    const auto bytes = encodeProfiles(profiles);
    return bytes ? bytes->toStdString() : std::string("<nothing>");
}

// A profile document around one snapshot's text, for reader cases about snapshots.
std::string withSnapshot(const std::string& snapshot)
{
    return R"([{"id":"5B1C9E2A-7D40-4F6B-8E3A-2C9D61F0A7B4","name":"P","snapshots":[)" + snapshot +
           R"(],"createdAt":1,"updatedAt":2}])";
}

// A profile document with these members after the required id, for reader
// cases about profile keys.
std::string withProfileMembers(const std::string& members)
{
    return R"([{"id":"5B1C9E2A-7D40-4F6B-8E3A-2C9D61F0A7B4")" + members + "}]";
}

const std::string kRest = R"(,"name":"P","snapshots":[],"createdAt":1,"updatedAt":2)";
const std::string kFrame = R"("frame":{"x":1,"y":2,"width":3,"height":4})";

TEST(ProfilesWriter, WritesTheWorkedExampleByteForByte)
{
    EXPECT_EQ(encodeToString({workedExampleProfile()}), kWorkedExample);
}

TEST(ProfilesWriter, LeavesOutAbsentStringsAndKeepsEmptyOnes)
{
    WindowProfile p = workedExampleProfile();
    p.snapshots = {{std::nullopt, std::nullopt, std::nullopt, {1, 2, 3, 4}},
                   {std::nullopt, u""_s, std::nullopt, {1, 2, 3, 4}}};
    p.isActive = false;
    const std::string text = encodeToString({p});
    EXPECT_NE(text.find("      {\n        \"frame\" : {\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"appName\" : \"\",\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("bundleIdentifier"), std::string::npos);
    EXPECT_EQ(text.find("null"), std::string::npos);
    EXPECT_NE(text.find("\"isActive\" : false"), std::string::npos);
}

TEST(ProfilesWriter, EscapesAsTheFileFormatSays)
{
    WindowProfile p = workedExampleProfile();
    p.name = u"a/b \"q\" \\ \n\t\u0001 é 漢 😀"_s;
    const std::string text = encodeToString({p});
    EXPECT_NE(text.find(R"("name" : "a\/b \"q\" \\ \n\t\u0001 é 漢 😀")"), std::string::npos)
        << text;
}

TEST(ProfilesWriter, WritesEmptyListsAndShortestNumbers)
{
    EXPECT_EQ(encodeToString({}), "[]");
    WindowProfile p = workedExampleProfile();
    p.snapshots = {{std::nullopt, std::nullopt, std::nullopt, {-0.0, 1e21, 5e-324, 0.1}}};
    const std::string text = encodeToString({p});
    EXPECT_NE(text.find("\"x\" : -0,"), std::string::npos) << text;
    EXPECT_NE(text.find("\"y\" : 1e+21,"), std::string::npos) << text;
    EXPECT_NE(text.find("\"width\" : 5e-324,"), std::string::npos) << text;
    EXPECT_NE(text.find("\"height\" : 0.1\n"), std::string::npos) << text;
    p.snapshots.clear();
    EXPECT_NE(encodeToString({p}).find("\"snapshots\" : [],"), std::string::npos);
}

TEST(ProfilesWriter, RefusesNonFiniteNumbersAnywhere)
{
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity()};
    for (double value : bad) {
        WindowProfile p = workedExampleProfile();
        p.snapshots[0].frame.height = value;
        EXPECT_FALSE(encodeProfiles({workedExampleProfile(), p}));
        p = workedExampleProfile();
        p.updatedAt = value;
        EXPECT_FALSE(encodeProfiles({p}));
    }
}

TEST(ProfilesReader, ReadsTheWorkedExample)
{
    const auto profiles = decodeProfiles(kWorkedExample);
    ASSERT_TRUE(profiles);
    EXPECT_TRUE(test::identical(*profiles, {workedExampleProfile()}));
}

struct ReaderCase {
    const char* name;
    std::string document;
    bool readable;
};

class ReaderCases : public testing::TestWithParam<ReaderCase> {};

std::string caseName(const testing::TestParamInfo<ReaderCase>& param)
{
    return param.param.name;
}

TEST_P(ReaderCases, ReadsWholeDocumentsOrNothing)
{
    const ReaderCase& c = GetParam();
    EXPECT_EQ(decodeProfiles(c.document).has_value(), c.readable) << c.document;
}

INSTANTIATE_TEST_SUITE_P(
    Document, ReaderCases,
    testing::Values(
        ReaderCase{"EmptyArray", "[]", true}, ReaderCase{"WhitespaceAround", " \n\t[ ]\r\n ", true},
        ReaderCase{"Empty", "", false}, ReaderCase{"NotJson", "profiles", false},
        ReaderCase{"Object", "{}", false}, ReaderCase{"Scalar", "1", false},
        ReaderCase{"ArrayOfNumbers", "[1]", false}, ReaderCase{"NullElement", "[null]", false},
        ReaderCase{"Unterminated", "[", false}, ReaderCase{"TrailingComma", "[{}],", false},
        ReaderCase{"TrailingArray", "[] []", false}, ReaderCase{"TrailingGarbage", "[] x", false},
        ReaderCase{"MissingCommaBetweenProfiles",
                   withProfileMembers(kRest).substr(0, withProfileMembers(kRest).size() - 1) + " " +
                       withProfileMembers(kRest).substr(1),
                   false},
        ReaderCase{"MissingCommaInUnknownArray", withProfileMembers(kRest + R"(,"x":[1 2])"),
                   false},
        ReaderCase{"MissingColonInUnknownObject", withProfileMembers(kRest + R"(,"x":{"a" 1})"),
                   false},
        ReaderCase{"MissingCommaInUnknownObject",
                   withProfileMembers(kRest + R"(,"x":{"a":1 "b":2})"), false},
        ReaderCase{"MissingCommaBetweenKeys",
                   withProfileMembers(R"(,"name":"P" "snapshots":[],"createdAt":1,"updatedAt":2)"),
                   false},
        ReaderCase{"BadLiteralInUnknownValue", withProfileMembers(kRest + R"(,"x":tru)"), false},
        ReaderCase{"UnclosedUnknownArray", withProfileMembers(kRest + R"(,"x":[1)"), false},
        ReaderCase{"BadEscape",
                   withProfileMembers(R"(,"name":"\q","snapshots":[],"createdAt":1,"updatedAt":2)"),
                   false},
        ReaderCase{"RawControlCharacter",
                   withProfileMembers(
                       ",\"name\":\"a\x01b\",\"snapshots\":[],\"createdAt\":1,\"updatedAt\":2"),
                   false},
        ReaderCase{"InvalidUtf8",
                   withProfileMembers(
                       ",\"name\":\"\xc3\x28\",\"snapshots\":[],\"createdAt\":1,\"updatedAt\":2"),
                   false},
        ReaderCase{
            "LoneSurrogateEscape",
            withProfileMembers(R"(,"name":"\ud800","snapshots":[],"createdAt":1,"updatedAt":2)"),
            false}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    ProfileKeys, ReaderCases,
    testing::Values(
        ReaderCase{"Complete", withProfileMembers(kRest), true},
        ReaderCase{
            "KeysInAnyOrder",
            R"([{"updatedAt":2,"snapshots":[],"createdAt":1,"name":"P","id":"5B1C9E2A-7D40-4F6B-8E3A-2C9D61F0A7B4"}])",
            true},
        ReaderCase{"UnknownKeysOfEveryKind",
                   withProfileMembers(kRest + R"(,"x":{"a":[1,-0.5e3,true,null,"s",{}]},"y":[])"),
                   true},
        ReaderCase{"MalformedUnknownValue", withProfileMembers(kRest + R"(,"x":01)"), false},
        ReaderCase{"MissingName",
                   withProfileMembers(R"(,"snapshots":[],"createdAt":1,"updatedAt":2)"), false},
        ReaderCase{"NullName",
                   withProfileMembers(R"(,"name":null,"snapshots":[],"createdAt":1,"updatedAt":2)"),
                   false},
        ReaderCase{"NumberName",
                   withProfileMembers(R"(,"name":5,"snapshots":[],"createdAt":1,"updatedAt":2)"),
                   false},
        ReaderCase{"MissingSnapshots",
                   withProfileMembers(R"(,"name":"P","createdAt":1,"updatedAt":2)"), false},
        ReaderCase{"ObjectSnapshots",
                   withProfileMembers(R"(,"name":"P","snapshots":{},"createdAt":1,"updatedAt":2)"),
                   false},
        ReaderCase{"MissingCreatedAt",
                   withProfileMembers(R"(,"name":"P","snapshots":[],"updatedAt":2)"), false},
        ReaderCase{
            "StringUpdatedAt",
            withProfileMembers(R"(,"name":"P","snapshots":[],"createdAt":1,"updatedAt":"2")"),
            false},
        ReaderCase{
            "NullUpdatedAt",
            withProfileMembers(R"(,"name":"P","snapshots":[],"createdAt":1,"updatedAt":null)"),
            false},
        ReaderCase{"IsActiveNull", withProfileMembers(kRest + R"(,"isActive":null)"), true},
        ReaderCase{"IsActiveOne", withProfileMembers(kRest + R"(,"isActive":1)"), false},
        ReaderCase{"IsActiveString", withProfileMembers(kRest + R"(,"isActive":"true")"), false},
        ReaderCase{"DuplicateKeyLastValid", withProfileMembers(kRest + R"(,"name":"Q")"), true},
        ReaderCase{"DuplicateKeyEarlierInvalid",
                   R"([{"name":5,"id":"5B1C9E2A-7D40-4F6B-8E3A-2C9D61F0A7B4")" + kRest + "}]",
                   false},
        ReaderCase{"EscapedKeyIsTheKey",
                   R"([{"\u0069d":"5B1C9E2A-7D40-4F6B-8E3A-2C9D61F0A7B4")" + kRest + "}]", true}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Ids, ReaderCases,
    testing::Values(
        ReaderCase{"LowerCase", R"([{"id":"5b1c9e2a-7d40-4f6b-8e3a-2c9d61f0a7b4")" + kRest + "}]",
                   true},
        ReaderCase{"Braces", R"([{"id":"{5B1C9E2A-7D40-4F6B-8E3A-2C9D61F0A7B4}")" + kRest + "}]",
                   false},
        ReaderCase{"NoHyphens", R"([{"id":"5B1C9E2A7D404F6B8E3A2C9D61F0A7B4")" + kRest + "}]",
                   false},
        ReaderCase{"HyphenMisplaced",
                   R"([{"id":"5B1C9E2-A7D40-4F6B-8E3A-2C9D61F0A7B4")" + kRest + "}]", false},
        ReaderCase{"NotHex", R"([{"id":"5B1C9E2A-7D40-4F6B-8E3A-2C9D61F0A7BG")" + kRest + "}]",
                   false},
        ReaderCase{"TooLong", R"([{"id":"5B1C9E2A-7D40-4F6B-8E3A-2C9D61F0A7B4 ")" + kRest + "}]",
                   false},
        ReaderCase{"Number", R"([{"id":5)" + kRest + "}]", false},
        ReaderCase{"Missing", "[{" + kRest.substr(1) + "}]", false}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Snapshots, ReaderCases,
    testing::Values(
        ReaderCase{"FrameOnly", withSnapshot("{" + kFrame + "}"), true},
        ReaderCase{"NullStrings",
                   withSnapshot(R"({"bundleIdentifier":null,"appName":null,"windowTitle":null,)" +
                                kFrame + "}"),
                   true},
        ReaderCase{"NumberTitle", withSnapshot(R"({"windowTitle":3,)" + kFrame + "}"), false},
        ReaderCase{"MissingFrame", withSnapshot(R"({"appName":"A"})"), false},
        ReaderCase{"NullFrame", withSnapshot(R"({"frame":null})"), false},
        ReaderCase{"FrameMissingHeight", withSnapshot(R"({"frame":{"x":1,"y":2,"width":3}})"),
                   false},
        ReaderCase{"FrameStringX",
                   withSnapshot(R"({"frame":{"x":"1","y":2,"width":3,"height":4}})"), false},
        ReaderCase{"FrameUnknownKey",
                   withSnapshot(R"({"frame":{"x":1,"y":2,"width":3,"height":4,"z":9}})"), true},
        ReaderCase{"DuplicateFrameLastIncomplete",
                   withSnapshot("{" + kFrame + R"(,"frame":{"x":1}})"), false},
        ReaderCase{"SnapshotNotObject", withSnapshot("[]"), false},
        ReaderCase{
            "NumberForms",
            withSnapshot(
                R"({"frame":{"x":-0,"y":25.0,"width":1E3,"height":123456789012345678901234567890}})"),
            true},
        ReaderCase{"NumberTooLarge",
                   withSnapshot(R"({"frame":{"x":1e400,"y":2,"width":3,"height":4}})"), false},
        ReaderCase{"NumberTooSmallIsZero",
                   withSnapshot(R"({"frame":{"x":1e-400,"y":2,"width":3,"height":4}})"), true},
        ReaderCase{"NumberLeadingZero",
                   withSnapshot(R"({"frame":{"x":01,"y":2,"width":3,"height":4}})"), false},
        ReaderCase{"NumberPlus", withSnapshot(R"({"frame":{"x":+1,"y":2,"width":3,"height":4}})"),
                   false},
        ReaderCase{"NumberBareFraction",
                   withSnapshot(R"({"frame":{"x":.5,"y":2,"width":3,"height":4}})"), false},
        ReaderCase{"NumberNaN", withSnapshot(R"({"frame":{"x":NaN,"y":2,"width":3,"height":4}})"),
                   false},
        ReaderCase{"NumberInfinity",
                   withSnapshot(R"({"frame":{"x":Infinity,"y":2,"width":3,"height":4}})"), false}),
    caseName);

TEST(ProfilesReader, AFaultInTheLastProfileLosesAllOfThem)
{
    QList<WindowProfile> many = test::makeRandomProfiles(7, 50, 3);
    std::string text = encodeProfiles(many)->toStdString();
    ASSERT_TRUE(decodeProfiles(text));
    const auto last = text.rfind("\"updatedAt\"");
    text.replace(last, std::string("\"updatedAt\"").size(), "\"updatedAT\"");
    EXPECT_FALSE(decodeProfiles(text));
}

TEST(ProfilesReader, ReadsValuesAsWritten)
{
    const auto profiles = decodeProfiles(withProfileMembers(
        R"(,"name":"a\/b\u00e9\ud83d\ude00","snapshots":[{"windowTitle":"","frame":{"x":-0,"y":25.0,"width":4.9406564584124654e-324,"height":123456789012345678901234567890}},{"frame":{"x":1e-400,"y":-1e-400,"width":25,"height":9007199254740993}}],"createdAt":1,"updatedAt":2,"isActive":true,"isActive":null)"));
    ASSERT_TRUE(profiles);
    const WindowProfile& p = profiles->front();
    EXPECT_EQ(p.id.toString(QUuid::WithoutBraces).toUpper(),
              u"5B1C9E2A-7D40-4F6B-8E3A-2C9D61F0A7B4"_s);
    EXPECT_EQ(p.name, u"a/bé😀"_s);
    EXPECT_FALSE(p.isActive); // the last "isActive" counts
    const WindowSnapshot& s = p.snapshots[0];
    EXPECT_FALSE(s.bundleIdentifier);
    ASSERT_TRUE(s.windowTitle);
    EXPECT_TRUE(s.windowTitle->isEmpty());
    EXPECT_TRUE(std::signbit(s.frame.x));
    EXPECT_EQ(s.frame.y, 25.0);
    EXPECT_EQ(s.frame.width, std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(s.frame.height, 123456789012345678901234567890.0);
    const WindowFrame& f = p.snapshots[1].frame;
    EXPECT_FALSE(std::signbit(f.x));
    EXPECT_EQ(f.x, 0.0);
    EXPECT_TRUE(std::signbit(f.y));
    EXPECT_EQ(f.height, 9007199254740992.0); // rounds to nearest, ties to even
}

TEST(ProfilesRoundTrip, RandomProfilesComeBackBitForBit)
{
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
        const QList<WindowProfile> profiles = test::makeRandomProfiles(seed, 8, -1);
        const auto bytes = encodeProfiles(profiles);
        ASSERT_TRUE(bytes);
        const auto back = decodeProfiles(bytes->toStdString());
        ASSERT_TRUE(back) << "seed " << seed;
        EXPECT_TRUE(test::identical(profiles, *back)) << "seed " << seed;
        EXPECT_EQ(encodeProfiles(*back), bytes) << "seed " << seed;
    }
}

TEST(ProfilesRoundTrip, UnknownKeysAreGoneAfterTheNextWrite)
{
    const auto profiles = decodeProfiles(withProfileMembers(kRest + R"(,"color":"red")"));
    ASSERT_TRUE(profiles);
    EXPECT_EQ(encodeToString(*profiles).find("color"), std::string::npos);
}

} // namespace
} // namespace tavelor
