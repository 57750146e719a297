#include "Platform/X11/KeyCodeTable.hpp"
#include "Platform/X11/X11GlobalShortcuts.hpp"
#include "Platform/X11/X11KeyEventTranslator.hpp"
#include "Platform/X11/X11Keyboard.hpp"
#include "Platform/X11/X11KeyboardLayout.hpp"
#include "Services/HotKeyService.hpp"
#include "support/TestDesktop.hpp"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>

namespace tavelor::x11::testing {
namespace {

constexpr HotKey kControlOptionT{17, controlKey | optionKey};
constexpr std::uint16_t kControlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;

// A grab of `other`'s, as another program holding keys.
bool grab(X11Connection& other, xcb_keycode_t key, std::uint16_t modifiers)
{
    return !XcbPtr<xcb_generic_error_t>{xcb_request_check(
        other.get(), xcb_grab_key_checked(other.get(), 1, other.root(), modifiers, key,
                                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC))};
}

class X11HotKeyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(keyboard.isAvailable());
        service.setOnTrigger([this] { ++triggers; });
    }

    xcb_keycode_t keyT() { return X11Keyboard::xKeyCode(keyboard.keymap().get(), 17).value_or(0); }
    std::uint16_t lockState()
    {
        XcbPtr<xcb_query_pointer_reply_t> reply{xcb_query_pointer_reply(
            connection->get(), xcb_query_pointer(connection->get(), connection->root()), nullptr)};
        return reply ? reply->mask & (XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2) : 0;
    }

    // Everything the server has sent us by now is handled, and what the
    // handlers posted has run.
    void settle()
    {
        clientList(*connection); // a round trip, then its events to the listeners
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    // xdotool exits only after the server has taken its input, so one more
    // round trip of ours brings every event it caused.
    void pressExpecting(const char* keys, int expected)
    {
        ASSERT_EQ(run(QStringLiteral("xdotool ") + QLatin1String(keys)), 0);
        waitUntil([&] { return settle(), triggers >= expected; });
        settle();
        EXPECT_EQ(triggers, expected) << keys;
    }

    std::unique_ptr<X11Connection> connection = X11Connection::open();
    // Seen before the hot key events see them: every press of T, repeats included.
    int listener = connection->addEventListener([this](const xcb_generic_event_t& event) {
        if ((event.response_type & 0x7f) == XCB_KEY_PRESS &&
            reinterpret_cast<const xcb_key_press_event_t&>(event).detail == keyT())
            ++rawPresses;
        return false;
    });
    X11Keyboard keyboard{connection.get()};
    X11GlobalShortcuts shortcuts{keyboard};
    X11KeyboardLayout layout{keyboard};
    HotKeyService service{shortcuts, layout};
    int triggers = 0;
    int rawPresses = 0;
};

// Every named key is on the default keyboard, and reads back as its code.
TEST_F(X11HotKeyTest, EveryNamedKeyMapsToAnXKeyAndBack)
{
    const XkbKeymapPtr keymap = keyboard.keymap();
    ASSERT_TRUE(keymap);
    X11KeyEventTranslator translator{keyboard};
    int named = 0;
    for (std::uint16_t code = 0; code < 256; ++code) {
        const auto name = xkbKeyName(code);
        if (!name)
            continue;
        ++named;
        const std::optional<xcb_keycode_t> key = X11Keyboard::xKeyCode(keymap.get(), code);
        ASSERT_TRUE(key) << *name;
        EXPECT_TRUE(code >= 128 || translator.translate(*key, 0).keyCode == code) << *name;
    }
    EXPECT_EQ(named, 119);
    EXPECT_FALSE(translator.translate(0, 0).keyCode);
    EXPECT_FALSE(translator.translate(300, 0).keyCode);
    // The X state becomes the flags; Num Lock (Mod2) and mouse buttons do not.
    using platform::KeyPress;
    const std::pair<std::uint16_t, std::uint64_t> states[] = {
        {XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL, KeyPress::kShift | KeyPress::kControl},
        {XCB_MOD_MASK_1 | XCB_MOD_MASK_4, KeyPress::kOption | KeyPress::kCommand},
        {XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2 | XCB_KEY_BUT_MASK_BUTTON_1, KeyPress::kCapsLock}};
    for (const auto& [state, flags] : states)
        EXPECT_EQ(translator.translate(38, state).modifierFlags, flags) << state;
}

// A grab held elsewhere fails the registration and leaves nothing grabbed; a press
// runs the trigger once, held or whatever the locks, and only with its modifiers;
// the layout is read afresh on every change, and the grab follows its key. Last, as
// it leaves the layout changed (each suite has an X server of its own).
TEST_F(X11HotKeyTest, TheGrabIsAllOrNothingAndOneTriggerAPressWhateverTheLocksAndLayout)
{
    EXPECT_EQ(service.character(6), QStringLiteral("Z"));
    EXPECT_EQ(service.character(16), QStringLiteral("Y"));
    EXPECT_EQ(service.displayName({0x3F, cmdKey}), QStringLiteral("⌘Key63"));
    ASSERT_EQ(keyT(), 28);
    {
        const auto other = X11Connection::open();
        // Only the Num Lock variant is taken: the other three must be let go.
        ASSERT_TRUE(grab(*other, 28, kControlAlt | XCB_MOD_MASK_2));
        EXPECT_FALSE(service.registerHotKey(kControlOptionT));
        EXPECT_EQ(service.lastGrabResult(), HotKeyService::GrabResult::Taken);
        EXPECT_FALSE(service.currentHotKey());
        settle();
        EXPECT_TRUE(grab(*other, 28, kControlAlt));
        EXPECT_TRUE(grab(*other, 28, kControlAlt | XCB_MOD_MASK_LOCK));
        EXPECT_TRUE(grab(*other, 28, kControlAlt | XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2));
    }
    // Gone with the other program: ours to take now.
    ASSERT_TRUE(waitUntil([&] { return service.registerHotKey(kControlOptionT); }));
    // Longer than the server's repeat delay (660 ms unless someone changed it).
    pressExpecting("keydown ctrl+alt+t sleep 1 keyup ctrl+alt+t", 1);
    EXPECT_GT(rawPresses, 1) << "the server did not repeat the held key";
    pressExpecting("key Num_Lock ctrl+alt+t", 2);
    ASSERT_EQ(lockState(), XCB_MOD_MASK_2) << "Num Lock is not on Mod2";
    pressExpecting("key Caps_Lock ctrl+alt+t", 3);
    ASSERT_EQ(lockState(), XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2);
    pressExpecting("key Num_Lock ctrl+alt+t", 4);
    pressExpecting("key ctrl+alt+shift+t ctrl+t t Caps_Lock", 4);

    ASSERT_EQ(run("setxkbmap de"), 0);
    EXPECT_EQ(service.character(6), QStringLiteral("Y"));
    EXPECT_EQ(service.character(16), QStringLiteral("Z"));
    // The German layout's key left of Backspace is a dead acute accent.
    EXPECT_FALSE(service.character(24));
    EXPECT_EQ(service.displayName({24, cmdKey}), QStringLiteral("⌘Key24"));
    // Keys are found by position: X key code 29 types Z here, but is where Y is.
    EXPECT_EQ(X11KeyEventTranslator{keyboard}.translate(29, 0).keyCode, 16);
    settle();
    pressExpecting("key ctrl+alt+t", 5);

    // A keymap on which T and Y have swapped X key codes.
    ASSERT_EQ(run("xkbcomp -xkb \"$DISPLAY\" - 2>/dev/null | sed 's/<AD05> = 28;/<AD05> = 29;/; t; "
                  "s/<AD06> = 29;/<AD06> = 28;/' | xkbcomp -w 0 - \"$DISPLAY\""),
              0);
    ASSERT_TRUE(waitUntil([&] { return settle(), keyT() == 29; }));
    settle();
    pressExpecting("key ctrl+alt+t", 6);
    // The old key code types Y now.
    pressExpecting("key ctrl+alt+y", 6);

    // Keys without a key on this keyboard cannot be registered.
    EXPECT_FALSE(service.registerHotKey({0x3F, cmdKey})); // Function: no X key
    EXPECT_FALSE(service.registerHotKey({200, cmdKey}));
    EXPECT_EQ(service.lastGrabResult(), HotKeyService::GrabResult::NoSuchKey);
}

} // namespace
} // namespace tavelor::x11::testing
