#include "Services/HotKeyStore.hpp"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tavelor {
namespace {

struct LoadCase {
    const char* name;
    std::optional<std::string> keyCode;   // raw INI text; empty: no entry
    std::optional<std::string> modifiers; // raw INI text; empty: no entry
    std::optional<HotKey> expected;
};

class HotKeyStoreLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(HotKeyStoreLoad, FollowsTheRangeRules)
{
    const LoadCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Tavelor.conf"));
    std::string ini = "[General]\nother=1\n";
    if (c.keyCode)
        ini += "hotKeyKeyCode=" + *c.keyCode + "\n";
    if (c.modifiers)
        ini += "hotKeyModifiers=" + *c.modifiers + "\n";
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(ini.data(), static_cast<qint64>(ini.size()));
    }

    {
        QSettings settings(path, QSettings::IniFormat);
        EXPECT_EQ(HotKeyStore::load(settings), c.expected);
    }

    // Bad entries are left as the user wrote them.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), ini);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HotKeyStoreLoad,
    ::testing::Values(LoadCase{"neither", {}, {}, {}}, LoadCase{"keyCodeOnly", "49", {}, {}},
                      LoadCase{"modifiersOnly", {}, "256", {}},
                      LoadCase{"commandSpace", "49", "256", HotKey{49, cmdKey}},
                      LoadCase{"maskZero", "49", "0", {}},
                      LoadCase{"keyCodeZero", "0", "4096", HotKey{0, controlKey}},
                      LoadCase{"keyCodeMax", "65535", "256", HotKey{65535, cmdKey}},
                      LoadCase{"keyCodeTooLarge", "65536", "256", {}},
                      LoadCase{"keyCodeNegative", "-1", "256", {}},
                      LoadCase{"maskMax", "49", "4294967295", HotKey{49, 0xFFFFFFFFu}},
                      LoadCase{"maskTooLarge", "49", "4294967296", {}},
                      LoadCase{"maskNegative", "49", "-1", {}},
                      LoadCase{"otherMaskBitsKept", "49", "1", HotKey{49, 1}},
                      LoadCase{"keyCodeNotNumericReadsZero", "abc", "256", HotKey{0, cmdKey}},
                      LoadCase{"keyCodeEmptyReadsZero", "", "256", HotKey{0, cmdKey}},
                      LoadCase{"maskNotNumeric", "49", "abc", {}},
                      LoadCase{"maskList", "49", "1, 2", {}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(HotKeyStore, ReadsValuesStoredAsIntegers)
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("Tavelor.conf")), QSettings::IniFormat);
    settings.setValue(HotKeyStore::kKeyCodeKey, 122);
    settings.setValue(HotKeyStore::kModifiersKey, qint64{0x1800});
    EXPECT_EQ(HotKeyStore::load(settings), (HotKey{122, controlKey | optionKey}));
}

} // namespace
} // namespace tavelor
