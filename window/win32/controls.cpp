// SPDX-License-Identifier: MIT
// The control kinds as real Windows controls. They show what the layer
// sets; the settings that the game writes and reads back are the layer's.
#include <windows.h>

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>

#include "win32_p.h"
#include "win32text.h"

namespace {

constexpr wchar_t pictureBoxClass[] = L"KelmoraPictureBox";

// A control's window: placed in logical pixels, scaled to the window's DPI.
// Focus changes go to the layer as they happen.
class Win32Control : public PlatformControl, public Win32Child {
public:
    Win32Control(Win32Window &window, const ControlPlan &plan, HWND handle)
        : m_window(window)
        , m_handle(handle)
        , m_owner { plan.window, plan.id }
        , m_place { plan.left, plan.top, plan.width, plan.height }
        , m_planFont(plan.font)
    {
        registerOwner(m_handle, m_owner);
        SetWindowSubclass(m_handle, &Win32Control::focusWatch, 0, reinterpret_cast<DWORD_PTR>(this));
        m_window.addChild(this);
        if (m_planFont)
            m_ownFont = createPlanFont(m_planFont, m_window.dpi());
        SendMessageW(m_handle, WM_SETFONT, reinterpret_cast<WPARAM>(font()), FALSE);
    }
    ~Win32Control() override
    {
        RemoveWindowSubclass(m_handle, &Win32Control::focusWatch, 0);
        forgetOwner(m_handle);
        m_window.removeChild(this);
        if (IsWindow(m_handle))
            DestroyWindow(m_handle);
        if (m_ownFont)
            DeleteObject(m_ownFont);
    }

    void move(std::int32_t left, std::int32_t top) override
    {
        m_place.left = left;
        m_place.top = top;
        place();
    }
    void resize(std::int32_t width, std::int32_t height) override
    {
        m_place.width = width;
        m_place.height = height;
        place();
    }
    void setVisible(bool visible) override { ShowWindow(m_handle, visible ? SW_SHOWNA : SW_HIDE); }
    void setEnabled(bool enabled) override { EnableWindow(m_handle, enabled); }
    void raiseToTop() override
    {
        SetWindowPos(m_handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    Area placement() const override { return m_place; }
    bool isShown() const override { return IsWindowVisible(m_handle); }
    bool isEnabled() const override
    {
        return IsWindowEnabled(m_handle) && IsWindowEnabled(m_window.handle());
    }
    bool hasFocus() const override
    {
        const HWND focused = GetFocus();
        return focused && (focused == m_handle || IsChild(m_handle, focused));
    }
    void takeFocus(FocusReason) override { SetFocus(m_handle); }
    std::pair<double, double> clientFromScreen(double x, double y) const override
    {
        POINT origin { 0, 0 };
        ClientToScreen(m_handle, &origin);
        const double scale = 96.0 / m_window.dpi();
        return { (x - origin.x) * scale, (y - origin.y) * scale };
    }

    void applyDpi(UINT dpi) override
    {
        place();
        if (m_planFont) {
            const HFONT old = m_ownFont;
            m_ownFont = createPlanFont(m_planFont, dpi);
            SendMessageW(m_handle, WM_SETFONT, reinterpret_cast<WPARAM>(m_ownFont), TRUE);
            if (old)
                DeleteObject(old);
        } else {
            SendMessageW(m_handle, WM_SETFONT, reinterpret_cast<WPARAM>(m_window.defaultFont()), TRUE);
        }
        fontChanged();
    }

protected:
    HWND handle() const { return m_handle; }
    Win32Window &window() const { return m_window; }
    HFONT font() const { return m_ownFont ? m_ownFont : m_window.defaultFont(); }
    virtual void fontChanged() { }

    void place()
    {
        const UINT dpi = m_window.dpi();
        SetWindowPos(m_handle, nullptr, scaled(m_place.left, dpi), scaled(m_place.top, dpi),
            scaled(m_place.width, dpi), scaled(m_place.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    }

private:
    static LRESULT CALLBACK focusWatch(
        HWND handle, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
    {
        const LRESULT result = DefSubclassProc(handle, message, wParam, lParam);
        if (message == WM_SETFOCUS || message == WM_KILLFOCUS) {
            // The handler may take the control away: only the ids are used.
            const Owner owner = reinterpret_cast<Win32Control *>(data)->m_owner;
            deliverFocus(owner.window, owner.control, message == WM_SETFOCUS);
        }
        return result;
    }

    Win32Window &m_window;
    HWND m_handle;
    Owner m_owner;
    Area m_place;
    std::optional<PlatformFont> m_planFont;
    HFONT m_ownFont = nullptr;
};

class Win32Button : public Win32Control {
public:
    using Win32Control::Win32Control;
    void setText(std::string_view text) override { SetWindowTextW(handle(), wideFromGbk(text).c_str()); }
};

class Win32EditBox : public Win32Control {
public:
    Win32EditBox(Win32Window &window, const ControlPlan &plan, HWND handle)
        : Win32Control(window, plan, handle)
    {
        SendMessageW(handle, EM_SETLIMITTEXT, 0, 0); // no length limit
        window.setWhiteBox(handle);
    }
    void setText(std::string_view text) override
    {
        SetWindowTextW(handle(), wideFromGbk(text).c_str());
        SendMessageW(handle(), EM_SETSEL, 0, 0);
    }
    std::string text() const override
    {
        const int length = GetWindowTextLengthW(handle());
        std::wstring wide(std::size_t(std::max(length, 0)) + 1, L'\0');
        const int got = GetWindowTextW(handle(), wide.data(), int(wide.size()));
        wide.resize(std::size_t(std::max(got, 0)));
        return gbkFromWide(wide);
    }
    void appendText(std::string_view text) override
    {
        // At the very end whatever the player selected, leaving nothing for
        // the box's undo.
        const int length = GetWindowTextLengthW(handle());
        SendMessageW(handle(), EM_SETSEL, WPARAM(length), LPARAM(length));
        SendMessageW(handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wideFromGbk(text).c_str()));
    }
};

class Win32ListBox : public Win32Control {
public:
    Win32ListBox(Win32Window &window, const ControlPlan &plan, HWND handle)
        : Win32Control(window, plan, handle)
    {
        // The sunken three-dimensional edge: a visual style would draw a
        // flat line instead.
        withoutVisualStyle(handle);
        fontChanged();
    }
    std::int32_t addItem(std::string_view text, std::int32_t data) override
    {
        const LRESULT index
            = SendMessageW(handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideFromGbk(text).c_str()));
        if (index < 0)
            return -1;
        SendMessageW(handle(), LB_SETITEMDATA, WPARAM(index), LPARAM(data));
        return std::int32_t(index);
    }

protected:
    // Rows one pixel taller than the font; a new font resets the height.
    void fontChanged() override
    {
        const HDC dc = GetDC(handle());
        const HGDIOBJ old = SelectObject(dc, font());
        TEXTMETRICW metrics {};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(handle(), dc);
        SendMessageW(handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(metrics.tmHeight + 1, 0));
    }
};

class Win32ProgressBar : public Win32Control {
public:
    Win32ProgressBar(Win32Window &window, const ControlPlan &plan, HWND handle)
        : Win32Control(window, plan, handle)
    {
        // Blocks, not a smooth bar: visual styles draw none.
        withoutVisualStyle(handle);
        setRange(plan.minimum, plan.maximum, plan.minimum);
    }
    void setRange(std::int32_t minimum, std::int32_t maximum, std::int32_t position) override
    {
        SendMessageW(handle(), PBM_SETRANGE32, WPARAM(minimum), LPARAM(maximum));
        SendMessageW(handle(), PBM_SETPOS, WPARAM(position), 0);
    }
};

class Win32Label : public Win32Control {
public:
    Win32Label(Win32Window &window, const ControlPlan &plan, HWND handle)
        : Win32Control(window, plan, handle)
    {
        const Rgb colour = plan.textColour.value_or(Rgb {});
        window.setLabelColour(handle, RGB(colour.red, colour.green, colour.blue));
    }
    ~Win32Label() override { window().forgetLabel(handle()); }
    void setText(std::string_view text) override
    {
        SetWindowTextW(handle(), wideFromGbk(text).c_str());
        // The label draws no background: what lies behind it is drawn anew
        // first, so that the old text does not linger.
        RECT area {};
        GetWindowRect(handle(), &area);
        MapWindowPoints(nullptr, window().handle(), reinterpret_cast<POINT *>(&area), 2);
        RedrawWindow(window().handle(), &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
};

// ---- Picture boxes ---------------------------------------------------------

// A picture box: no border, the face colour behind, and the picture drawn by
// display mode. For screen readers a graphic named after the control and
// described by its picture's comment.
class Win32PictureBox : public Win32Control {
public:
    Win32PictureBox(Win32Window &window, const ControlPlan &plan, HWND handle)
        : Win32Control(window, plan, handle)
    {
        SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Win32PictureBox() override
    {
        SetWindowLongPtrW(handle(), GWLP_USERDATA, 0);
        if (m_bitmap)
            DeleteObject(m_bitmap);
    }

    void setPicture(Picture picture) override
    {
        if (m_bitmap)
            DeleteObject(m_bitmap);
        m_bitmap = nullptr;
        m_alpha = false;
        std::wstring comment;
        if (!picture.isNull()) {
            comment = wideCommentText(picture.comment);
            m_bitmap = bitmapOf(picture, m_alpha);
            m_width = picture.width;
            m_height = picture.height;
        }
        if (comment != m_comment) {
            m_comment = comment;
            NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, handle(), OBJID_CLIENT, CHILDID_SELF);
        }
        InvalidateRect(handle(), nullptr, FALSE);
    }

    void setDisplayMode(std::int32_t mode) override
    {
        mode = std::max(mode, 0);
        if (mode == m_mode)
            return;
        m_mode = mode;
        InvalidateRect(handle(), nullptr, FALSE);
    }

    static LRESULT CALLBACK procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto box = reinterpret_cast<Win32PictureBox *>(GetWindowLongPtrW(handle, GWLP_USERDATA));
        switch (message) {
        case WM_ERASEBKGND:
            return 1; // painting covers every pixel
        case WM_GETOBJECT:
            if (DWORD(lParam) == DWORD(OBJID_CLIENT))
                if (const LRESULT object = pictureBoxAccessibleObject(handle, wParam))
                    return object;
            break;
        case pictureBoxPressMessage:
            if (box)
                box->pressLikeMouse();
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(handle, &paint);
            RECT client;
            GetClientRect(handle, &client);
            // The face colour in every state: a disabled box looks the same.
            FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
            if (box)
                box->draw(dc, client);
            EndPaint(handle, &paint);
            return 0;
        }
        default:
            break;
        }
        return DefWindowProcW(handle, message, wParam, lParam);
    }

    const std::wstring &comment() const { return m_comment; }

private:
    // A left press and release in the middle of the box, as the mouse
    // would make them: the layer decides what they do.
    void pressLikeMouse() const
    {
        if (!IsWindowVisible(handle()))
            return;
        RECT client;
        GetClientRect(handle(), &client);
        POINT middle { client.right / 2, client.bottom / 2 };
        ClientToScreen(handle(), &middle);
        const auto owner = ownerOf(handle());
        if (!owner)
            return;
        const std::int32_t keyState = 0;
        // The press's handler may take the box away; only the ids are used.
        deliverMouse(owner->window, owner->control, MouseAction::press, MouseButton::left, middle.x, middle.y,
            keyState);
        deliverMouse(owner->window, owner->control, MouseAction::release, MouseButton::left, middle.x,
            middle.y, keyState);
    }

    // The rows as a top-down 32-bit DIB; alpha premultiplied, as AlphaBlend
    // takes it.
    static HBITMAP bitmapOf(const Picture &picture, bool &alpha)
    {
        BITMAPINFO info {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = picture.width;
        info.bmiHeader.biHeight = -picture.height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void *bits = nullptr;
        const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bitmap || !bits)
            return nullptr;
        auto out = static_cast<std::uint32_t *>(bits);
        alpha = picture.layout == PixelLayout::argb32;
        for (std::int32_t y = 0; y < picture.height; ++y) {
            std::uint32_t *target = out + std::size_t(y) * std::size_t(picture.width);
            const unsigned char *row = picture.row(y);
            for (std::int32_t x = 0; x < picture.width; ++x) {
                std::uint32_t pixel = 0;
                if (picture.layout == PixelLayout::rgb24) {
                    const unsigned char *p = row + std::size_t(x) * 3;
                    pixel = 0xff000000u | (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
                } else {
                    pixel = picture.wordRow(y)[x];
                    if (alpha) {
                        const std::uint32_t a = pixel >> 24;
                        const auto times = [a](std::uint32_t c) { return (c * a + 127) / 255; };
                        pixel = (a << 24) | (times((pixel >> 16) & 0xff) << 16)
                            | (times((pixel >> 8) & 0xff) << 8) | times(pixel & 0xff);
                    }
                }
                target[x] = pixel;
            }
        }
        return bitmap;
    }

    void draw(HDC dc, const RECT &client) const
    {
        if (!m_bitmap)
            return;
        const UINT dpi = window().dpi();
        const int boxWidth = client.right, boxHeight = client.bottom;
        // The picture at its own size in logical pixels, scaled as the
        // window is.
        const int ownWidth = scaled(m_width, dpi), ownHeight = scaled(m_height, dpi);
        RECT target { 0, 0, ownWidth, ownHeight };
        if (m_mode == 1) {
            target = client;
        } else if (m_mode == 2) {
            if (ownWidth > boxWidth || ownHeight > boxHeight) {
                // Shrunk keeping proportions, then centred.
                int width = boxWidth, height = MulDiv(ownHeight, boxWidth, ownWidth);
                if (height > boxHeight) {
                    height = boxHeight;
                    width = MulDiv(ownWidth, boxHeight, ownHeight);
                }
                target = { (boxWidth - width) / 2, (boxHeight - height) / 2, 0, 0 };
                target.right = target.left + width;
                target.bottom = target.top + height;
            } else {
                target = { (boxWidth - ownWidth) / 2, (boxHeight - ownHeight) / 2, 0, 0 };
                target.right = target.left + ownWidth;
                target.bottom = target.top + ownHeight;
            }
        }
        const HDC source = CreateCompatibleDC(dc);
        const HGDIOBJ old = SelectObject(source, m_bitmap);
        const int width = target.right - target.left, height = target.bottom - target.top;
        if (m_alpha) {
            const BLENDFUNCTION blend { AC_SRC_OVER, 0, 255, AC_SRC_ALPHA };
            AlphaBlend(dc, target.left, target.top, width, height, source, 0, 0, m_width, m_height, blend);
        } else if (width == m_width && height == m_height) {
            BitBlt(dc, target.left, target.top, width, height, source, 0, 0, SRCCOPY);
        } else {
            SetStretchBltMode(dc, HALFTONE);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            StretchBlt(dc, target.left, target.top, width, height, source, 0, 0, m_width, m_height, SRCCOPY);
        }
        SelectObject(source, old);
        DeleteDC(source);
    }

    HBITMAP m_bitmap = nullptr;
    bool m_alpha = false;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    std::int32_t m_mode = 0;
    std::wstring m_comment;
};

// The timer and the script host are never drawn: no window stands for them,
// only their place.
class UndrawnControl : public PlatformControl {
public:
    UndrawnControl(Win32Window &window, const ControlPlan &plan)
        : m_window(window)
        , m_place { plan.left, plan.top, plan.width, plan.height }
    {
    }
    void move(std::int32_t left, std::int32_t top) override
    {
        m_place.left = left;
        m_place.top = top;
    }
    void resize(std::int32_t width, std::int32_t height) override
    {
        m_place.width = width;
        m_place.height = height;
    }
    void setVisible(bool) override { }
    void setEnabled(bool enabled) override { m_enabled = enabled; }
    void raiseToTop() override { }
    Area placement() const override { return m_place; }
    bool isShown() const override { return false; }
    bool isEnabled() const override { return m_enabled && m_window.isEnabled(); }
    bool hasFocus() const override { return false; }
    void takeFocus(FocusReason) override { }
    std::pair<double, double> clientFromScreen(double x, double y) const override
    {
        const auto [left, top] = m_window.clientFromScreen(x, y);
        return { left - m_place.left, top - m_place.top };
    }

private:
    Win32Window &m_window;
    Area m_place;
    bool m_enabled = true;
};

void registerPictureBoxClass()
{
    static const bool registered = [] {
        registerWindowClass(pictureBoxClass, &Win32PictureBox::procedure);
        return true;
    }();
    (void)registered;
}

} // namespace

std::wstring pictureBoxDescription(HWND box)
{
    const auto shown = reinterpret_cast<const Win32PictureBox *>(GetWindowLongPtrW(box, GWLP_USERDATA));
    return shown ? shown->comment() : std::wstring();
}

std::unique_ptr<PlatformControl> buildWin32Control(Win32Window &window, const ControlPlan &plan)
{
    const wchar_t *type = nullptr;
    DWORD style = WS_CHILD | (plan.visible ? WS_VISIBLE : 0) | (plan.tabStop ? WS_TABSTOP : 0);
    DWORD extended = 0;
    std::wstring text = wideFromGbk(plan.text);
    switch (plan.kind) {
    case ControlKind::button:
        // Never a default button: Enter presses none.
        type = L"BUTTON";
        style |= BS_PUSHBUTTON | BS_MULTILINE | BS_CENTER | BS_VCENTER;
        break;
    case ControlKind::editBox:
        // No ES_NOHIDESEL: the selection hides while the box has no focus.
        type = L"EDIT";
        style |= WS_BORDER | ES_LEFT | ES_READONLY | ES_AUTOHSCROLL;
        break;
    case ControlKind::listBox:
        type = L"LISTBOX";
        style |= WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_USETABSTOPS | LBS_NOTIFY;
        extended = WS_EX_CLIENTEDGE;
        text.clear();
        break;
    case ControlKind::progressBar:
        type = PROGRESS_CLASSW;
        extended = WS_EX_STATICEDGE;
        text.clear();
        break;
    case ControlKind::transparentLabel:
        type = L"STATIC";
        // SS_NOTIFY: the mouse input over it is its own, not the window's.
        style |= SS_LEFTNOWORDWRAP | SS_CENTERIMAGE | SS_NOPREFIX | SS_NOTIFY;
        break;
    case ControlKind::pictureBox:
        registerPictureBoxClass();
        type = pictureBoxClass;
        text = wideFromGbk(plan.name); // its accessible name
        break;
    case ControlKind::timer:
    case ControlKind::scriptComponent:
        return std::make_unique<UndrawnControl>(window, plan);
    case ControlKind::window:
        return nullptr;
    }
    const UINT dpi = window.dpi();
    const HWND handle = CreateWindowExW(extended, type, text.c_str(), style, scaled(plan.left, dpi),
        scaled(plan.top, dpi), scaled(plan.width, dpi), scaled(plan.height, dpi), window.handle(), nullptr,
        GetModuleHandleW(nullptr), nullptr);
    if (!handle)
        return nullptr;
    switch (plan.kind) {
    case ControlKind::button:
        return std::make_unique<Win32Button>(window, plan, handle);
    case ControlKind::editBox:
        return std::make_unique<Win32EditBox>(window, plan, handle);
    case ControlKind::listBox:
        return std::make_unique<Win32ListBox>(window, plan, handle);
    case ControlKind::progressBar:
        return std::make_unique<Win32ProgressBar>(window, plan, handle);
    case ControlKind::transparentLabel:
        return std::make_unique<Win32Label>(window, plan, handle);
    case ControlKind::pictureBox:
        return std::make_unique<Win32PictureBox>(window, plan, handle);
    default:
        DestroyWindow(handle);
        return nullptr;
    }
}

void withoutVisualStyle(HWND handle)
{
    // A space, not an empty name: wine reads an empty one as the default
    // theme.
    SetWindowTheme(handle, L" ", L" ");
    SetWindowPos(handle, nullptr, 0, 0, 0, 0,
        SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
