#include "Platform/X11/KeyCodeTable.hpp"
#include "Platform/X11/X11Connection.hpp"
#include "Platform/X11/X11GlobalShortcuts.hpp"
#include "Platform/X11/X11KeyEventTranslator.hpp"
#include "Platform/X11/X11Keyboard.hpp"
#include "Platform/X11/X11KeyboardLayout.hpp"
#include "Platform/X11/XcbPointers.hpp"
#include "Services/HotKeyService.hpp"
#include "support/TestDesktop.hpp"

#include <QCoreApplication>
#include <QProcess>

#include <gtest/gtest.h>

#include <memory>

namespace tavelor {
namespace {

using x11::XcbPtr;

constexpr HotKey kControlOptionT{17, controlKey | optionKey};
constexpr std::uint16_t kControlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;

// Runs a shell command, e.g. "xdotool key ctrl+alt+t".
int run(const QString& command)
{
    return QProcess::execute("sh", {"-c", command});
}

// A second X client, as another program holding grabs or owning the focus.
struct OtherClient {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    ~OtherClient() { xcb_disconnect(c); }

    bool grab(xcb_keycode_t key, std::uint16_t modifiers)
    {
        return !XcbPtr<xcb_generic_error_t>{
            xcb_request_check(c, xcb_grab_key_checked(c, 1, root, modifiers, key,
                                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC))};
    }
    std::uint16_t pointerState()
    {
        XcbPtr<xcb_query_pointer_reply_t> reply{
            xcb_query_pointer_reply(c, xcb_query_pointer(c, root), nullptr)};
        return reply ? reply->mask : 0;
    }
};

class X11HotKeyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(connection) << "no X display";
        ASSERT_TRUE(keyboard.isAvailable());
        service.setOnTrigger([this] { ++triggers; });
    }

    void TearDown() override
    {
        service.unregister();
        if (changedLayout)
            run("setxkbmap us");
        // Leave the desktop as the next test expects it.
        const std::uint16_t state = OtherClient().pointerState();
        if (state & XCB_MOD_MASK_LOCK)
            run("xdotool key Caps_Lock");
        if (state & XCB_MOD_MASK_2)
            run("xdotool key Num_Lock");
    }

    xcb_keycode_t keyT()
    {
        return x11::X11Keyboard::xKeyCode(keyboard.keymap().get(), 17).value_or(0);
    }

    // Everything the server has sent us by now is handled, and what the
    // handlers posted has run.
    void settle()
    {
        XcbPtr<xcb_get_input_focus_reply_t> reply{xcb_get_input_focus_reply(
            connection->get(), xcb_get_input_focus(connection->get()), nullptr)};
        connection->dispatchPendingEvents();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    // xdotool exits only after the server has taken its input, so one more
    // round trip of ours brings every event it caused.
    void pressExpecting(const char* keys, int expected, const char* how = "key ")
    {
        ASSERT_EQ(run(QStringLiteral("xdotool ") + QLatin1String(how) + QLatin1String(keys)), 0);
        x11::testing::waitUntil([&] { return settle(), triggers >= expected; });
        settle();
        EXPECT_EQ(triggers, expected) << keys;
    }

    std::unique_ptr<x11::X11Connection> connection = x11::X11Connection::open();
    // Seen before the hot key events see them: every press of T, repeats included.
    int listener = connection->addEventListener([this](const xcb_generic_event_t& event) {
        if ((event.response_type & 0x7f) == XCB_KEY_PRESS &&
            reinterpret_cast<const xcb_key_press_event_t&>(event).detail == keyT())
            ++rawPresses;
        return false;
    });
    x11::X11Keyboard keyboard{connection.get()};
    x11::X11GlobalShortcuts shortcuts{keyboard};
    x11::X11KeyboardLayout layout{keyboard};
    HotKeyService service{shortcuts, layout};
    int triggers = 0;
    int rawPresses = 0;
    bool changedLayout = false;
};

TEST_F(X11HotKeyTest, APressRunsTheTriggerOnceHeldOrWhateverTheLocksAndOnlyWithItsModifiers)
{
    ASSERT_TRUE(service.registerHotKey(kControlOptionT));
    // Longer than the server's repeat delay (660 ms unless someone changed it).
    pressExpecting("keydown ctrl+alt+t sleep 1 keyup ctrl+alt+t", 1, "");
    EXPECT_GT(rawPresses, 1) << "the server did not repeat the held key";
    pressExpecting("ctrl+alt+t", 2);
    OtherClient probe;
    pressExpecting("Num_Lock ctrl+alt+t", 3);
    ASSERT_TRUE(probe.pointerState() & XCB_MOD_MASK_2) << "Num Lock is not on Mod2";
    pressExpecting("Caps_Lock ctrl+alt+t", 4);
    ASSERT_TRUE(probe.pointerState() & XCB_MOD_MASK_LOCK);
    pressExpecting("Num_Lock ctrl+alt+t", 5);
    pressExpecting("ctrl+alt+shift+t ctrl+t t", 5);
}

TEST_F(X11HotKeyTest, AGrabHeldElsewhereFailsTheRegistrationAndLeavesNothingGrabbed)
{
    const xcb_keycode_t t = keyT();
    ASSERT_NE(t, 0);
    {
        OtherClient other;
        // Only the Num Lock variant is taken: the other three must be let go.
        ASSERT_TRUE(other.grab(t, kControlAlt | XCB_MOD_MASK_2));
        EXPECT_FALSE(service.registerHotKey(kControlOptionT));
        EXPECT_EQ(service.lastGrabResult(), HotKeyService::GrabResult::Taken);
        EXPECT_FALSE(service.currentHotKey());
        settle();
        EXPECT_TRUE(other.grab(t, kControlAlt));
        EXPECT_TRUE(other.grab(t, kControlAlt | XCB_MOD_MASK_LOCK));
        EXPECT_TRUE(other.grab(t, kControlAlt | XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2));
    }
    // Gone with the other program: ours to take now.
    EXPECT_TRUE(x11::testing::waitUntil([&] { return service.registerHotKey(kControlOptionT); }));
    pressExpecting("ctrl+alt+t", 1);

    // Keys without a key on this keyboard cannot be registered.
    EXPECT_FALSE(service.registerHotKey({0x3F, cmdKey})); // Function: no X key
    EXPECT_FALSE(service.registerHotKey({200, cmdKey}));
    EXPECT_EQ(service.lastGrabResult(), HotKeyService::GrabResult::NoSuchKey);
}

// Every named key is on the default keyboard, and reads back as its code.
TEST_F(X11HotKeyTest, EveryNamedKeyMapsToAnXKeyAndBack)
{
    const x11::XkbKeymapPtr keymap = keyboard.keymap();
    ASSERT_TRUE(keymap);
    x11::X11KeyEventTranslator translator{keyboard};
    int named = 0;
    for (std::uint16_t code = 0; code < 256; ++code) {
        const auto name = x11::xkbKeyName(code);
        if (!name)
            continue;
        ++named;
        const std::optional<xcb_keycode_t> key = x11::X11Keyboard::xKeyCode(keymap.get(), code);
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

// The layout is read afresh on every change, and the grab follows its key.
TEST_F(X11HotKeyTest, TheLayoutIsReadAfreshAndTheGrabMovesWithTheKey)
{
    EXPECT_EQ(service.character(6), QStringLiteral("Z"));
    EXPECT_EQ(service.character(16), QStringLiteral("Y"));
    EXPECT_EQ(service.displayName({0x3F, cmdKey}), QStringLiteral("⌘Key63"));
    ASSERT_TRUE(service.registerHotKey(kControlOptionT));
    ASSERT_EQ(keyT(), 28);

    changedLayout = true;
    ASSERT_EQ(run("setxkbmap de"), 0);
    EXPECT_EQ(service.character(6), QStringLiteral("Y"));
    EXPECT_EQ(service.character(16), QStringLiteral("Z"));
    // The German layout's key left of Backspace is a dead acute accent.
    EXPECT_FALSE(service.character(24));
    EXPECT_EQ(service.displayName({24, cmdKey}), QStringLiteral("⌘Key24"));
    // Keys are found by position: X key code 29 types Z here, but is where Y is.
    EXPECT_EQ(x11::X11KeyEventTranslator{keyboard}.translate(29, 0).keyCode, 16);
    settle();
    pressExpecting("ctrl+alt+t", 1);

    // A keymap on which T and Y have swapped X key codes.
    ASSERT_EQ(run("xkbcomp -xkb \"$DISPLAY\" - 2>/dev/null | sed 's/<AD05> = 28;/<AD05> = 29;/; t; "
                  "s/<AD06> = 29;/<AD06> = 28;/' | xkbcomp -w 0 - \"$DISPLAY\""),
              0);
    ASSERT_TRUE(x11::testing::waitUntil([&] { return settle(), keyT() == 29; }));
    settle();
    pressExpecting("ctrl+alt+t", 2);
    // The old key code types Y now.
    pressExpecting("ctrl+alt+y", 2);
}

} // namespace
} // namespace tavelor
