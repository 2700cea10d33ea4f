// SPDX-License-Identifier: MIT
#include "display.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(KELMORA_HAVE_XCB)
#include <xcb/xcb.h>
#endif

void ensureDisplayAvailable()
{
#if defined(__linux__) || defined(__unix__)
    const char *platform = std::getenv("QT_QPA_PLATFORM");
    const bool xcbChosen = platform && std::strncmp(platform, "xcb", 3) == 0;
    const bool unset = !platform || !*platform;
    const char *wayland = std::getenv("WAYLAND_DISPLAY");
    if (!xcbChosen && !(unset && (!wayland || !*wayland)))
        return;

    const char *display = std::getenv("DISPLAY");
    bool reachable = display && *display;
#if defined(KELMORA_HAVE_XCB)
    if (reachable) {
        xcb_connection_t *connection = xcb_connect(display, nullptr);
        reachable = xcb_connection_has_error(connection) == 0;
        xcb_disconnect(connection);
    }
#endif
    if (!reachable) {
        std::fputs("kelmora: cannot open the game window: no display available (is DISPLAY set?)\n", stderr);
        std::exit(1);
    }
#endif
}
