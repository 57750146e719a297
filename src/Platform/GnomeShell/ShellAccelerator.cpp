#include "Platform/GnomeShell/ShellAccelerator.hpp"

#include "Platform/X11/KeyCodeTable.hpp"

#include <xkbcommon/xkbcommon.h>

#include <memory>
#include <string>

namespace tavelor::gnomeshell {
namespace {

/// XKB key names to key codes. The evdev key codes are the same for every
/// layout, so the default keymap names them all.
xkb_keycode_t keyCodeNamed(std::string_view name)
{
    static const auto keymap = [] {
        std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context(
            xkb_context_new(XKB_CONTEXT_NO_FLAGS), xkb_context_unref);
        xkb_keymap* map =
            context ? xkb_keymap_new_from_names(context.get(), nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS)
                    : nullptr;
        return std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)>(map, xkb_keymap_unref);
    }();
    if (!keymap)
        return XKB_KEYCODE_INVALID;
    return xkb_keymap_key_by_name(keymap.get(), std::string(name).c_str());
}

} // namespace

std::optional<QString> shellAccelerator(const HotKey& hotKey)
{
    const std::optional<std::string_view> name = x11::xkbKeyName(hotKey.keyCode);
    if (!name)
        return std::nullopt;
    const xkb_keycode_t code = keyCodeNamed(*name);
    if (code == XKB_KEYCODE_INVALID)
        return std::nullopt;
    QString accelerator;
    const std::pair<std::uint32_t, const char*> modifiers[] = {{controlKey, "<Control>"},
                                                               {optionKey, "<Alt>"},
                                                               {shiftKey, "<Shift>"},
                                                               {cmdKey, "<Super>"}};
    for (const auto& [bit, text] : modifiers) {
        if (hotKey.modifiers & bit)
            accelerator += QLatin1String(text);
    }
    return accelerator + QStringLiteral("0x%1").arg(code, 0, 16);
}

} // namespace tavelor::gnomeshell
