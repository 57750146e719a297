#include "Services/HotKeyService.hpp"

#include "Platform/Fake/FakeGlobalShortcuts.hpp"
#include "Platform/Fake/FakeKeyboardLayout.hpp"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace tavelor {
namespace {

using GrabResult = platform::GlobalShortcuts::GrabResult;

constexpr HotKey kCommandSpace{49, cmdKey};
constexpr HotKey kControlF1{122, controlKey};

class HotKeyServiceTest : public ::testing::Test {
protected:
    static void runPosted() { QCoreApplication::processEvents(); }

    fake::FakeGlobalShortcuts shortcuts;
    fake::FakeKeyboardLayout layout;
    HotKeyService service{shortcuts, layout};
};

TEST_F(HotKeyServiceTest, RegisteringReplacesWhatWasHeld)
{
    ASSERT_TRUE(service.registerHotKey(kCommandSpace));
    ASSERT_TRUE(service.registerHotKey(kControlF1));
    EXPECT_EQ(shortcuts.held(), kControlF1);
    EXPECT_EQ(service.currentHotKey(), kControlF1);
    service.unregister();
    EXPECT_FALSE(shortcuts.held());
    EXPECT_FALSE(service.currentHotKey());
}

TEST_F(HotKeyServiceTest, ARefusalLeavesNothingRegisteredAndIsKept)
{
    for (GrabResult refusal : {GrabResult::Taken, GrabResult::NoSuchKey, GrabResult::Unavailable}) {
        shortcuts.refusal = GrabResult::Grabbed;
        ASSERT_TRUE(service.registerHotKey(kCommandSpace));
        shortcuts.refusal = refusal;
        EXPECT_FALSE(service.registerHotKey(kControlF1));
        EXPECT_FALSE(service.currentHotKey());
        EXPECT_FALSE(shortcuts.held()) << "the previous shortcut is gone too";
        EXPECT_EQ(service.lastGrabResult(), refusal);
    }
    shortcuts.refusal = GrabResult::Grabbed;
    EXPECT_TRUE(service.registerHotKey(kCommandSpace));
    EXPECT_EQ(service.lastGrabResult(), GrabResult::Grabbed);
}

TEST_F(HotKeyServiceTest, DestructionReleases)
{
    fake::FakeGlobalShortcuts own;
    {
        HotKeyService scoped(own, layout);
        ASSERT_TRUE(scoped.registerHotKey(kCommandSpace));
    }
    EXPECT_FALSE(own.held());
    EXPECT_FALSE(own.press()) << "no handler may reach the service that is gone";
}

TEST_F(HotKeyServiceTest, TriggersRunLaterInPressOrderAsTheyWereAtPressTime)
{
    std::vector<int> ran;
    ASSERT_TRUE(service.registerHotKey(kCommandSpace));
    service.setOnTrigger([&] { ran.push_back(1); });
    ASSERT_TRUE(shortcuts.press());
    service.setOnTrigger([&] { ran.push_back(2); });
    ASSERT_TRUE(shortcuts.press());
    service.setOnTrigger({});
    ASSERT_TRUE(shortcuts.press());
    service.setOnTrigger([&] { ran.push_back(3); });

    EXPECT_TRUE(ran.empty()) << "the trigger must not run inside the press";
    runPosted();
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
}

TEST(KeyNames, DisplayNames)
{
    fake::FakeKeyboardLayout layout;
    layout.texts = {{0, "a"},      {18, "1"}, {36, "\r"}, {41, QStringLiteral("\u00e9")},
                    {1, "abcdef"}, {2, ""}};
    const std::pair<HotKey, const char*> cases[] = {
        {{49, cmdKey}, "⌘Space"},
        {{122, controlKey | optionKey}, "⌃⌥F1"},
        {{36, cmdKey | shiftKey | optionKey | controlKey}, "⌃⌥⇧⌘↩"},
        {{200, cmdKey}, "⌘Key200"},
        {{0, 0}, "A"},
        {{18, shiftKey}, "⇧1"}, // unshifted, whatever is held
        {{41, optionKey}, "⌥É"},
        {{1, cmdKey}, "⌘ABCD"}, // at most four units
        {{2, cmdKey}, "⌘Key2"}, // types nothing
        {{49, 0x0001}, "Space"},
        {{65535, 0}, "Key65535"},
    };
    for (const auto& [hotKey, expected] : cases)
        EXPECT_EQ(HotKeyService::displayName(hotKey, layout).toStdString(), expected)
            << hotKey.keyCode;

    // Keys whose character says nothing are named, whatever they type.
    const std::pair<std::uint16_t, const char*> specials[] = {
        {36, "↩"},    {48, "⇥"},    {49, "Space"}, {51, "⌫"},   {53, "⎋"},   {123, "←"},
        {124, "→"},   {125, "↓"},   {126, "↑"},    {122, "F1"}, {120, "F2"}, {99, "F3"},
        {118, "F4"},  {96, "F5"},   {97, "F6"},    {98, "F7"},  {100, "F8"}, {101, "F9"},
        {109, "F10"}, {103, "F11"}, {111, "F12"},
    };
    for (const auto& [keyCode, expected] : specials) {
        layout.texts[keyCode] = "x";
        EXPECT_EQ(HotKeyService::displayName({keyCode, 0}, layout).toStdString(), expected);
    }
}

TEST(KeyNames, CarbonModifiersFromEventFlags)
{
    constexpr std::uint64_t capsLock = 1ULL << 16, shift = 1ULL << 17, control = 1ULL << 18,
                            option = 1ULL << 19, command = 1ULL << 20, function = 1ULL << 23;
    const std::pair<std::uint64_t, std::uint32_t> cases[] = {
        {0, 0},
        {shift | capsLock, shiftKey},
        {control, controlKey},
        {option, optionKey},
        {command | function | 0x8, cmdKey},
        {capsLock | (1ULL << 21) | (1ULL << 22) | function | 0xFFFF, 0},
        {shift | control | option | command, 0x1B00},
    };
    for (const auto& [flags, mask] : cases)
        EXPECT_EQ(HotKeyService::carbonModifiers(flags), mask) << std::hex << flags;
}

} // namespace
} // namespace tavelor
