#include "Services/WindowMatcher.hpp"

#include "QtPrinters.hpp"

#include <gtest/gtest.h>

#include <unordered_set>

namespace tavelor {
namespace {

using namespace Qt::StringLiterals;
using Text = std::optional<QString>;
using Windows = std::vector<WindowSnapshot>;
using Pairs = std::vector<std::optional<std::size_t>>;
constexpr std::nullopt_t none = std::nullopt;
const QString app = u"org.example.App"_s, other = u"org.example.Other"_s, empty;

WindowSnapshot w(const Text& bundleIdentifier, const Text& title)
{
    return {bundleIdentifier, u"Name"_s, title, {}};
}

// The restorer's greedy pass: saved windows in profile order, each taking the first
// free live window.
Pairs pair(const Windows& saved, const Windows& live)
{
    const WindowMatcher matcher(QList<WindowSnapshot>(saved.begin(), saved.end()));
    std::unordered_set<std::size_t> taken;
    Pairs pairs;
    for (const WindowSnapshot& s : saved) {
        pairs.push_back(matcher.firstMatch(s, live, taken));
        if (pairs.back())
            taken.insert(*pairs.back());
    }
    return pairs;
}

TEST(Matcher, PairsByTheRule)
{
    const std::tuple<const char*, Windows, Windows, Pairs> cases[] = {
        // clang-format off
        {"the only window of its app ignores a changed title", {w(app, "Old title")},
         {w(other, "Old title"), w(app, "New"), w(app, "Old title")}, {1}},
        {"titles in the other order and case", {w(app, "Inbox"), w(app, "Drafts")},
         {w(app, "DRAFTS"), w(app, "Inbox")}, {1, 0}},
        {"a trailing line break is kept", {w(app, "Notes\n"), w(app, "Notes")}, {w(app, "notes")}, {none, 0}},
        {"no-break space is a space", {w(app, u"\u00A0Read\u00A0me"_s), w(app, "x")}, {w(app, "read me ")},
         {0, none}},
        {"tabs and space separators trimmed at the ends only", {w(app, u"\tA\tB\u3000"_s), w(app, u"\u2003C D "_s)},
         {w(app, "a b"), w(app, "c d"), w(app, "a\tb")}, {2, 1}},
        {"duplicates pair in scan order", {w(app, "Doc"), w(app, "Doc")},
         {w(app, "doc"), w(other, "Doc"), w(app, "Doc")}, {0, 2}},
        {"untitled takes the first free window", {w(app, none), w(app, "Second")},
         {w(app, "Second"), w(app, "First")}, {0, none}},
        {"a blank title is untitled", {w(app, " \t"), w(app, "Second"), w(app, "First")},
         {w(app, "Second"), w(app, "First")}, {0, none, 1}},
        {"identifiers differing in case", {w(u"org.Example.App"_s, "T")}, {w(app, "T")}, {none}},
        {"an empty identifier matches only empty, by title", {w(empty, "T"), w(empty, "U")},
         {w(none, "T"), w(app, "T"), w(empty, "Other"), w(empty, "t")}, {3, none}},
        {"an absent identifier matches only absent, by title", {w(none, "T")},
         {w(empty, "T"), w(app, "T"), w(none, "x"), w(none, "T")}, {3}},
        {"no live windows", {w(app, "T"), w(none, none)}, {}, {none, none}},
        {"canonically equivalent identifiers are one app, so titles decide",
         {w(u"caf\u00E9.app"_s, u"R\u00E9sum\u00E9"_s), w(u"cafe\u0301.app"_s, "Other")},
         {w(u"cafe\u0301.app"_s, "Other"), w(u"caf\u00E9.app"_s, u"RE\u0301SUME\u0301"_s)}, {1, 0}}};
    // clang-format on
    for (const auto& [name, saved, live, expected] : cases)
        EXPECT_EQ(pair(saved, live), expected) << name;

    // Only present, non-empty identifiers are counted, by their NFC form.
    const WindowMatcher counted({w(empty, "T"), w(none, "T"), w(app, "T"),
                                 w(u"cafe\u0301.app"_s, "T"), w(u"caf\u00E9.app"_s, "U")});
    EXPECT_EQ(counted.bundleCounts(),
              (QHash<QString, std::int64_t>{{app, 1}, {u"caf\u00E9.app"_s, 2}}));
}

TEST(Matcher, NormalizedTitle)
{
    // Not space separators: line breaks, NEL, the line separator, zero-width space. Full
    // case mappings, not the locale's: dotted capital I becomes two code points.
    // clang-format off
    const std::pair<Text, QString> cases[] = {
        {none, empty}, {empty, empty}, {u" \t Mail \t "_s, u"mail"_s}, {u"\u00A0a\u00A0b\u00A0"_s, u"a b"_s},
        {u"\u1680\u2000x\u202F\u205F\u3000"_s, u"x"_s}, {u"\nx\r\n"_s, u"\nx\r\n"_s},
        {u"\u0085x\u2028"_s, u"\u0085x\u2028"_s}, {u"\u200Bx"_s, u"\u200Bx"_s},
        {u"\u0130STANBUL"_s, u"i\u0307stanbul"_s}, {u"\U00010400"_s, u"\U00010428"_s}};
    // clang-format on
    for (const auto& [title, expected] : cases)
        EXPECT_EQ(WindowMatcher::normalizedTitle(title), expected) << testing::PrintToString(title);
}

} // namespace
} // namespace tavelor
