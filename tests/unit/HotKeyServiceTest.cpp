#include "Services/HotKeyService.hpp"

#include "Platform/Fake/FakeHotKeyEvents.hpp"
#include "Platform/Fake/FakeKeyboardLayout.hpp"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <vector>

namespace tavelor {
namespace {

using namespace platform;

constexpr HotKey kCommandSpace{49, cmdKey};
constexpr HotKey kControlOptionT{17, controlKey | optionKey};
constexpr EventHotKeyID kOurs{fourCharCode("TVLR"), 1};

class HotKeyServiceTest : public ::testing::Test {
protected:
    // Runs what the presses posted to the event loop.
    static void runPosted() { QCoreApplication::processEvents(); }

    void expectUnregistered()
    {
        EXPECT_FALSE(service.currentHotKey());
        EXPECT_TRUE(events.registrations().empty());
        EXPECT_TRUE(events.handlers().empty());
    }

    fake::FakeHotKeyEvents events;
    fake::FakeKeyboardLayout layout;
    HotKeyService service{events, layout};
};

TEST_F(HotKeyServiceTest, RegistersTheHotKeyAndOneHandler)
{
    ASSERT_TRUE(service.registerHotKey(kControlOptionT));
    EXPECT_EQ(service.currentHotKey(), kControlOptionT);

    const auto registrations = events.registrations();
    ASSERT_EQ(registrations.size(), 1u);
    EXPECT_EQ(registrations[0].keyCode, 17u);
    EXPECT_EQ(registrations[0].modifiers, 0x1800u);
    EXPECT_EQ(registrations[0].hotKeyID.signature, 0x54564C52u); // "TVLR"
    EXPECT_EQ(registrations[0].hotKeyID.id, 1u);
    EXPECT_EQ(registrations[0].options, 0u);

    const auto handlers = events.handlers();
    ASSERT_EQ(handlers.size(), 1u);
    EXPECT_EQ(handlers[0].handler, &HotKeyService::hotKeyEventHandler);
    EXPECT_EQ(handlers[0].userData, &service);
    ASSERT_EQ(handlers[0].types.size(), 1u);
    EXPECT_EQ(handlers[0].types[0].eventClass, 0x6B657962u); // 'keyb'
    EXPECT_EQ(handlers[0].types[0].eventKind, 5u);
}

TEST_F(HotKeyServiceTest, RegisteringAgainReplacesEvenTheSameHotKey)
{
    ASSERT_TRUE(service.registerHotKey(kCommandSpace));
    ASSERT_TRUE(service.registerHotKey(kCommandSpace));
    EXPECT_EQ(events.unregisterCalls(), 1);
    EXPECT_EQ(events.removeCalls(), 1);
    EXPECT_EQ(events.registrations().size(), 1u);
    EXPECT_EQ(events.handlers().size(), 1u);

    ASSERT_TRUE(service.registerHotKey(kControlOptionT));
    ASSERT_EQ(events.registrations().size(), 1u);
    EXPECT_EQ(events.registrations()[0].keyCode, 17u);
    EXPECT_EQ(service.currentHotKey(), kControlOptionT);
}

TEST_F(HotKeyServiceTest, ARefusedHotKeyLeavesNothingRegisteredNotEvenThePreviousOne)
{
    ASSERT_TRUE(service.registerHotKey(kCommandSpace));
    events.refuse(17, 0x1800);
    EXPECT_FALSE(service.registerHotKey(kControlOptionT));
    expectUnregistered();
}

TEST_F(HotKeyServiceTest, AFailedHandlerInstallRollsTheHotKeyBack)
{
    ASSERT_TRUE(service.registerHotKey(kCommandSpace));
    events.failHandlerInstalls(paramErr);
    EXPECT_FALSE(service.registerHotKey(kControlOptionT));
    expectUnregistered();

    // A handle handed out with the failure is removed as well.
    events.failHandlerInstalls(paramErr, true);
    EXPECT_FALSE(service.registerHotKey(kControlOptionT));
    expectUnregistered();

    events.failHandlerInstalls(noErr);
    EXPECT_TRUE(service.registerHotKey(kControlOptionT));
}

TEST_F(HotKeyServiceTest, SuccessWithoutAHandleIsAFailure)
{
    events.answerWithoutHandles(true);
    EXPECT_FALSE(service.registerHotKey(kCommandSpace));
    EXPECT_FALSE(service.currentHotKey());
}

TEST_F(HotKeyServiceTest, UnregisterReleasesBothAndLaterPressesAreNotOurs)
{
    int triggers = 0;
    service.setOnTrigger([&] { ++triggers; });
    ASSERT_TRUE(service.registerHotKey(kCommandSpace));
    service.unregister();
    expectUnregistered();
    EXPECT_EQ(events.press(kOurs), eventNotHandledErr);
    runPosted();
    EXPECT_EQ(triggers, 0);
    // Nothing left to release a second time.
    service.unregister();
    EXPECT_EQ(events.unregisterCalls(), 1);
    EXPECT_EQ(events.removeCalls(), 1);
}

TEST_F(HotKeyServiceTest, DestructionUnregisters)
{
    {
        HotKeyService other(events, layout);
        ASSERT_TRUE(other.registerHotKey(kControlOptionT));
    }
    EXPECT_TRUE(events.registrations().empty());
    EXPECT_TRUE(events.handlers().empty());
}

TEST_F(HotKeyServiceTest, OtherEventsAreLeftToOtherHandlers)
{
    int triggers = 0;
    service.setOnTrigger([&] { ++triggers; });
    ASSERT_TRUE(service.registerHotKey(kCommandSpace));

    EXPECT_EQ(events.press(EventHotKeyID{fourCharCode("ABCD"), 1}), eventNotHandledErr);
    EXPECT_EQ(events.press(EventHotKeyID{kOurs.signature, 2}), eventNotHandledErr);
    EXPECT_EQ(events.press(EventHotKeyID{kOurs.signature, 0}), eventNotHandledErr);
    EXPECT_EQ(events.press(std::nullopt), eventNotHandledErr); // no identifier to read
    EXPECT_EQ(HotKeyService::hotKeyEventHandler(nullptr, nullptr, nullptr), eventNotHandledErr);
    runPosted();
    EXPECT_EQ(triggers, 0);
}

TEST_F(HotKeyServiceTest, APressWithoutTriggerIsStillHandled)
{
    ASSERT_TRUE(service.registerHotKey(kCommandSpace));
    EXPECT_EQ(events.press(49, cmdKey), noErr);
    runPosted();
}

TEST_F(HotKeyServiceTest, TriggersRunLaterInPressOrderAsTheyWereAtPressTime)
{
    std::vector<int> ran;
    ASSERT_TRUE(service.registerHotKey(kCommandSpace));

    service.setOnTrigger([&] { ran.push_back(1); });
    EXPECT_EQ(events.press(kOurs), noErr);
    service.setOnTrigger([&] { ran.push_back(2); });
    EXPECT_EQ(events.press(kOurs), noErr);
    // Changed after the presses: runs for neither of them.
    service.setOnTrigger([&] { ran.push_back(3); });

    EXPECT_TRUE(ran.empty()) << "the trigger must not run inside the event handler";
    runPosted();
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
}

TEST_F(HotKeyServiceTest, ATriggerClearedAfterThePressStillRuns)
{
    int triggers = 0;
    service.setOnTrigger([&] { ++triggers; });
    ASSERT_TRUE(service.registerHotKey(kCommandSpace));
    EXPECT_EQ(events.press(kOurs), noErr);
    service.setOnTrigger({});
    EXPECT_EQ(events.press(kOurs), noErr);
    runPosted();
    EXPECT_EQ(triggers, 1);
}

} // namespace
} // namespace tavelor
