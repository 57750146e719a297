// When two saved windows are the same, the EDID parser on real blobs, and when two monitor
// setups are the same.
#include "Models/DisplaySetup.hpp"
#include "Models/Edid.hpp"
#include "Models/WindowSnapshot.hpp"
#include "QtPrinters.hpp"
#include "TestProfiles.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <numeric>

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

const QByteArray kFhd = test::readFile(TAVELOR_SOURCE_DIR "/tests/unit/edid/linux-fhd.bin"),
                 kXga = test::readFile(TAVELOR_SOURCE_DIR "/tests/unit/edid/linux-xga.bin");

// `edid` with the bytes set and the checksum made right again.
QByteArray patched(QByteArray edid, std::initializer_list<std::pair<int, int>> bytes)
{
    for (const auto& [at, value] : bytes)
        edid[at] = static_cast<char>(value);
    edid[127] = static_cast<char>(-std::accumulate(edid.begin(), edid.begin() + 127, 0));
    return edid;
}

TEST(Edid, ReadsRealMonitorsAndGivesNothingForBrokenBlobs)
{
    const EdidIdentity fhd{u"LNX"_s, u"Linux FHD"_s, u"Linux #0"_s};
    EXPECT_EQ(parseEdid(kFhd), fhd);
    EXPECT_EQ(parseEdid(kFhd + QByteArray(128, '\x02')), fhd); // an extension block
    // Without name (tag at 111) and serial (75) descriptors: the product code and
    // the serial number field, where 0 means none.
    const QByteArray bare = patched(kFhd, {{75, 0x10}, {111, 0x10}, {10, 0xab}, {11, 0x12}});
    EXPECT_EQ(parseEdid(bare), (EdidIdentity{u"LNX"_s, u"12ab"_s, QString()}));
    EXPECT_EQ(parseEdid(patched(bare, {{12, 0x39}, {13, 0x30}}))->serial, u"12345"_s);
    EXPECT_EQ(parseEdid(patched(kFhd, {{118, 0xe9}, {119, 0x01}}))->model, u"LinuxHD"_s);

    const QByteArray badChecksum = kFhd.first(127) + char(kFhd.back() + 1);
    for (const QByteArray& blob :
         {kFhd + "x", kFhd.repeated(257), badChecksum, patched(kFhd, {{0, 1}}),
          patched(kFhd, {{8, 0}, {9, 0}}), QByteArray(128, '\0'), QByteArray(1 << 20, '\xff')})
        EXPECT_FALSE(parseEdid(blob)) << blob.size() << " bytes";
    for (int length = 0; length < 128; ++length)
        EXPECT_FALSE(parseEdid(kFhd.left(length)));
}

Monitor monitor(const QString& connector, const QByteArray& edid = {}, double width = 1920)
{
    const EdidIdentity who = parseEdid(edid).value_or(EdidIdentity{});
    return {connector, who.maker, who.model, who.serial, 0, 0, width, 1080, 1};
}

TEST(DisplaySetup, EdidsDecideWhereKnownElseConnectorAndSize)
{
    const Monitor fhd = monitor(u"HDMI-1"_s, kFhd), xga = monitor(u"DP-1"_s, kXga);
    const Monitor v1 = monitor(u"V-1"_s),
                  moved{u"DP-1"_s, fhd.maker, fhd.model, fhd.serial, 1920, 0, 1920, 1080, 2};
    const std::tuple<QList<Monitor>, QList<Monitor>, bool> cases[] = {
        {{}, {}, true},
        {{fhd}, {moved}, true}, // another port, place and scale
        {{fhd}, {monitor(u"HDMI-1"_s, kXga)}, false},
        {{fhd, xga}, {xga, fhd}, true},
        {{fhd}, {fhd, v1}, false},
        {{v1}, {monitor(u"V-2"_s)}, false},
        {{v1}, {monitor(u"V-1"_s, {}, 1280)}, false},
        {{v1}, {monitor(u"V-1"_s, kFhd)}, true}, // known on one side only
        {{fhd, moved}, {fhd, xga}, false},       // one of two alike cannot stand for both
        // The identified keep their partners; the unknown take what is left.
        {{v1, xga}, {monitor(u"V-1"_s, kXga), v1}, true},
    };
    for (const auto& [a, b, same] : cases) {
        EXPECT_EQ(DisplaySetup{a}.isSameSetup({b}), same) << &a - &std::get<0>(cases[0]);
        EXPECT_EQ(DisplaySetup{b}.isSameSetup({a}), same);
    }
}

} // namespace
} // namespace tavelor
