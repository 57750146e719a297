#include "Models/WindowSnapshot.hpp"
#include "QtPrinters.hpp"

#include <gtest/gtest.h>

#include <limits>

using namespace Qt::StringLiterals;

namespace tavelor {
namespace {

// Equality decides which saved window "Remove App" takes out.
TEST(WindowRecords, EqualityIsCanonicalForTextsExactForFramesAndIgnoresTheState)
{
    using S = WindowSnapshot;
    const QString composed = u"Caf\u00e9"_s, decomposed = u"Cafe\u0301"_s;
    const std::tuple<S, S, bool> cases[] = {
        {S{{}, {}, {}, {0.0, -0.0, 10, 20}}, S{{}, {}, {}, {-0.0, 0.0, 10, 20}}, true},
        {S{composed, composed, composed, {}}, S{decomposed, decomposed, decomposed, {}}, true},
        {S{{}, {}, {}, {1, 2, 3, 4}}, S{{}, {}, {}, {2, 1, 3, 4}}, false},
        {S{{}, {}, {}, {1, 2, 3, 4}}, S{{}, {}, {}, {1, 2, 3, 4.0000001}}, false},
        {S{u"n"_s, u"N"_s, u"List"_s, {}}, S{u"n"_s, u"N"_s, u"list"_s, {}}, false},
        {S{std::nullopt, u"N"_s, {}, {}}, S{QString(), u"N"_s, {}, {}}, false},
        {S{{}, {}, {}, {}, WindowState{2, true}}, S{{}, {}, {}, {}}, true}};
    for (const auto& [a, b, equal] : cases)
        EXPECT_EQ(a == b, equal) << testing::PrintToString(a) << " and "
                                 << testing::PrintToString(b);
    const WindowFrame nan{std::numeric_limits<double>::quiet_NaN(), 0, 10, 20};
    EXPECT_FALSE(nan == nan);
}

} // namespace
} // namespace tavelor
