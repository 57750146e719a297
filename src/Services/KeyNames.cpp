// The naming operations of HotKeyService: modifier masks and display texts.
#include "Platform/KeyboardLayout.hpp"
#include "Services/HotKeyService.hpp"

#include <array>
#include <unordered_map>
#include <utility>

namespace tavelor {

using namespace platform;

namespace {

constexpr std::uint64_t kFlagShift = 1ULL << 17;
constexpr std::uint64_t kFlagControl = 1ULL << 18;
constexpr std::uint64_t kFlagOption = 1ULL << 19;
constexpr std::uint64_t kFlagCommand = 1ULL << 20;

// Keys whose typed character says nothing (or nothing readable) about the key.
// A function-local static: built once, on first use, safe if two threads get
// there at the same time.
const std::unordered_map<std::uint16_t, QString>& specialKeyNames()
{
    static const std::unordered_map<std::uint16_t, QString> names = [] {
        constexpr std::array<std::pair<std::uint16_t, const char16_t*>, 21> entries{{
            {36, u"\u21A9"},  {48, u"\u21E5"},  {49, u"Space"},   {51, u"\u232B"},  {53, u"\u238B"},
            {123, u"\u2190"}, {124, u"\u2192"}, {125, u"\u2193"}, {126, u"\u2191"}, {122, u"F1"},
            {120, u"F2"},     {99, u"F3"},      {118, u"F4"},     {96, u"F5"},      {97, u"F6"},
            {98, u"F7"},      {100, u"F8"},     {101, u"F9"},     {109, u"F10"},    {103, u"F11"},
            {111, u"F12"},
        }};
        std::unordered_map<std::uint16_t, QString> table;
        table.reserve(entries.size());
        for (const auto& [keyCode, name] : entries)
            table.emplace(keyCode, QString::fromUtf16(name));
        return table;
    }();
    return names;
}

} // namespace

std::uint32_t HotKeyService::carbonModifiers(std::uint64_t modifierFlags)
{
    std::uint32_t mask = 0;
    if (modifierFlags & kFlagShift)
        mask |= shiftKey;
    if (modifierFlags & kFlagControl)
        mask |= controlKey;
    if (modifierFlags & kFlagOption)
        mask |= optionKey;
    if (modifierFlags & kFlagCommand)
        mask |= cmdKey;
    return mask;
}

std::optional<QString> HotKeyService::character(std::uint16_t keyCode, KeyboardLayout& layout)
{
    // At most four UTF-16 units, as many as any key types.
    constexpr qsizetype kMaxUnits = 4;
    const std::optional<QString> typed = layout.typedText(keyCode);
    if (!typed || typed->isEmpty())
        return std::nullopt;
    return typed->left(kMaxUnits).toUpper();
}

QString HotKeyService::displayName(const HotKey& hotKey, KeyboardLayout& layout)
{
    QString name;
    if (hotKey.modifiers & controlKey)
        name += u'\u2303';
    if (hotKey.modifiers & optionKey)
        name += u'\u2325';
    if (hotKey.modifiers & shiftKey)
        name += u'\u21E7';
    if (hotKey.modifiers & cmdKey)
        name += u'\u2318';

    const auto& special = specialKeyNames();
    if (auto it = special.find(hotKey.keyCode); it != special.end())
        name += it->second;
    else if (std::optional<QString> typed = character(hotKey.keyCode, layout);
             typed && !typed->isEmpty())
        name += *typed;
    else
        name += QStringLiteral("Key") + QString::number(hotKey.keyCode);
    return name;
}

} // namespace tavelor
