// SPDX-License-Identifier: MIT
// The window and its controls as the backend builds them, on a real window
// (under wine in the tests' own X server), without the game.
#include <windows.h>

#include <gtest/gtest.h>

#include <oleacc.h>

#include <cstdio>
#include <memory>
#include <string>

#include "runtime/gbk.h"
#include "window/platform.h"
#include "window/win32/win32platform.h"

namespace {

std::string gbk(const char *utf8)
{
    return utf8ToGbk(utf8).value();
}

class WindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { win32Platform().start(); }
    static void TearDownTestSuite() { win32Platform().shutDown(false); }

    void SetUp() override
    {
        WindowPlan plan;
        plan.id = 7;
        plan.unit = 100;
        plan.title = gbk("Kelmora小游戏");
        plan.left = 20;
        plan.top = 30;
        plan.width = 1011;
        plan.height = 454;
        plan.background = Rgb { 128, 160, 128 };
        plan.icons = icons;
        window = win32Platform().createWindow(plan);
        ASSERT_TRUE(window);
    }

    std::unique_ptr<PlatformControl> control(ControlKind kind, std::string text = {}, bool visible = true)
    {
        ControlPlan plan;
        plan.window = 7;
        plan.id = ++lastId;
        plan.kind = kind;
        plan.left = 40;
        plan.top = 50;
        plan.width = 120;
        plan.height = 32;
        plan.visible = visible;
        plan.text = std::move(text);
        plan.name = gbk("图片框1");
        plan.maximum = 100;
        return window->createControl(plan);
    }

    static std::vector<unsigned char> readFile(const std::wstring &path)
    {
        std::vector<unsigned char> bytes;
        if (FILE *file = _wfopen(path.c_str(), L"rb")) {
            int c = 0;
            while ((c = std::fgetc(file)) != EOF)
                bytes.push_back(static_cast<unsigned char>(c));
            std::fclose(file);
        }
        return bytes;
    }

    const std::vector<std::vector<unsigned char>> icons = [] {
        std::vector<std::vector<unsigned char>> files;
        for (const wchar_t *size : { L"16", L"32", L"48", L"64", L"128" })
            files.push_back(
                readFile(L"" KELMORA_SOURCE_DIR L"/game/builtin/icon" + std::wstring(size) + L".png"));
        return files;
    }();
    std::unique_ptr<PlatformWindow> window;
    ControlId lastId = 100;
};

TEST_F(WindowTest, takesThePlannedOuterPlaceAndSize)
{
    EXPECT_EQ(window->placement(), (Area { 20, 30, 1011, 454 }));
    window->resize(777, 454);
    EXPECT_EQ(window->placement(), (Area { 20, 30, 777, 454 }));
    window->move(60, 70);
    EXPECT_EQ(window->placement(), (Area { 60, 70, 777, 454 }));
}

// A point counts from the control's own client area, inside its edge as
// the control's mouse messages count it.
int iconSide(HICON icon)
{
    ICONINFO info {};
    if (!icon || !GetIconInfo(icon, &info))
        return 0;
    BITMAP bitmap {};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// The window's icons come from the plan's PNG files, at the sizes the system
// asks for.
TEST_F(WindowTest, iconsComeFromThePlansPictures)
{
    const HWND frame = FindWindowW(L"KelmoraWindow", nullptr);
    ASSERT_TRUE(frame);
    const auto small = reinterpret_cast<HICON>(SendMessageW(frame, WM_GETICON, ICON_SMALL, 0));
    const auto big = reinterpret_cast<HICON>(SendMessageW(frame, WM_GETICON, ICON_BIG, 0));
    EXPECT_EQ(iconSide(small), GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(iconSide(big), GetSystemMetrics(SM_CXICON));
}

TEST_F(WindowTest, controlPositionsCountFromTheClientArea)
{
    const struct {
        ControlKind kind;
        int edge;
    } kinds[] = { { ControlKind::button, 0 }, { ControlKind::editBox, 0 }, { ControlKind::listBox, 2 },
        { ControlKind::progressBar, 1 }, { ControlKind::transparentLabel, 0 }, { ControlKind::pictureBox, 0 },
        { ControlKind::timer, 0 } };
    for (const auto &[kind, edge] : kinds) {
        SCOPED_TRACE(int(kind));
        const auto shown = control(kind);
        ASSERT_TRUE(shown);
        EXPECT_EQ(shown->placement(), (Area { 40, 50, 120, 32 }));
        const auto [x, y] = window->clientFromScreen(500, 400);
        const auto [cx, cy] = shown->clientFromScreen(500, 400);
        EXPECT_DOUBLE_EQ(cx, x - 40 - edge);
        EXPECT_DOUBLE_EQ(cy, y - 50 - edge);
        shown->move(5, 6);
        shown->resize(70, 20);
        EXPECT_EQ(shown->placement(), (Area { 5, 6, 70, 20 }));
    }
}

TEST_F(WindowTest, editBoxKeepsGbkTextAndAppendsAtTheEnd)
{
    const auto edit = control(ControlKind::editBox, gbk("中文"));
    ASSERT_TRUE(edit);
    EXPECT_EQ(edit->text(), gbk("中文"));
    edit->setText(gbk("9 13 7 9"));
    edit->appendText(gbk("+错误！"));
    EXPECT_EQ(edit->text(), gbk("9 13 7 9+错误！"));
    // No length limit.
    const std::string longText(40000, '7');
    edit->setText(longText);
    EXPECT_EQ(edit->text(), longText);
}

TEST_F(WindowTest, listBoxAddsRowsAtTheEndUnsorted)
{
    const auto list = control(ControlKind::listBox);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->addItem(gbk("9 13 7 9 错误！"), 0), 0);
    EXPECT_EQ(list->addItem("1 1 1 1", 0), 1);
    EXPECT_EQ(list->addItem("0", 0), 2);
}

TEST_F(WindowTest, visibilityAndEnabledFollowTheWindow)
{
    const auto label = control(ControlKind::transparentLabel, gbk("正确"), false);
    const auto button = control(ControlKind::button, gbk("重新发牌"));
    const auto timer = control(ControlKind::timer);
    EXPECT_FALSE(button->isShown()); // the window is not shown yet
    window->show();
    EXPECT_TRUE(window->isShown());
    EXPECT_TRUE(button->isShown());
    EXPECT_FALSE(label->isShown());
    EXPECT_FALSE(timer->isShown()); // never drawn
    label->setVisible(true);
    EXPECT_TRUE(label->isShown());
    button->setEnabled(false);
    EXPECT_FALSE(button->isEnabled());
    button->setEnabled(true);
    window->setEnabled(false);
    EXPECT_FALSE(button->isEnabled());
    window->setEnabled(true);
    EXPECT_TRUE(button->isEnabled());
}

TEST_F(WindowTest, focusMovesBetweenControls)
{
    const auto first = control(ControlKind::button, "1");
    const auto second = control(ControlKind::editBox);
    window->show();
    second->takeFocus(FocusReason::tab);
    EXPECT_TRUE(second->hasFocus());
    EXPECT_FALSE(first->hasFocus());
    first->takeFocus(FocusReason::backtab);
    EXPECT_TRUE(first->hasFocus());
}

// No game is loaded, so nothing refuses the close: the window goes.
TEST_F(WindowTest, closeDestroysTheWindow)
{
    const auto button = control(ControlKind::button, "1");
    window->show();
    window->close();
    EXPECT_FALSE(window->isShown());
    EXPECT_FALSE(button->isShown());
}

TEST_F(WindowTest, pictureBoxTakesAPictureAndNone)
{
    const auto box = control(ControlKind::pictureBox);
    ASSERT_TRUE(box);
    Picture picture = Picture::ofSize(4, 3, PixelLayout::argb32);
    for (std::int32_t y = 0; y < 3; ++y)
        for (std::int32_t x = 0; x < 4; ++x)
            picture.wordRow(y)[x] = 0x80ff0000u;
    picture.comment = "\xE7\xBA\xA2\xE6\xA1\x83 7";
    box->setPicture(std::move(picture));
    box->setDisplayMode(2);
    window->show();
    UpdateWindow(GetActiveWindow());
    box->setPicture(Picture());
    box->setPicture(Picture::ofSize(2, 2, PixelLayout::rgb24));
}

// What a screen reader reads of a picture box: a graphic named after the
// control, described by the card it shows, which it can press.
TEST_F(WindowTest, pictureBoxIsAGraphicDescribedByItsPicture)
{
    const auto box = control(ControlKind::pictureBox);
    Picture picture = Picture::ofSize(2, 2, PixelLayout::rgb32);
    picture.comment = "\xE7\xBA\xA2\xE6\xA1\x83\t 7\x07";
    box->setPicture(std::move(picture));
    window->show();

    const HWND frame = FindWindowW(L"KelmoraWindow", nullptr);
    const HWND handle = FindWindowExW(frame, nullptr, L"KelmoraPictureBox", nullptr);
    ASSERT_TRUE(handle);
    IAccessible *accessible = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(
                  handle, DWORD(OBJID_CLIENT), __uuidof(IAccessible), reinterpret_cast<void **>(&accessible)),
        S_OK);
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    const auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR *)) {
        BSTR value = nullptr;
        std::wstring result;
        if (SUCCEEDED((accessible->*get)(self, &value)) && value)
            result.assign(value, SysStringLen(value));
        SysFreeString(value);
        return result;
    };
    EXPECT_EQ(text(&IAccessible::get_accName), L"图片框1");
    EXPECT_EQ(text(&IAccessible::get_accDescription), L"红桃 7");
    EXPECT_EQ(text(&IAccessible::get_accDefaultAction), L"按下");
    VARIANT role;
    VariantInit(&role);
    ASSERT_EQ(accessible->get_accRole(self, &role), S_OK);
    EXPECT_EQ(role.vt, VT_I4);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_GRAPHIC);
    EXPECT_EQ(accessible->accDoDefaultAction(self), S_OK);

    box->setPicture(Picture());
    EXPECT_EQ(text(&IAccessible::get_accDescription), L"");
    accessible->Release();
}

} // namespace
