#include "Services/WindowMatcher.hpp"

#include "QtPrinters.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <unordered_set>
#include <vector>

namespace tavelor {
namespace {

using namespace Qt::StringLiterals;

using Text = std::optional<QString>;

WindowSnapshot window(const Text& bundleIdentifier, const Text& title)
{
    return WindowSnapshot{bundleIdentifier, QStringLiteral("Name"), title, {}};
}

// The restorer's greedy pass: saved windows in profile order, each taking the
// first free live window.
std::vector<std::optional<std::size_t>> pair(const std::vector<WindowSnapshot>& saved,
                                             const std::vector<WindowSnapshot>& live)
{
    const WindowMatcher matcher(QList<WindowSnapshot>(saved.begin(), saved.end()));
    std::unordered_set<std::size_t> taken;
    std::vector<std::optional<std::size_t>> pairs;
    for (const WindowSnapshot& s : saved) {
        pairs.push_back(matcher.firstMatch(s, live, taken));
        if (pairs.back())
            taken.insert(*pairs.back());
    }
    return pairs;
}

struct PairingCase {
    const char* name;
    std::vector<WindowSnapshot> saved;
    std::vector<WindowSnapshot> live;
    std::vector<std::optional<std::size_t>> expected;

    friend void PrintTo(const PairingCase& c, std::ostream* os) { *os << c.name; }
};

const QString kApp = QStringLiteral("org.example.App");
const QString kOther = QStringLiteral("org.example.Other");
constexpr std::nullopt_t none = std::nullopt;

class Pairing : public testing::TestWithParam<PairingCase> {};

TEST_P(Pairing, FollowsTheRule)
{
    EXPECT_EQ(pair(GetParam().saved, GetParam().live), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Matcher, Pairing,
    testing::Values(
        PairingCase{"OneWindowOfTheAppIgnoresItsChangedTitle",
                    {window(kApp, "Old title")},
                    {window(kOther, "Old title"), window(kApp, "New"), window(kApp, "Old title")},
                    {1}},
        PairingCase{"TwoTitlesInOppositeOrderAndOtherCase",
                    {window(kApp, "Inbox"), window(kApp, "Drafts")},
                    {window(kApp, "DRAFTS"), window(kApp, "Inbox")},
                    {1, 0}},
        PairingCase{"TrailingLineBreakIsNotTrimmed",
                    {window(kApp, "Notes\n"), window(kApp, "Notes")},
                    {window(kApp, "notes")},
                    {none, 0}},
        PairingCase{"NoBreakSpaceIsASpace",
                    {window(kApp, u"\u00A0Read\u00A0me"_s), window(kApp, "x")},
                    {window(kApp, "read me ")},
                    {0, none}},
        PairingCase{"TabsAndSpaceSeparatorsTrimmedAtTheEndsOnly",
                    {window(kApp, u"\tA\tB\u3000"_s), window(kApp, u"\u2003C D "_s)},
                    {window(kApp, "a b"), window(kApp, "c d"), window(kApp, "a\tb")},
                    {2, 1}},
        PairingCase{"DuplicatesPairInScanOrder",
                    {window(kApp, "Doc"), window(kApp, "Doc")},
                    {window(kApp, "doc"), window(kOther, "Doc"), window(kApp, "Doc")},
                    {0, 2}},
        PairingCase{"UntitledFirstTakesTheFirstFreeWindow",
                    {window(kApp, none), window(kApp, "Second")},
                    {window(kApp, "Second"), window(kApp, "First")},
                    {0, none}},
        PairingCase{"BlankTitleCountsAsUntitled",
                    {window(kApp, " \t"), window(kApp, "Second"), window(kApp, "First")},
                    {window(kApp, "Second"), window(kApp, "First")},
                    {0, none, 1}},
        PairingCase{"BundleIdentifiersDifferingInCaseDoNotMatch",
                    {window(QStringLiteral("org.Example.App"), "T")},
                    {window(kApp, "T")},
                    {none}},
        PairingCase{"EmptyBundleIdentifierMatchesOnlyEmptyThenByTitle",
                    {window(QString(), "T"), window(QString(), "U")},
                    {window(none, "T"), window(kApp, "T"), window(QString(), "Other"),
                     window(QString(), "t")},
                    {3, none}},
        PairingCase{
            "AbsentBundleIdentifierMatchesOnlyAbsentByTitle",
            {window(none, "T")},
            {window(QString(), "T"), window(kApp, "T"), window(none, "x"), window(none, "T")},
            {3}},
        PairingCase{"EmptyLiveListMatchesNothing",
                    {window(kApp, "T"), window(none, none)},
                    {},
                    {none, none}},
        // Composed and decomposed spellings count as one application (so titles
        // decide) and compare equal.
        PairingCase{"CanonicallyEquivalentIdentifiersAndTitles",
                    {window(u"caf\u00E9.app"_s, u"R\u00E9sum\u00E9"_s),
                     window(u"cafe\u0301.app"_s, "Other")},
                    {window(u"cafe\u0301.app"_s, "Other"),
                     window(u"caf\u00E9.app"_s, u"RE\u0301SUME\u0301"_s)},
                    {1, 0}}),
    [](const testing::TestParamInfo<PairingCase>& param) { return std::string(param.param.name); });

TEST(Matcher, NeverReturnsATakenWindow)
{
    const WindowSnapshot saved = window(kApp, "T");
    const WindowMatcher matcher({saved});
    const std::vector<WindowSnapshot> live = {window(kApp, "T"), window(kOther, "T"),
                                              window(kApp, "T")};
    EXPECT_EQ(matcher.firstMatch(saved, live, {0}), 2u);
    EXPECT_EQ(matcher.firstMatch(saved, live, {0, 2}), none);
}

TEST(Matcher, NormalizedTitle)
{
    const std::vector<std::pair<Text, QString>> cases = {
        {none, QString()},
        {QString(), QString()},
        {u" \t Mail \t "_s, u"mail"_s},
        {u"\u00A0a\u00A0b\u00A0"_s, u"a b"_s},
        {u"\u1680\u2000x\u202F\u205F\u3000"_s, u"x"_s},
        // Not space separators: line breaks, NEL, the line separator, zero-width space.
        {u"\nx\r\n"_s, u"\nx\r\n"_s},
        {u"\u0085x\u2028"_s, u"\u0085x\u2028"_s},
        {u"\u200Bx"_s, u"\u200Bx"_s},
        // Full mappings, not the locale's: dotted capital I becomes two code points.
        {u"\u0130STANBUL"_s, u"i\u0307stanbul"_s},
        {u"\U00010400"_s, u"\U00010428"_s},
    };
    for (const auto& [title, expected] : cases)
        EXPECT_EQ(WindowMatcher::normalizedTitle(title), expected) << testing::PrintToString(title);
}

} // namespace
} // namespace tavelor
