// SPDX-License-Identifier: MIT
#include "win32input.h"

#include <windows.h>

std::optional<MouseMessage> mouseMessage(unsigned message)
{
    switch (message) {
    case WM_MOUSEMOVE:
        return MouseMessage { MouseAction::move, MouseButton::none };
    case WM_LBUTTONDOWN:
        return MouseMessage { MouseAction::press, MouseButton::left };
    case WM_LBUTTONUP:
        return MouseMessage { MouseAction::release, MouseButton::left };
    case WM_LBUTTONDBLCLK:
        // Windows sends the second press of a double click as this alone.
        return MouseMessage { MouseAction::doubleClick, MouseButton::left };
    case WM_RBUTTONDOWN:
        return MouseMessage { MouseAction::press, MouseButton::right };
    case WM_RBUTTONUP:
        return MouseMessage { MouseAction::release, MouseButton::right };
    case WM_RBUTTONDBLCLK:
        return MouseMessage { MouseAction::doubleClick, MouseButton::right };
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
        return MouseMessage { MouseAction::press, MouseButton::other };
    case WM_MBUTTONUP:
    case WM_XBUTTONUP:
        return MouseMessage { MouseAction::release, MouseButton::other };
    case WM_MBUTTONDBLCLK:
    case WM_XBUTTONDBLCLK:
        return MouseMessage { MouseAction::doubleClick, MouseButton::other };
    default:
        return std::nullopt;
    }
}

std::int32_t mouseKeyState(std::uintptr_t wParam, bool altDown)
{
    std::int32_t state = 0;
    if (wParam & MK_CONTROL)
        state |= keyStateCtrl;
    if (wParam & MK_SHIFT)
        state |= keyStateShift;
    if (altDown)
        state |= keyStateAlt;
    return state;
}

std::int32_t layerKeyCode(unsigned virtualKey)
{
    if (virtualKey >= VK_NUMPAD0 && virtualKey <= VK_NUMPAD9)
        return std::int32_t('0' + (virtualKey - VK_NUMPAD0));
    switch (virtualKey) {
    case VK_SUBTRACT:
        return VK_OEM_MINUS;
    case VK_DECIMAL:
        return VK_OEM_PERIOD;
    case VK_DIVIDE:
        return VK_OEM_2;
    default:
        return std::int32_t(virtualKey);
    }
}
