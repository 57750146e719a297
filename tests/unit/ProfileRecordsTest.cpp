#include "Models/WindowSnapshot.hpp"

#include <gtest/gtest.h>

#include <limits>

using namespace Qt::StringLiterals;

namespace tavelor {
namespace {

template <typename T> size_t hashOf(const T& value)
{
    return std::hash<T>{}(value);
}

TEST(WindowFrame, SignedZerosEqualNaNNothingEveryFieldInOrder)
{
    const WindowFrame a{0.0, -0.0, 10, 20}, b{-0.0, 0.0, 10, 20}, base{1, 2, 3, 4};
    EXPECT_EQ(a, b);
    EXPECT_EQ(hashOf(a), hashOf(b));
    const WindowFrame nan{std::numeric_limits<double>::quiet_NaN(), 0, 10, 20};
    EXPECT_FALSE(nan == nan);
    EXPECT_NE(base, (WindowFrame{1, 2, 3, 4.0000001}));
    EXPECT_NE(base, (WindowFrame{2, 1, 3, 4}));
    EXPECT_NE(hashOf(base), hashOf(WindowFrame{2, 1, 3, 4}));
}

TEST(WindowSnapshot, CanonicalTextEqualAbsentEmptyCaseAndFramesDistinct)
{
    using S = WindowSnapshot;
    const QString composed = u"Caf\u00e9"_s, decomposed = u"Cafe\u0301"_s;
    const S a{composed, composed, composed, {}}, b{decomposed, decomposed, decomposed, {}};
    EXPECT_EQ(a, b);
    EXPECT_EQ(hashOf(a), hashOf(b));
    EXPECT_NE((S{u"n"_s, u"N"_s, u"List"_s, {}}), (S{u"n"_s, u"N"_s, u"list"_s, {}}));
    EXPECT_NE((S{std::nullopt, u"N"_s, {}, {}}), (S{QString(), u"N"_s, {}, {}}));
    EXPECT_NE((S{{}, {}, {}, {0, 0, 10, 20}}), (S{{}, {}, {}, {0, 0, 10, 21}}));
    EXPECT_EQ((S{{}, {}, {}, {-0.0, 0, 10, 20}}), (S{{}, {}, {}, {0.0, 0, 10, 20}}));
    // Strings are hashed with presence and length: moving text between fields changes it.
    EXPECT_NE(hashOf(S{u"ab"_s, u"c"_s, {}, {}}), hashOf(S{u"a"_s, u"bc"_s, {}, {}}));
    EXPECT_NE(hashOf(S{{}, QString(), {}, {}}), hashOf(S{QString(), {}, {}, {}}));
}

} // namespace
} // namespace tavelor
