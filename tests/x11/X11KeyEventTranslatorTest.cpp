#include "Platform/X11/X11KeyEventTranslator.hpp"

#include "Platform/X11/KeyCodeTable.hpp"
#include "Platform/X11/X11Connection.hpp"
#include "Platform/X11/X11Keyboard.hpp"

#include <QProcess>

#include <gtest/gtest.h>

#include <memory>

namespace tavelor {
namespace {

using platform::KeyPress;

class X11KeyEventTranslatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(connection) << "no X display";
        ASSERT_TRUE(keyboard.isAvailable());
    }
    void TearDown() override
    {
        if (changedLayout)
            QProcess::execute("setxkbmap", {"us"});
    }

    std::unique_ptr<x11::X11Connection> connection = x11::X11Connection::open();
    x11::X11Keyboard keyboard{connection.get()};
    x11::X11KeyEventTranslator translator{keyboard};
    bool changedLayout = false;
};

TEST_F(X11KeyEventTranslatorTest, EveryKeyOfTheTableReadsBackAsItsCode)
{
    const x11::XkbKeymapPtr keymap = keyboard.keymap();
    ASSERT_TRUE(keymap);
    for (std::uint16_t code = 0; code < 128; ++code) {
        const std::optional<xcb_keycode_t> key = x11::X11Keyboard::xKeyCode(keymap.get(), code);
        if (!key)
            continue;
        EXPECT_EQ(translator.translate(*key, 0).keyCode, code) << *x11::xkbKeyName(code);
    }
    EXPECT_FALSE(translator.translate(0, 0).keyCode);
    EXPECT_FALSE(translator.translate(300, 0).keyCode);
}

TEST_F(X11KeyEventTranslatorTest, KeysAreFoundByPositionOnAnyLayout)
{
    changedLayout = true;
    ASSERT_EQ(QProcess::execute("setxkbmap", {"fr"}), 0);
    // X key code 24 types A on a French keyboard, but is where Q is on a US one.
    EXPECT_EQ(translator.translate(24, 0).keyCode, 12);
    EXPECT_EQ(translator.translate(38, 0).keyCode, 0);
}

TEST_F(X11KeyEventTranslatorTest, TheXStateBecomesTheFlags)
{
    EXPECT_EQ(translator.translate(38, XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL).modifierFlags,
              KeyPress::kShift | KeyPress::kControl);
    EXPECT_EQ(translator.translate(38, XCB_MOD_MASK_1 | XCB_MOD_MASK_4).modifierFlags,
              KeyPress::kOption | KeyPress::kCommand);
    // Caps Lock is kept, Num Lock (Mod2) and the mouse buttons are not flags.
    EXPECT_EQ(
        translator.translate(38, XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2 | XCB_KEY_BUT_MASK_BUTTON_1)
            .modifierFlags,
        KeyPress::kCapsLock);
}

} // namespace
} // namespace tavelor
