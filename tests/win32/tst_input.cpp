// SPDX-License-Identifier: MIT
// Input as the program's message loop routes it: every key and mouse
// message goes to the layer before the control, with the characters a key
// types; Tab and Escape are the window's own, Enter presses nothing. The
// messages are posted as the system would post them, and the loop runs
// until it has handled them.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "testform.h"
#include "window/lifecycle.h"
#include "window/platform.h"
#include "window/testing.h"
#include "window/win32/win32platform.h"

namespace {

const NamedHandler handlers[] = { { "countdownTick", [](const EventRecord &) { return std::nullopt; } } };

class InputTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        allowMissingHandlers(true); // no handler matters here
        startRuntime(win32Platform(), testForm, handlers);
    }

    void SetUp() override
    {
        setEventObserver([this](const EventRecord &event) { events.push_back(event); });
        loadWindow(testWindow);
        frame = FindWindowW(L"KelmoraWindow", nullptr);
        ASSERT_TRUE(frame);
    }

    void TearDown() override
    {
        setEventObserver({});
        unloadWindow(testWindow);
        MSG left;
        while (PeekMessageW(&left, nullptr, 0, 0, PM_REMOVE)) { }
    }

    // Handles everything posted so far.
    static void pump()
    {
        PostQuitMessage(0);
        win32Platform().runLoop();
    }

    static void postKey(HWND target, UINT key, UINT scanCode)
    {
        const LPARAM scan = LPARAM(scanCode) << 16;
        PostMessageW(target, WM_KEYDOWN, key, 1 | scan);
        PostMessageW(target, WM_KEYUP, key, 1 | scan | (LPARAM(3) << 30));
    }

    static void holdShift(bool held)
    {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = held ? 0x80 : 0;
        SetKeyboardState(keys);
    }

    bool hasFocus(ControlId control) const { return platformControl(testWindow, control)->hasFocus(); }

    std::vector<EventRecord> eventsOf(ControlId control, Event number) const
    {
        std::vector<EventRecord> found;
        std::copy_if(events.begin(), events.end(), std::back_inserter(found), [&](const EventRecord &event) {
            return event.control == control && event.number == std::int32_t(number);
        });
        return found;
    }

    std::vector<EventRecord> events;
    HWND frame = nullptr;
};

// The focus order is the reverse of the defined order: list, edit, button.
TEST_F(InputTest, tabAndShiftTabMoveTheFocusAlongTheOrder)
{
    ASSERT_TRUE(hasFocus(tc::list)); // the first of the order, once shown
    postKey(GetFocus(), VK_TAB, 0x0F);
    pump();
    EXPECT_TRUE(hasFocus(tc::edit));
    postKey(GetFocus(), VK_TAB, 0x0F);
    pump();
    EXPECT_TRUE(hasFocus(tc::button));
    postKey(GetFocus(), VK_TAB, 0x0F);
    pump();
    EXPECT_TRUE(hasFocus(tc::list)); // round again

    holdShift(true);
    postKey(GetFocus(), VK_TAB, 0x0F);
    pump();
    holdShift(false);
    EXPECT_TRUE(hasFocus(tc::button));
    // The window's own key raises nothing.
    EXPECT_TRUE(eventsOf(tc::list, Event::keyPressed).empty());
    EXPECT_TRUE(eventsOf(tc::list, Event::characterTyped).empty());
}

TEST_F(InputTest, aKeyRaisesItsPressTheCharactersItTypesAndItsRelease)
{
    postKey(GetFocus(), 'A', 0x1E);
    pump();
    const auto pressed = eventsOf(tc::list, Event::keyPressed);
    ASSERT_EQ(pressed.size(), 1u);
    EXPECT_EQ(pressed[0].arguments[0], 'A');
    EXPECT_EQ(pressed[0].arguments[1], 0);
    const auto typed = eventsOf(tc::list, Event::characterTyped);
    ASSERT_EQ(typed.size(), 1u);
    EXPECT_EQ(typed[0].arguments[0], 'a');
    EXPECT_EQ(eventsOf(tc::list, Event::keyReleased).size(), 1u);
}

TEST_F(InputTest, enterPressesNoButton)
{
    const HWND button = FindWindowExW(frame, nullptr, L"Button", nullptr);
    ASSERT_TRUE(button);
    SetFocus(button);
    postKey(button, VK_RETURN, 0x1C);
    pump();
    const auto typed = eventsOf(tc::button, Event::characterTyped);
    ASSERT_EQ(typed.size(), 1u);
    EXPECT_EQ(typed[0].arguments[0], '\r');
    EXPECT_TRUE(eventsOf(tc::button, Event::clicked).empty());

    postKey(button, VK_SPACE, 0x39);
    pump();
    EXPECT_EQ(eventsOf(tc::button, Event::clicked).size(), 1u);
}

TEST_F(InputTest, escapeClosesTheWindow)
{
    postKey(GetFocus(), VK_ESCAPE, 0x01);
    pump();
    EXPECT_EQ(platformWindow(testWindow), nullptr);
    EXPECT_FALSE(IsWindow(frame));
}

// A press on a picture box reaches the layer at its place in the box.
TEST_F(InputTest, mousePressOnAPictureBoxCountsFromTheBox)
{
    const HWND box = FindWindowExW(frame, nullptr, L"KelmoraPictureBox", nullptr);
    ASSERT_TRUE(box);
    PostMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, MAKELPARAM(5, 7));
    PostMessageW(box, WM_LBUTTONUP, MK_CONTROL, MAKELPARAM(5, 7));
    pump();
    std::vector<EventRecord> pressed = eventsOf(tc::picture1, Event::leftPressed);
    const auto other = eventsOf(tc::picture2, Event::leftPressed);
    pressed.insert(pressed.end(), other.begin(), other.end());
    ASSERT_EQ(pressed.size(), 1u);
    EXPECT_EQ(pressed[0].arguments[0], 5);
    EXPECT_EQ(pressed[0].arguments[1], 7);
    EXPECT_EQ(pressed[0].arguments[2], keyStateCtrl);
}

TEST_F(InputTest, aButtonClickIsTheButtonsEvent)
{
    const HWND button = FindWindowExW(frame, nullptr, L"Button", nullptr);
    SendMessageW(button, BM_CLICK, 0, 0);
    pump();
    EXPECT_EQ(eventsOf(tc::button, Event::clicked).size(), 1u);
}

} // namespace
