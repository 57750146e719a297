#include "Services/HotKeyStore.hpp"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace tavelor {
namespace {

TEST(HotKeyStore, LoadFollowsTheRangeRulesAndLeavesTheFileAlone)
{
    const char* none = nullptr; // no entry
    const std::tuple<const char*, const char*, std::optional<HotKey>> cases[] = {
        // clang-format off
        {none, none, {}}, {"49", none, {}}, {none, "256", {}}, {"49", "256", HotKey{49, cmdKey}},
        {"49", "0", {}}, {"0", "4096", HotKey{0, controlKey}}, {"65535", "256", HotKey{65535, cmdKey}},
        {"65536", "256", {}}, {"-1", "256", {}}, {"49", "4294967295", HotKey{49, 0xFFFFFFFFu}},
        {"49", "4294967296", {}}, {"49", "-1", {}}, {"49", "1", HotKey{49, 1}},
        {"abc", "256", HotKey{0, cmdKey}}, {"", "256", HotKey{0, cmdKey}}, {"49", "abc", {}},
        {"49", "1, 2", {}}};
    // clang-format on
    QTemporaryDir dir;
    int n = 0;
    for (const auto& [keyCode, modifiers, expected] : cases) {
        std::string ini = "[General]\nother=1\n";
        ini += keyCode ? std::string(HotKeyStore::kKeyCodeKey) + "=" + keyCode + "\n" : "";
        ini += modifiers ? std::string(HotKeyStore::kModifiersKey) + "=" + modifiers + "\n" : "";
        // A file per case: QSettings caches what it read by path.
        QFile file(dir.filePath(QString::number(++n) + ".conf"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(ini.data(), qint64(ini.size()));
        file.close();
        {
            QSettings settings(file.fileName(), QSettings::IniFormat); // synced when it goes
            EXPECT_EQ(HotKeyStore::load(settings), expected) << ini;
        }
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)); // bad entries stay as the user wrote them
        EXPECT_EQ(file.readAll().toStdString(), ini);
    }

    // Values QSettings itself stored as integers.
    QSettings settings(dir.filePath(QStringLiteral("Typed.conf")), QSettings::IniFormat);
    settings.setValue(HotKeyStore::kKeyCodeKey, 122);
    settings.setValue(HotKeyStore::kModifiersKey, qint64{0x1800});
    EXPECT_EQ(HotKeyStore::load(settings), (HotKey{122, controlKey | optionKey}));
}

} // namespace
} // namespace tavelor
