#include "Platform/Fake/FakeBackend.hpp"
#include "Services/HotKeyService.hpp"
#include "Services/HotKeyStore.hpp"
#include "TestProfiles.hpp"

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

namespace tavelor {
namespace {

using GrabResult = platform::GlobalShortcuts::GrabResult;

constexpr HotKey kCommandSpace{49, cmdKey}, kControlF1{122, controlKey};

// Replacing, clearing, and the release when the service goes: ShortcutSettingsTest.
TEST(HotKeyService, ARefusalLeavesNothingAndTriggersRunLaterAsAtPressTime)
{
    fake::FakeGlobalShortcuts shortcuts;
    fake::FakeKeyboardLayout layout;
    HotKeyService service{shortcuts, layout};
    for (GrabResult refusal : {GrabResult::Taken, GrabResult::NoSuchKey, GrabResult::Unavailable}) {
        shortcuts.refusal = GrabResult::Grabbed;
        ASSERT_TRUE(service.registerHotKey(kCommandSpace));
        shortcuts.refusal = refusal;
        EXPECT_FALSE(service.registerHotKey(kControlF1));
        EXPECT_FALSE(service.currentHotKey() || shortcuts.held) << "the previous one is gone too";
        EXPECT_EQ(service.lastGrabResult(), refusal);
    }
    shortcuts.refusal = GrabResult::Grabbed;
    EXPECT_TRUE(service.registerHotKey(kControlF1));
    EXPECT_EQ(service.lastGrabResult(), GrabResult::Grabbed);
    EXPECT_EQ(service.currentHotKey(), kControlF1);

    // Triggers run later, in press order, as they were at press time.
    std::vector<int> ran;
    service.setOnTrigger([&] { ran.push_back(1); });
    ASSERT_TRUE(shortcuts.press());
    service.setOnTrigger([&] { ran.push_back(2); });
    ASSERT_TRUE(shortcuts.press());
    service.setOnTrigger({});
    ASSERT_TRUE(shortcuts.press());
    service.setOnTrigger([&] { ran.push_back(3); });
    EXPECT_TRUE(ran.empty()) << "the trigger must not run inside the press";
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
}

TEST(KeyNames, DisplayNamesAndModifiersFromEventFlags)
{
    fake::FakeKeyboardLayout layout;
    layout.texts = {{0, "a"},      {18, "1"}, {36, "\r"}, {41, "\u00e9"},
                    {1, "abcdef"}, {2, ""},   {53, "x"}};
    // clang-format off
    const std::pair<HotKey, const char*> names[] = {
        {{49, cmdKey}, "⌘Space"}, {{122, controlKey | optionKey}, "⌃⌥F1"},
        {{36, cmdKey | shiftKey | optionKey | controlKey}, "⌃⌥⇧⌘↩"},
        {{53, 0}, "⎋"}, /* named whatever it types */ {{200, cmdKey}, "⌘Key200"}, {{0, 0}, "A"},
        {{18, shiftKey}, "⇧1"}, /* unshifted, whatever is held */ {{41, optionKey}, "⌥É"},
        {{1, cmdKey}, "⌘ABCD"}, /* at most four units */ {{2, cmdKey}, "⌘Key2"}, // types nothing
        {{49, 0x0001}, "Space"}, {{65535, 0}, "Key65535"}, {{111, 0}, "F12"}};
    // clang-format on
    for (const auto& [hotKey, expected] : names)
        EXPECT_EQ(HotKeyService::displayName(hotKey, layout).toStdString(), expected)
            << hotKey.keyCode;

    constexpr std::uint64_t capsLock = 1ULL << 16, shift = 1ULL << 17, control = 1ULL << 18,
                            option = 1ULL << 19, command = 1ULL << 20, function = 1ULL << 23;
    // clang-format off
    const std::pair<std::uint64_t, std::uint32_t> masks[] = {
        {0, 0}, {shift | capsLock, shiftKey}, {control, controlKey}, {option, optionKey},
        {command | function | 0x8, cmdKey}, {capsLock | (1ULL << 21) | (1ULL << 22) | function | 0xFFFF, 0},
        {shift | control | option | command, 0x1B00}};
    // clang-format on
    for (const auto& [flags, mask] : masks)
        EXPECT_EQ(HotKeyService::carbonModifiers(flags), mask) << std::hex << flags;
}

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
        QByteArray ini = "[General]\nother=1\n";
        ini += keyCode ? QByteArray(HotKeyStore::kKeyCodeKey) + "=" + keyCode + "\n" : "";
        ini += modifiers ? QByteArray(HotKeyStore::kModifiersKey) + "=" + modifiers + "\n" : "";
        // A file per case: QSettings caches what it read by path.
        const QString path = dir.filePath(QString::number(++n) + ".conf");
        ASSERT_TRUE(test::writeFile(path, ini));
        {
            QSettings settings(path, QSettings::IniFormat); // synced when it goes
            EXPECT_EQ(HotKeyStore::load(settings), expected) << ini.constData();
        }
        EXPECT_EQ(test::readFile(path), ini); // bad entries stay as the user wrote them
    }

    // Values QSettings itself stored as integers.
    QSettings settings(dir.filePath(QStringLiteral("Typed.conf")), QSettings::IniFormat);
    settings.setValue(HotKeyStore::kKeyCodeKey, 122);
    settings.setValue(HotKeyStore::kModifiersKey, qint64{0x1800});
    EXPECT_EQ(HotKeyStore::load(settings), (HotKey{122, controlKey | optionKey}));
}

} // namespace
} // namespace tavelor
