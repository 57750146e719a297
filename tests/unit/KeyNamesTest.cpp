#include "Platform/Fake/FakeKeyboardLayout.hpp"
#include "Services/HotKeyService.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace tavelor {
namespace {

using fake::FakeKeyboardLayout;

std::string name(const HotKey& hotKey, FakeKeyboardLayout& layout)
{
    return HotKeyService::displayName(hotKey, layout).toStdString();
}

TEST(KeyNames, DisplayNames)
{
    FakeKeyboardLayout layout;
    layout.setCharacters(0, QStringLiteral("a"));
    layout.setCharacters(18, QStringLiteral("1")); // unshifted, whatever is held
    layout.setCharacters(36, QStringLiteral("\r"));
    layout.setCharacters(41, QStringLiteral("\u00e9"));
    layout.setDeadKey(33);

    struct Case {
        HotKey hotKey;
        const char* expected;
    };
    const Case cases[] = {
        {{49, cmdKey}, "⌘Space"},
        {{122, controlKey | optionKey}, "⌃⌥F1"},
        {{36, cmdKey | shiftKey | optionKey | controlKey}, "⌃⌥⇧⌘↩"},
        {{36, controlKey | cmdKey}, "⌃⌘↩"},
        {{200, cmdKey}, "⌘Key200"},
        {{0, 0}, "A"},
        {{49, 0}, "Space"},
        {{18, shiftKey}, "⇧1"},
        {{41, optionKey}, "⌥É"},
        {{33, cmdKey}, "⌘Key33"}, // dead key
        {{49, 0x0001}, "Space"},  // bits without a symbol
        {{65535, 0}, "Key65535"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(name(c.hotKey, layout), c.expected) << c.hotKey.keyCode;
}

TEST(KeyNames, SpecialKeysWinOverTheLayout)
{
    FakeKeyboardLayout layout;
    const std::pair<std::uint16_t, const char*> specials[] = {
        {36, "↩"},    {48, "⇥"},    {49, "Space"}, {51, "⌫"},   {53, "⎋"},   {123, "←"},
        {124, "→"},   {125, "↓"},   {126, "↑"},    {122, "F1"}, {120, "F2"}, {99, "F3"},
        {118, "F4"},  {96, "F5"},   {97, "F6"},    {98, "F7"},  {100, "F8"}, {101, "F9"},
        {109, "F10"}, {103, "F11"}, {111, "F12"},
    };
    for (const auto& [keyCode, expected] : specials) {
        layout.setCharacters(keyCode, QStringLiteral("x"));
        EXPECT_EQ(name({keyCode, 0}, layout), expected) << keyCode;
    }
}

TEST(KeyNames, CharacterTranslatesWithoutModifiersAndReleasesTheSource)
{
    FakeKeyboardLayout layout;
    layout.setCharacters(6, QStringLiteral("z"));
    EXPECT_EQ(HotKeyService::character(6, layout), QStringLiteral("Z"));
    const auto& call = layout.lastTranslate();
    EXPECT_EQ(call.keyCode, 6);
    EXPECT_EQ(call.keyAction, 0);
    EXPECT_EQ(call.modifierKeyState, 0u);
    EXPECT_EQ(call.keyboardType, FakeKeyboardLayout::kKeyboardType);
    EXPECT_EQ(call.keyTranslateOptions, 0u);
    EXPECT_EQ(call.deadKeyState, 0u);
    EXPECT_EQ(call.maxStringLength, 4u);
    EXPECT_EQ(layout.liveInputSources(), 0);
}

TEST(KeyNames, CharacterIsAbsentWithoutSourceDataOrTranslation)
{
    FakeKeyboardLayout layout;
    layout.setCharacters(6, QStringLiteral("z"));
    layout.setDeadKey(33);
    EXPECT_FALSE(HotKeyService::character(33, layout));  // dead key
    EXPECT_FALSE(HotKeyService::character(200, layout)); // translation error
    layout.setLayoutData(FakeKeyboardLayout::Data::Empty);
    EXPECT_FALSE(HotKeyService::character(6, layout));
    layout.setLayoutData(FakeKeyboardLayout::Data::Absent);
    EXPECT_FALSE(HotKeyService::character(6, layout));
    EXPECT_EQ(name({6, cmdKey}, layout), "⌘Key6");
    layout.setHasInputSource(false);
    EXPECT_FALSE(HotKeyService::character(6, layout));
    EXPECT_EQ(layout.liveInputSources(), 0);
}

TEST(KeyNames, TextLongerThanTheBufferIsCut)
{
    FakeKeyboardLayout layout;
    layout.setCharacters(0, QStringLiteral("abcdef"));
    EXPECT_EQ(HotKeyService::character(0, layout), QStringLiteral("ABCD"));
}

TEST(KeyNames, CarbonModifiersFromEventFlags)
{
    constexpr std::uint64_t capsLock = 1ULL << 16, shift = 1ULL << 17, control = 1ULL << 18,
                            option = 1ULL << 19, command = 1ULL << 20, numericPad = 1ULL << 21,
                            help = 1ULL << 22, function = 1ULL << 23;
    const std::pair<std::uint64_t, std::uint32_t> cases[] = {
        {0, 0},
        {shift, shiftKey},
        {control, controlKey},
        {option, optionKey},
        {command, cmdKey},
        {shift | capsLock, shiftKey},
        {function, 0},
        {capsLock | numericPad | help | function | 0xFFFF, 0},
        {shift | control | option | command, 0x1B00},
        {command | function | 0x8, cmdKey},
    };
    for (const auto& [flags, mask] : cases)
        EXPECT_EQ(HotKeyService::carbonModifiers(flags), mask) << std::hex << flags;
}

} // namespace
} // namespace tavelor
