#include "Platform/X11/X11KeyboardLayout.hpp"

#include "Platform/X11/X11Keyboard.hpp"

#include <QString>

#include <algorithm>
#include <array>

namespace tavelor::x11 {

using namespace platform;

namespace {

class Layout final : public KeyLayoutData {
public:
    Layout(XkbKeymapPtr keymap, xkb_layout_index_t layout)
        : m_keymap(std::move(keymap)), m_layout(layout)
    {}
    bool isEmpty() const override { return xkb_keymap_num_layouts(m_keymap.get()) == 0; }
    xkb_keymap* keymap() const { return m_keymap.get(); }
    xkb_layout_index_t layout() const { return m_layout; }

private:
    XkbKeymapPtr m_keymap;
    xkb_layout_index_t m_layout;
};

class Source final : public InputSource {
public:
    explicit Source(std::unique_ptr<Layout> layout) : m_layout(std::move(layout)) {}
    const Layout* layout() const { return m_layout.get(); }

private:
    std::unique_ptr<Layout> m_layout;
};

// XKB has no flag for dead keys: they are the dead_* block of keysyms.
constexpr bool isDeadKeysym(xkb_keysym_t keysym)
{
    return keysym >= XKB_KEY_dead_grave && keysym <= XKB_KEY_dead_longsolidusoverlay;
}

} // namespace

X11KeyboardLayout::X11KeyboardLayout(X11Keyboard& keyboard) : m_keyboard(keyboard) {}

X11KeyboardLayout::~X11KeyboardLayout() = default;

std::unique_ptr<InputSource> X11KeyboardLayout::copyCurrentKeyboardInputSource()
{
    XkbKeymapPtr keymap = m_keyboard.keymap();
    if (!keymap)
        return nullptr;
    const xkb_layout_index_t layout = m_keyboard.effectiveLayout(keymap.get());
    return std::make_unique<Source>(std::make_unique<Layout>(std::move(keymap), layout));
}

const KeyLayoutData* X11KeyboardLayout::unicodeKeyLayoutData(const InputSource& source)
{
    const auto* own = dynamic_cast<const Source*>(&source);
    return own ? own->layout() : nullptr;
}

OSStatus X11KeyboardLayout::keyTranslate(const KeyLayoutData& data, std::uint16_t keyCode,
                                         std::uint16_t /*keyAction*/,
                                         std::uint32_t /*modifierKeyState*/,
                                         std::uint32_t /*keyboardType*/,
                                         std::uint32_t /*keyTranslateOptions*/,
                                         std::uint32_t* deadKeyState, std::size_t maxStringLength,
                                         std::size_t* actualStringLength, char16_t* unicodeString)
{
    *actualStringLength = 0;
    const auto* layout = dynamic_cast<const Layout*>(&data);
    if (!layout)
        return paramErr;
    const std::optional<xcb_keycode_t> key = X11Keyboard::xKeyCode(layout->keymap(), keyCode);
    if (!key)
        return paramErr;

    const xkb_keysym_t* syms = nullptr;
    const int count =
        xkb_keymap_key_get_syms_by_level(layout->keymap(), *key, layout->layout(), 0, &syms);
    if (count <= 0)
        return noErr;
    if (count == 1 && isDeadKeysym(syms[0])) {
        *deadKeyState = syms[0];
        return noErr;
    }
    QString text;
    for (int i = 0; i < count; ++i) {
        std::array<char, 8> utf8{};
        const int size = xkb_keysym_to_utf8(syms[i], utf8.data(), utf8.size());
        // The size counts the terminating zero; 0 is a keysym without a character.
        if (size > 1)
            text += QString::fromUtf8(utf8.data(), size - 1);
    }
    const auto length = std::min(maxStringLength, static_cast<std::size_t>(text.size()));
    std::copy_n(text.utf16(), length, unicodeString);
    *actualStringLength = length;
    return noErr;
}

} // namespace tavelor::x11
