// SPDX-License-Identifier: MIT
#pragma once

// What the backend's files share: the owner of each window handle, pixel
// scaling, and the window as the controls see it.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "window/platform.h"

// Which control a window handle shows.
struct Owner {
    WindowId window = 0;
    ControlId control = 0;
};
void registerOwner(HWND handle, Owner owner);
void forgetOwner(HWND handle);
// The control that a handle, or the nearest of its parents, shows.
std::optional<Owner> ownerOf(HWND handle);

// Logical pixels (96 to the inch) to the window's device pixels.
inline int scaled(int logical, UINT dpi)
{
    return MulDiv(logical, int(dpi), 96);
}

// Registers a window class of this program: double clicks reported and the
// arrow pointer unless `plain`.
void registerWindowClass(const wchar_t *name, WNDPROC procedure, bool plain = false);

// A control drawn the classic way, without visual styles (the sunken edge,
// the progress bar's blocks), its frame drawn anew.
void withoutVisualStyle(HWND handle);

// A font of the window's: the plan's own or the default UI font, at a DPI.
HFONT createPlanFont(const std::optional<PlatformFont> &font, UINT dpi);

// A picture box's accessible object, for WM_GETOBJECT (OBJID_CLIENT), and
// what it reads: the comment text of the picture shown. Its press action
// posts pictureBoxPressMessage to the box.
LRESULT pictureBoxAccessibleObject(HWND box, WPARAM wParam);
std::wstring pictureBoxDescription(HWND box);
inline constexpr UINT pictureBoxPressMessage = WM_APP + 1;

class Win32Window;

// A control as its window sees it, to re-place it and its font when the DPI
// changes.
class Win32Child {
public:
    virtual ~Win32Child() = default;
    virtual void applyDpi(UINT dpi) = 0;
};

std::unique_ptr<PlatformControl> buildWin32Control(Win32Window &window, const ControlPlan &plan);

class Win32Window : public PlatformWindow {
public:
    explicit Win32Window(const WindowPlan &plan);
    ~Win32Window() override;

    bool valid() const { return m_handle != nullptr; }
    HWND handle() const { return m_handle; }
    UINT dpi() const { return m_dpi; }
    HFONT defaultFont() const { return m_defaultFont; }
    WindowId id() const { return m_id; }

    void addChild(Win32Child *child) { m_children.push_back(child); }
    void removeChild(Win32Child *child);
    // Text colours of transparent labels, by handle.
    void setLabelColour(HWND label, COLORREF colour);
    void forgetLabel(HWND label);
    void setWhiteBox(HWND edit) { m_whiteBox = edit; }

    void move(std::int32_t left, std::int32_t top) override;
    void resize(std::int32_t width, std::int32_t height) override;
    void setVisible(bool visible) override;
    void setEnabled(bool enabled) override;
    void raiseToTop() override;
    Area placement() const override;
    bool isShown() const override;
    bool isEnabled() const override;
    bool hasFocus() const override;
    void takeFocus(FocusReason reason) override;
    std::pair<double, double> clientFromScreen(double x, double y) const override;

    std::unique_ptr<PlatformControl> createControl(const ControlPlan &plan) override;
    void show() override;
    void close() override;

    static LRESULT CALLBACK procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void applyDpi(UINT dpi);
    void setIcons();

    HWND m_handle = nullptr;
    WindowId m_id = 0;
    ControlId m_unit = 0;
    UINT m_dpi = 96;
    HBRUSH m_background = nullptr;
    HFONT m_defaultFont = nullptr;
    HICON m_bigIcon = nullptr;
    HICON m_smallIcon = nullptr;
    std::vector<std::vector<unsigned char>> m_icons;
    std::vector<Win32Child *> m_children;
    std::vector<std::pair<HWND, COLORREF>> m_labels;
    HWND m_whiteBox = nullptr;
    HBRUSH m_white = nullptr;
    HWND m_lastFocus = nullptr;
};
