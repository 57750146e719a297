#include "Platform/X11/PropertyDecoding.hpp"

#include "Platform/X11/WindowGeometry.hpp"

#include <gtest/gtest.h>

#include <span>

namespace tavelor::x11 {
namespace {

std::vector<std::byte> words(std::initializer_list<std::uint32_t> values)
{
    const auto bytes = std::as_bytes(std::span(values.begin(), values.size()));
    return {bytes.begin(), bytes.end()};
}

TEST(PropertyDecodingTest, TextByEncoding)
{
    using enum TextEncoding;
    const std::tuple<std::string_view, TextEncoding, bool, QString> cases[] = {
        {"caf\xc3\xa9", Utf8, false, QStringLiteral("caf\u00e9")},
        {"a\xff\xfe\x62", Utf8, false, QStringLiteral("a\uFFFD\uFFFDb")},
        {"ab\xc3", Utf8, false, QStringLiteral("ab\uFFFD")},
        // Cut by the read limit in the middle of a character: the piece goes.
        {"ab\xe2\x82", Utf8, true, QStringLiteral("ab")},
        {"ab\xe2\x82\xac", Utf8, true, QStringLiteral("ab\u20ac")},
        {"caf\xe9", Latin1, false, QStringLiteral("caf\u00e9")},
        {"a\x1b%G\xc3\xa9\x1b%@b", CompoundText, false, QStringLiteral("a\u00e9b")},
        {"\xe9\x1b-A\xe9", CompoundText, false, QStringLiteral("\u00e9\u00e9")},
        // A set we do not know (JIS X 0208) gives replacement characters, then ASCII comes back.
        {"\x1b$(B\x30\x21\x1b(Bok", CompoundText, false, QStringLiteral("\uFFFD\uFFFDok")},
        {"\x1b%Gunterminated \xc3\xa9", CompoundText, false, QStringLiteral("unterminated \u00e9")},
        {"\x1b", CompoundText, false, QString()},
        // Latin-1's right half starts at no-break space; another set replaces it.
        {"\xa0\x1b-B\xe9", CompoundText, false, QStringLiteral("\u00a0\uFFFD")}};
    for (const auto& [bytes, encoding, truncated, expected] : cases)
        EXPECT_EQ(decodeText(bytes, encoding, truncated), expected)
            << ::testing::PrintToString(std::string(bytes));
}

TEST(PropertyDecodingTest, ClassesPidsAndExtentsRejectWhatNoWindowManagerSets)
{
    const auto wmClass = decodeWmClass(std::string_view("xterm\0XTerm\0", 12), 8);
    EXPECT_EQ(wmClass->instance + '|' + wmClass->className, QStringLiteral("xterm|XTerm"));
    EXPECT_EQ(decodeWmClass("only", 8)->className, QString());
    EXPECT_FALSE(decodeWmClass("xterm", 32));

    EXPECT_EQ(decodePid(words({4242}), 32), 4242);
    for (const auto& [bytes, format] : {std::pair{words({0}), 32},
                                        {words({0x80000000u}), 32},
                                        {words({4242}), 8},
                                        {words({}), 32}})
        EXPECT_EQ(decodePid(bytes, std::uint8_t(format)), std::nullopt) << format;

    EXPECT_EQ(decodeFrameExtents(words({1, 2, 20, 5}), 32), (FrameExtents{1, 2, 20, 5}));
    EXPECT_EQ(decodeFrameExtents(words({1, 2, 20}), 32), std::nullopt);
    EXPECT_EQ(decodeFrameExtents(words({1, 2, 20, 5}), 16), std::nullopt);
    EXPECT_EQ(decodeFrameExtents(words({1, 2, 4000000000u, 5}), 32), std::nullopt);
    // An odd byte count (a truncated property) never reads past the end.
    std::vector<std::byte> odd = words({7, 7});
    odd.pop_back();
    EXPECT_EQ(decodeCardinals(odd, 32), std::vector<std::uint32_t>{7});
}

TEST(WindowGeometryTest, VisibleFrameAndTheRequestsThatReproduceIt)
{
    const ClientPlacement client{101, 120, 484, 316};
    const FrameExtents openbox{1, 1, 20, 5};
    const WindowFrame frame = visibleFrame(client, openbox, std::nullopt);
    EXPECT_EQ(frame, (WindowFrame{100, 100, 486, 341}));
    const auto size = sizeRequest(frame.width, frame.height, openbox, std::nullopt);
    EXPECT_EQ(std::pair(size->width, size->height), std::pair(484u, 316u));

    // Client-side decorations: shadows are inside the client window.
    const FrameExtents shadows{10, 12, 8, 14};
    const WindowFrame csd = visibleFrame({200, 200, 300, 200}, std::nullopt, shadows);
    EXPECT_EQ(csd, (WindowFrame{210, 208, 278, 178}));
    const auto position = positionRequest(csd.x, csd.y, shadows);
    EXPECT_EQ(std::pair(position->x, position->y), std::pair(200, 200));
    const auto csdSize = sizeRequest(csd.width, csd.height, std::nullopt, shadows);
    EXPECT_EQ(std::pair(csdSize->width, csdSize->height), std::pair(300u, 200u));
    // Shadows that would leave nothing (exactly nothing, here) are not believed.
    EXPECT_EQ(visibleFrame({0, 0, 100, 100}, std::nullopt, FrameExtents{50, 50, 0, 0}),
              (WindowFrame{0, 0, 100, 100}));

    EXPECT_FALSE(positionRequest(std::nan(""), 0, std::nullopt));
    EXPECT_FALSE(sizeRequest(100, INFINITY, std::nullopt, std::nullopt));
    EXPECT_EQ(positionRequest(-1e12, 1e12, std::nullopt)->x, -32768);
    const auto clamped = sizeRequest(-5, 1e9, std::nullopt, std::nullopt);
    EXPECT_EQ(std::pair(clamped->width, clamped->height), std::pair(1u, 32767u));
}

} // namespace
} // namespace tavelor::x11
