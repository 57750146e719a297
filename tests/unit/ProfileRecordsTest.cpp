#include "Models/WindowSnapshot.hpp"
#include "QtPrinters.hpp"

#include <gtest/gtest.h>

#include <limits>

using namespace Qt::StringLiterals;

namespace tavelor {
namespace {

TEST(WindowRecords, EqualityAndHashAgree)
{
    using S = WindowSnapshot;
    const QString composed = u"Caf\u00e9"_s, decomposed = u"Cafe\u0301"_s;
    // Equal pairs hash alike; these unequal ones hash apart: every frame field is fed in
    // order, each string with its presence and length.
    const std::tuple<S, S, bool> cases[] = {
        {S{{}, {}, {}, {0.0, -0.0, 10, 20}}, S{{}, {}, {}, {-0.0, 0.0, 10, 20}}, true},
        {S{composed, composed, composed, {}}, S{decomposed, decomposed, decomposed, {}}, true},
        {S{{}, {}, {}, {1, 2, 3, 4}}, S{{}, {}, {}, {2, 1, 3, 4}}, false},
        {S{{}, {}, {}, {1, 2, 3, 4}}, S{{}, {}, {}, {1, 2, 30, 4}}, false},
        {S{{}, {}, {}, {1, 2, 3, 4}}, S{{}, {}, {}, {1, 2, 3, 4.0000001}}, false},
        {S{u"n"_s, u"N"_s, u"List"_s, {}}, S{u"n"_s, u"N"_s, u"list"_s, {}}, false},
        {S{std::nullopt, u"N"_s, {}, {}}, S{QString(), u"N"_s, {}, {}}, false},
        {S{u"ab"_s, u"c"_s, {}, {}}, S{u"a"_s, u"bc"_s, {}, {}}, false},
        {S{{}, QString(), {}, {}}, S{QString(), {}, {}, {}}, false},
        // The state takes no part, so that removing an application finds every state.
        {S{{}, {}, {}, {}, WindowState{2, true}}, S{{}, {}, {}, {}}, true}};
    for (const auto& [a, b, equal] : cases) {
        SCOPED_TRACE(testing::PrintToString(a) + " and " + testing::PrintToString(b));
        EXPECT_EQ(a == b, equal);
        EXPECT_EQ(std::hash<S>{}(a) == std::hash<S>{}(b), equal);
        const std::hash<WindowFrame> frameHash;
        EXPECT_EQ(frameHash(a.frame) == frameHash(b.frame), a.frame == b.frame);
    }
    const WindowFrame nan{std::numeric_limits<double>::quiet_NaN(), 0, 10, 20};
    EXPECT_FALSE(nan == nan);
}

} // namespace
} // namespace tavelor
