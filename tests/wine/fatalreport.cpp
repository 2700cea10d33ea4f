// SPDX-License-Identifier: MIT
// Raises a fatal run-time error on the Win32 backend and reports the box it
// brings up. A watcher thread finds the box by its class and title, prints
// its text, icon, owner and buttons in UTF-8 on standard output (line breaks
// written as \r and \n, so that the text is one line), then presses OK. The
// process must then end on its own, with exit code -1; the watcher ends it
// with 3 when no box comes and 4 when OK does not end the process.

#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <thread>

#include "gbkliteral.h"
#include "runtime/fatal.h"
#include "window/form.h"
#include "window/lifecycle.h"
#include "window/win32/win32platform.h"

namespace {

constexpr WindowId fatalWindow = 0x46520001;
constexpr WindowData windows[] = {
    { .name = "窗口",
        .id = fatalWindow,
        .unit = 0x46520100,
        .title = "报错测试",
        .width = 320,
        .height = 200,
        .background = { 255, 255, 255 },
        .icons = {},
        .escapeCloses = true,
        .bindings = {},
        .controls = {} },
};
constexpr Form fatalForm { windows, {} };

void print(const std::wstring &line)
{
    std::string bytes(WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(
        CP_UTF8, 0, line.c_str(), -1, bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.back() = '\n';
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

std::wstring escaped(const wchar_t *text)
{
    std::wstring result;
    for (; *text; ++text) {
        if (*text == L'\r')
            result += L"\\r";
        else if (*text == L'\n')
            result += L"\\n";
        else
            result += *text;
    }
    return result;
}

const wchar_t *iconName(HICON icon)
{
    if (!icon)
        return L"none";
    const struct {
        LPCWSTR id;
        const wchar_t *name;
    } standard[] = { { IDI_ERROR, L"error" }, { IDI_WARNING, L"warning" },
        { IDI_INFORMATION, L"information" }, { IDI_QUESTION, L"question" } };
    for (const auto &candidate : standard) {
        if (icon == LoadIconW(nullptr, candidate.id))
            return candidate.name;
    }
    return L"other";
}

BOOL CALLBACK findIcon(HWND child, LPARAM found)
{
    wchar_t className[16] = {};
    GetClassNameW(child, className, static_cast<int>(std::size(className)));
    if (lstrcmpiW(className, L"Static") != 0 || (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
        return TRUE;
    // Window messages carry handles as integers.
    // NOLINTNEXTLINE(performance-no-int-to-ptr)
    *reinterpret_cast<HICON *>(found) = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    return FALSE;
}

HICON shownIcon(HWND box)
{
    HICON icon = nullptr;
    EnumChildWindows(box, findIcon, reinterpret_cast<LPARAM>(&icon));
    return icon;
}

void watchForReport()
{
    HWND box = nullptr;
    for (int attempt = 0; attempt < 400 && !box; ++attempt) {
        box = FindWindowW(L"#32770", L"错误");
        if (!box)
            Sleep(50);
    }
    if (!box) {
        print(L"no report box within 20 s");
        ExitProcess(3);
    }
    // Message boxes name their text 0xFFFF; the icon's number differs
    // between Windows and wine, so it is found by its style.
    wchar_t text[1024] = {};
    GetDlgItemTextW(box, 0xFFFF, text, static_cast<int>(std::size(text)));
    print(L"text: " + escaped(text));
    print(std::wstring(L"icon: ") + iconName(shownIcon(box)));
    print(std::wstring(L"owner: ") + (GetWindow(box, GW_OWNER) ? L"a window" : L"none"));
    std::wstring buttons;
    const struct {
        int id;
        const wchar_t *name;
    } known[] = { { IDOK, L"OK" }, { IDCANCEL, L"Cancel" }, { IDABORT, L"Abort" }, { IDRETRY, L"Retry" },
        { IDIGNORE, L"Ignore" }, { IDYES, L"Yes" }, { IDNO, L"No" } };
    for (const auto &button : known) {
        if (GetDlgItem(box, button.id))
            buttons += (buttons.empty() ? L"" : L" ") + std::wstring(button.name);
    }
    print(L"buttons: " + buttons);
    PostMessageW(
        box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    Sleep(10000);
    print(L"the process still runs 10 s after OK");
    ExitProcess(4);
}

} // namespace

int main()
{
    _setmode(_fileno(stdout), _O_BINARY);
    std::thread(watchForReport).detach();
    startRuntime(win32Platform(), fatalForm, {});
    loadWindow(fatalWindow);
    const std::string message = gbk("数组成员引用下标必须大于等于1");
    reportFatalError(4, message.c_str());
}
