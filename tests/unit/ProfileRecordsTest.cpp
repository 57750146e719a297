#include "Models/WindowSnapshot.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace tavelor {
namespace {

WindowSnapshot snapshot(std::optional<QString> bundle, std::optional<QString> app,
                        std::optional<QString> title, WindowFrame frame = {0, 25, 1280, 775.5})
{
    return {std::move(bundle), std::move(app), std::move(title), frame};
}

TEST(WindowFrame, ZerosOfEitherSignAreEqualAndHashAlike)
{
    const WindowFrame a{0.0, -0.0, 10, 20};
    const WindowFrame b{-0.0, 0.0, 10, 20};
    EXPECT_EQ(a, b);
    EXPECT_EQ(std::hash<WindowFrame>{}(a), std::hash<WindowFrame>{}(b));
}

TEST(WindowFrame, NaNEqualsNothingNotEvenItself)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const WindowFrame a{nan, 0, 10, 20};
    EXPECT_FALSE(a == a);
}

TEST(WindowFrame, EveryFieldCountsAndFieldOrderMatters)
{
    const WindowFrame base{1, 2, 3, 4};
    EXPECT_NE(base, (WindowFrame{1, 2, 3, 4.0000001}));
    EXPECT_NE(base, (WindowFrame{2, 1, 3, 4}));
    EXPECT_NE(std::hash<WindowFrame>{}(base), std::hash<WindowFrame>{}(WindowFrame{2, 1, 3, 4}));
}

TEST(WindowSnapshot, CanonicallyEquivalentTextIsEqualAndHashesAlike)
{
    const QString composed = QStringLiteral("Caf\u00e9");
    const QString decomposed = QStringLiteral("Cafe\u0301");
    const auto a = snapshot(composed, composed, composed);
    const auto b = snapshot(decomposed, decomposed, decomposed);
    EXPECT_EQ(a, b);
    EXPECT_EQ(std::hash<WindowSnapshot>{}(a), std::hash<WindowSnapshot>{}(b));
}

TEST(WindowSnapshot, AbsentEmptyAndCaseAreDistinct)
{
    const auto titled = snapshot(u"com.example.notes"_s, u"Notes"_s, u"List"_s);
    EXPECT_NE(titled, snapshot(u"com.example.notes"_s, u"Notes"_s, u"list"_s));
    EXPECT_NE(snapshot(std::nullopt, u"Notes"_s, u"List"_s),
              snapshot(QString(), u"Notes"_s, u"List"_s));
    // The strings are fed with their presence and length, so moving text from
    // one field to the next changes the hash.
    EXPECT_NE(std::hash<WindowSnapshot>{}(snapshot(u"ab"_s, u"c"_s, std::nullopt)),
              std::hash<WindowSnapshot>{}(snapshot(u"a"_s, u"bc"_s, std::nullopt)));
    EXPECT_NE(std::hash<WindowSnapshot>{}(snapshot(std::nullopt, QString(), std::nullopt)),
              std::hash<WindowSnapshot>{}(snapshot(QString(), std::nullopt, std::nullopt)));
}

TEST(WindowSnapshot, FramesDecide)
{
    EXPECT_NE(snapshot(std::nullopt, std::nullopt, std::nullopt, {0, 0, 10, 20}),
              snapshot(std::nullopt, std::nullopt, std::nullopt, {0, 0, 10, 21}));
    EXPECT_EQ(snapshot(std::nullopt, std::nullopt, std::nullopt, {-0.0, 0, 10, 20}),
              snapshot(std::nullopt, std::nullopt, std::nullopt, {0.0, 0, 10, 20}));
}

} // namespace
} // namespace tavelor
