// Display setups: the EDID parser on real blobs, setup sameness, the profiles
// file's optional monitors.
#include "Models/DisplaySetup.hpp"
#include "Models/Edid.hpp"
#include "Models/ProfilesJsonReader.hpp"
#include "Models/ProfilesJsonWriter.hpp"
#include "QtPrinters.hpp"

#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tavelor {
namespace {

QByteArray fixture(const char* name)
{
    QFile file(QStringLiteral(TAVELOR_SOURCE_DIR "/tests/unit/edid/") + QString::fromLatin1(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// `edid` with byte `at` set to `value` and the checksum made right again.
QByteArray patched(QByteArray edid, std::initializer_list<std::pair<int, int>> bytes)
{
    for (const auto& [at, value] : bytes)
        edid[at] = static_cast<char>(value);
    int sum = 0;
    for (int i = 0; i < 127; ++i)
        sum += static_cast<unsigned char>(edid[i]);
    edid[127] = static_cast<char>((256 - sum % 256) % 256);
    return edid;
}

TEST(Edid, ReadsMakerModelAndSerialOfRealMonitors)
{
    const QByteArray fhd = fixture("linux-fhd.bin"), xga = fixture("linux-xga.bin");
    ASSERT_EQ(fhd.size(), 128);
    const EdidIdentity fhdIdentity{u"LNX"_s, u"Linux FHD"_s, u"Linux #0"_s};
    EXPECT_EQ(parseEdid(fhd), fhdIdentity);
    EXPECT_EQ(parseEdid(xga), (EdidIdentity{u"LNX"_s, u"Linux XGA"_s, u"Linux #0"_s}));
    // Extension blocks follow the base block and change nothing here.
    EXPECT_EQ(parseEdid(fhd + QByteArray(128, '\x02')), fhdIdentity);

    // Without name and serial descriptors (tags 0xfc at 108, 0xff at 75): the
    // product code and the serial number field; a zero serial number is none.
    const QByteArray bare = patched(fhd, {{75, 0x10}, {111, 0x10}, {10, 0xab}, {11, 0x12}});
    EXPECT_EQ(parseEdid(bare), (EdidIdentity{u"LNX"_s, u"12ab"_s, QString()}));
    EXPECT_EQ(parseEdid(patched(bare, {{12, 0x39}, {13, 0x30}})),
              (EdidIdentity{u"LNX"_s, u"12ab"_s, u"12345"_s}));
    // Bytes outside printable ASCII never reach the text.
    EXPECT_EQ(parseEdid(patched(fhd, {{118, 0xe9}, {119, 0x01}}))->model, u"LinuxHD"_s);
}

TEST(Edid, BrokenBlobsGiveAnUnknownMonitor)
{
    const QByteArray fhd = fixture("linux-fhd.bin");
    QByteArray badChecksum = fhd;
    badChecksum[127] = static_cast<char>(badChecksum[127] + 1);
    const QByteArray broken[] = {
        QByteArray(),
        fhd.left(127),
        fhd + "x",         // not whole blocks
        fhd.repeated(257), // more blocks than any EDID has
        badChecksum,
        patched(fhd, {{0, 0x01}}),            // no header
        patched(fhd, {{8, 0x00}, {9, 0x00}}), // maker letters out of range
        QByteArray(128, '\0'),
        QByteArray(1 << 20, '\xff'),
    };
    for (const QByteArray& blob : broken)
        EXPECT_FALSE(parseEdid(blob)) << blob.size() << " bytes";
    for (int length = 0; length < 128; ++length)
        EXPECT_FALSE(parseEdid(fhd.left(length)));
}

Monitor monitor(const QString& connector, const EdidIdentity& who, double width = 1920)
{
    return {connector, who.maker, who.model, who.serial, 0, 0, width, 1080, 1};
}

TEST(DisplaySetup, EdidsDecideWhereKnownElseConnectorAndSize)
{
    const EdidIdentity fhd = *parseEdid(fixture("linux-fhd.bin"));
    const EdidIdentity xga = *parseEdid(fixture("linux-xga.bin"));
    const EdidIdentity none;
    Monitor moved = monitor(u"DP-1"_s, fhd);
    moved.x = 1920;
    moved.scale = 2;
    struct Case {
        QList<Monitor> a, b;
        bool same;
    };
    const Case cases[] = {
        {{}, {}, true},
        {{monitor(u"HDMI-1"_s, fhd)}, {moved}, true}, // other port, place and scale
        {{monitor(u"HDMI-1"_s, fhd)}, {monitor(u"HDMI-1"_s, xga)}, false},
        {{monitor(u"HDMI-1"_s, fhd), monitor(u"DP-1"_s, xga)},
         {monitor(u"DP-1"_s, xga), monitor(u"HDMI-1"_s, fhd)},
         true},
        {{monitor(u"HDMI-1"_s, fhd)}, {monitor(u"HDMI-1"_s, fhd), monitor(u"DP-1"_s, none)}, false},
        {{monitor(u"V-1"_s, none)}, {monitor(u"V-1"_s, none)}, true},
        {{monitor(u"V-1"_s, none)}, {monitor(u"V-2"_s, none)}, false},
        {{monitor(u"V-1"_s, none)}, {monitor(u"V-1"_s, none, 1280)}, false},
        {{monitor(u"V-1"_s, none)}, {monitor(u"V-1"_s, fhd)}, true}, // known on one side only
        // Two alike monitors are two: one cannot stand for both.
        {{monitor(u"A"_s, fhd), monitor(u"B"_s, fhd)},
         {monitor(u"A"_s, fhd), monitor(u"B"_s, xga)},
         false},
        // The identified monitor keeps its partner; the unknown one takes what is left.
        {{monitor(u"V-1"_s, none), monitor(u"DP-1"_s, fhd)},
         {monitor(u"V-1"_s, fhd), monitor(u"V-1"_s, none)},
         true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DisplaySetup{c.a}.isSameSetup({c.b}), c.same) << &c - cases;
        EXPECT_EQ(DisplaySetup{c.b}.isSameSetup({c.a}), c.same) << &c - cases;
    }
}

TEST(ProfilesFile, KeepsTheMonitorsAfterTheOtherKeysOnlyWhenKnown)
{
    WindowProfile profile{
        QUuid::fromString(u"5B1C9E2A-7D40-4F6B-8E3A-2C9D61F0A7B4"_s), u"P"_s, {}, false, 1, 2};
    const std::string plain = encodeProfiles({profile})->toStdString();
    profile.displays = DisplaySetup{};
    EXPECT_EQ(encodeProfiles({profile})->toStdString(), plain);

    Monitor unknown{u"Virtual-1"_s, {}, {}, {}, -1280, 0, 1280, 800, 1.5};
    profile.displays->monitors = {monitor(u"HDMI-1"_s, *parseEdid(fixture("linux-fhd.bin"))),
                                  unknown};
    const std::string text = encodeProfiles({profile})->toStdString();
    EXPECT_EQ(text.substr(0, plain.size() - 6), plain.substr(0, plain.size() - 6));
    EXPECT_NE(text.find("\"updatedAt\" : 2,\n    \"displays\" : [\n      {\n        "
                        "\"connector\" : \"HDMI-1\",\n        \"maker\" : \"LNX\","),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\"connector\" : \"Virtual-1\",\n        \"x\" : -1280,"),
              std::string::npos);
    const auto read = decodeProfiles(text);
    ASSERT_TRUE(read && read->size() == 1);
    EXPECT_EQ(read->front().displays, profile.displays);
    EXPECT_FALSE(decodeProfiles(plain)->front().displays);

    // A monitor list of the wrong shape costs the monitors, never the file.
    const std::string head = plain.substr(0, plain.size() - 6);
    for (const char* bad :
         {"null", "{}", "[]", "[1]", R"([{"connector":"A","x":0,"y":0,"width":1}])",
          R"([{"connector":5,"x":0,"y":0,"width":1,"height":1}])"}) {
        const auto odd = decodeProfiles(head + ",\n\"displays\":" + bad + "}]");
        ASSERT_TRUE(odd) << bad;
        EXPECT_FALSE(odd->front().displays) << bad;
    }
    EXPECT_FALSE(decodeProfiles(head + ",\n\"displays\":[{\"x\":01}]}]"));
}

} // namespace
} // namespace tavelor
