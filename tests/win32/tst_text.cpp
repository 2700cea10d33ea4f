// SPDX-License-Identifier: MIT
// Texts and input at the Windows edge: a picture comment made safe for a
// screen reader, typed characters as GBK codes, mouse messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "window/picture.h"
#include "window/win32/win32input.h"
#include "window/win32/win32text.h"

namespace {

struct CommentCase {
    const char *name;
    std::string bytes;
    std::wstring text;
};

class CommentTextTest : public ::testing::TestWithParam<CommentCase> { };

TEST_P(CommentTextTest, isReadableAndSafe)
{
    EXPECT_EQ(wideCommentText(GetParam().bytes), GetParam().text);
}

const std::wstring longest(std::size_t(maxPictureCommentLength), L'x');

INSTANTIATE_TEST_SUITE_P(Comments, CommentTextTest,
    ::testing::Values(CommentCase { "utf8", "\xE7\xBA\xA2\xE6\xA1\x83 7", L"红桃 7" },
        // GBK, as older card sets carry: 黑桃 10
        CommentCase { "gbk", "\xBA\xDA\xCC\xD2 10", L"黑桃 10" },
        CommentCase { "bytesNeitherUtf8NorGbk",
            "A\x81\x20"
            "B",
            L"A\uFFFD"
            L"B" },
        CommentCase { "controlCharactersDropped",
            "A\x01\x1B[2J\x7F"
            "B",
            L"A[2JB" },
        CommentCase { "c1ControlDropped",
            "A\xC2\x80"
            "B",
            L"AB" },
        CommentCase { "directionOverrideDropped",
            "A\xE2\x80\xAE"
            "B\xE2\x80\xAC",
            L"AB" },
        CommentCase { "invisibleCharactersDropped",
            "\xEF\xBB\xBF"
            "A\xE2\x80\x8B\xC2\xAD"
            "B\xE2\x81\xA6",
            L"AB" },
        CommentCase { "tagCharactersDropped",
            "A\xF3\xA0\x81\x81"
            "B",
            L"AB" },
        CommentCase { "nonCharactersDropped",
            "A\xEF\xBF\xBE\xEF\xB7\x90"
            "B",
            L"AB" },
        CommentCase { "whiteSpaceRunsBecomeOneSpace",
            "  A \t\r\n B\xE3\x80\x80\xC2\xA0"
            "C  ",
            L"A B C" },
        CommentCase { "onlyControlsIsEmpty", "\x01\x02\r\n", L"" }, CommentCase { "empty", "", L"" },
        CommentCase { "cutToTheLimit", std::string(std::size_t(maxPictureCommentLength) + 50, 'x'), longest },
        // A character of two UTF-16 units that would end past the limit is
        // left out whole.
        CommentCase { "surrogatePairNotSplit",
            std::string(std::size_t(maxPictureCommentLength) - 1, 'x') + "\xF0\x9F\x82\xA1",
            std::wstring(std::size_t(maxPictureCommentLength) - 1, L'x') },
        CommentCase { "surrogatePairKept", "\xF0\x9F\x82\xA1", L"\xD83C\xDCA1" }),
    [](const ::testing::TestParamInfo<CommentCase> &info) { return std::string(info.param.name); });

struct TypedCase {
    const char *name;
    std::wstring characters;
    std::vector<std::int32_t> codes;
};

class TypedCodesTest : public ::testing::TestWithParam<TypedCase> { };

TEST_P(TypedCodesTest, areGbkCodes)
{
    EXPECT_EQ(typedCodes(GetParam().characters), GetParam().codes);
}

INSTANTIATE_TEST_SUITE_P(Keys, TypedCodesTest,
    ::testing::Values(TypedCase { "letter", L"a", { 'a' } }, TypedCase { "enter", L"\r", { 13 } },
        TypedCase { "ctrlA", L"\x01", { 1 } }, TypedCase { "chinese", L"中", { 0xD6D0 } },
        TypedCase { "twoCharacters", L"+中", { '+', 0xD6D0 } },
        TypedCase { "notInGbk", L"\xD83C\xDCA1", { '?' } }, TypedCase { "none", L"", {} }),
    [](const ::testing::TestParamInfo<TypedCase> &info) { return std::string(info.param.name); });

struct MouseCase {
    const char *name;
    unsigned message;
    MouseAction action;
    MouseButton button;
};

class MouseMessageTest : public ::testing::TestWithParam<MouseCase> { };

TEST_P(MouseMessageTest, mapsToTheLayersInput)
{
    const auto mapped = mouseMessage(GetParam().message);
    ASSERT_TRUE(mapped.has_value());
    EXPECT_EQ(mapped->action, GetParam().action);
    EXPECT_EQ(mapped->button, GetParam().button);
}

INSTANTIATE_TEST_SUITE_P(Messages, MouseMessageTest,
    ::testing::Values(MouseCase { "move", WM_MOUSEMOVE, MouseAction::move, MouseButton::none },
        MouseCase { "leftDown", WM_LBUTTONDOWN, MouseAction::press, MouseButton::left },
        MouseCase { "leftUp", WM_LBUTTONUP, MouseAction::release, MouseButton::left },
        MouseCase { "leftDouble", WM_LBUTTONDBLCLK, MouseAction::doubleClick, MouseButton::left },
        MouseCase { "rightDown", WM_RBUTTONDOWN, MouseAction::press, MouseButton::right },
        MouseCase { "rightDouble", WM_RBUTTONDBLCLK, MouseAction::doubleClick, MouseButton::right },
        MouseCase { "middleUp", WM_MBUTTONUP, MouseAction::release, MouseButton::other },
        MouseCase { "extraDown", WM_XBUTTONDOWN, MouseAction::press, MouseButton::other }),
    [](const ::testing::TestParamInfo<MouseCase> &info) { return std::string(info.param.name); });

TEST(MouseMessage, otherMessagesAreNoMouseInput)
{
    for (unsigned message : { WM_KEYDOWN, WM_CHAR, WM_NCLBUTTONDOWN, WM_MOUSEWHEEL, WM_PAINT })
        EXPECT_FALSE(mouseMessage(message).has_value()) << message;
}

TEST(MouseMessage, keyStateHasCtrlShiftAndAlt)
{
    EXPECT_EQ(mouseKeyState(0, false), 0);
    EXPECT_EQ(mouseKeyState(MK_CONTROL | MK_LBUTTON, false), keyStateCtrl);
    EXPECT_EQ(mouseKeyState(MK_SHIFT, true), keyStateShift | keyStateAlt);
}

struct KeyCase {
    const char *name;
    unsigned virtualKey;
    std::int32_t code;
};

class KeyCodeTest : public ::testing::TestWithParam<KeyCase> { };

TEST_P(KeyCodeTest, isTheLayersCode)
{
    EXPECT_EQ(layerKeyCode(GetParam().virtualKey), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyCodeTest,
    ::testing::Values(KeyCase { "keypadZero", VK_NUMPAD0, '0' }, KeyCase { "keypadNine", VK_NUMPAD9, '9' },
        KeyCase { "keypadMinus", VK_SUBTRACT, VK_OEM_MINUS },
        KeyCase { "keypadPoint", VK_DECIMAL, VK_OEM_PERIOD }, KeyCase { "keypadSlash", VK_DIVIDE, VK_OEM_2 },
        KeyCase { "keypadStarKeepsItsOwn", VK_MULTIPLY, VK_MULTIPLY },
        KeyCase { "keypadPlusKeepsItsOwn", VK_ADD, VK_ADD }, KeyCase { "digit", '7', '7' },
        KeyCase { "letter", 'Q', 'Q' }, KeyCase { "escape", VK_ESCAPE, VK_ESCAPE },
        KeyCase { "functionKey", VK_F5, VK_F5 }),
    [](const ::testing::TestParamInfo<KeyCase> &info) { return std::string(info.param.name); });

} // namespace
