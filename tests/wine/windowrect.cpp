// SPDX-License-Identifier: MIT
// Prints the outer rectangle and the client size of the top-level window
// with the given title, as Windows reports them: under wine without a window
// manager the X window shows only the client area.
//   windowrect.exe TITLE   ->  "outer: LEFT,TOP WIDTHxHEIGHT" and "client: WIDTHxHEIGHT"

#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t **argv)
{
    if (argc != 2)
        return 2;
    HWND window = FindWindowW(nullptr, argv[1]);
    if (!window) {
        std::puts("no such window");
        return 1;
    }
    RECT outer {};
    RECT client {};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    std::printf("outer: %ld,%ld %ldx%ld\n", outer.left, outer.top, outer.right - outer.left,
        outer.bottom - outer.top);
    std::printf("client: %ldx%ld\n", client.right, client.bottom);
    return 0;
}
