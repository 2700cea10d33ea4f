// SPDX-License-Identifier: MIT
#include "win32platform.h"

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <windowsx.h>

#include <algorithm>
#include <map>
#include <unordered_map>

#include "win32_p.h"
#include "win32input.h"
#include "win32text.h"

namespace {

constexpr wchar_t windowClass[] = L"KelmoraWindow";
constexpr wchar_t timerClass[] = L"KelmoraTimers";

std::unordered_map<HWND, Owner> &owners()
{
    static std::unordered_map<HWND, Owner> map;
    return map;
}

// Device pixels of the desktop (the primary screen's scale) to logical ones.
UINT desktopDpi()
{
    const UINT dpi = GetDpiForSystem();
    return dpi ? dpi : 96;
}

int logical(int device, UINT dpi)
{
    return MulDiv(device, 96, int(dpi));
}

// PNG files give their size in the header; the icon sizes are square.
int pngSide(const std::vector<unsigned char> &png)
{
    if (png.size() < 24)
        return 0;
    return int((unsigned(png[16]) << 24) | (unsigned(png[17]) << 16) | (unsigned(png[18]) << 8) | png[19]);
}

// The icon file of the plan that best fits a side: the smallest at least as
// large, else the largest.
HICON iconOfSide(const std::vector<std::vector<unsigned char>> &icons, int side)
{
    const std::vector<unsigned char> *best = nullptr;
    int bestSide = 0;
    for (const auto &icon : icons) {
        const int own = pngSide(icon);
        if (own <= 0)
            continue;
        const bool better = !best || (bestSide < side ? own > bestSide : (own >= side && own < bestSide));
        if (better) {
            best = &icon;
            bestSide = own;
        }
    }
    if (!best || best->size() > 0x7fffffff)
        return nullptr;
    return CreateIconFromResourceEx(
        const_cast<PBYTE>(best->data()), DWORD(best->size()), TRUE, 0x00030000, side, side, LR_DEFAULTCOLOR);
}

// ---- Timers --------------------------------------------------------------

class Win32Timer;

struct TimerBoard {
    HWND window = nullptr;
    UINT_PTR nextId = 1;
    std::map<UINT_PTR, Win32Timer *> timers;
};

TimerBoard &timerBoard()
{
    static TimerBoard board;
    return board;
}

// WM_TIMER is never queued twice: ticks that fall due while the thread is
// busy do not pile up.
class Win32Timer : public PlatformTimer {
public:
    Win32Timer(std::int32_t period, std::function<void()> tick)
        : m_tick(std::move(tick))
    {
        TimerBoard &board = timerBoard();
        m_id = board.nextId++;
        board.timers[m_id] = this;
        SetTimer(board.window, m_id, UINT(std::max(period, 1)), nullptr);
    }
    ~Win32Timer() override
    {
        TimerBoard &board = timerBoard();
        KillTimer(board.window, m_id);
        board.timers.erase(m_id);
    }

    static LRESULT CALLBACK procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message != WM_TIMER)
            return DefWindowProcW(handle, message, wParam, lParam);
        const auto found = timerBoard().timers.find(UINT_PTR(wParam));
        if (found != timerBoard().timers.end()) {
            // The handler may stop this very timer: the function is copied.
            const std::function<void()> tick = found->second->m_tick;
            tick();
        }
        return 0;
    }

private:
    std::function<void()> m_tick;
    UINT_PTR m_id = 0;
};

// ---- Input -----------------------------------------------------------------

std::int32_t keyStateNow()
{
    std::int32_t state = 0;
    if (GetKeyState(VK_CONTROL) < 0)
        state |= keyStateCtrl;
    if (GetKeyState(VK_SHIFT) < 0)
        state |= keyStateShift;
    if (GetKeyState(VK_MENU) < 0)
        state |= keyStateAlt;
    return state;
}

// Mouse input goes to the layer before the control sees it; true when a
// handler swallowed it.
bool routeMouse(const MSG &msg)
{
    if (msg.message == WM_MOUSEWHEEL) {
        POINT at { GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam) };
        auto owner = ownerOf(WindowFromPoint(at));
        if (!owner)
            owner = ownerOf(msg.hwnd);
        return owner
            && deliverWheel(owner->window, owner->control, GET_WHEEL_DELTA_WPARAM(msg.wParam) / WHEEL_DELTA,
                mouseKeyState(GET_KEYSTATE_WPARAM(msg.wParam), GetKeyState(VK_MENU) < 0));
    }
    const auto mouse = mouseMessage(msg.message);
    if (!mouse)
        return false;
    const auto owner = ownerOf(msg.hwnd);
    if (!owner)
        return false;
    POINT at { GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam) };
    ClientToScreen(msg.hwnd, &at);
    return deliverMouse(owner->window, owner->control, mouse->action, mouse->button, at.x, at.y,
        mouseKeyState(msg.wParam, GetKeyState(VK_MENU) < 0));
}

// A key goes to the layer, with the characters it types, before the
// control sees either. Returns true when the message is dealt with.
bool routeKey(const MSG &msg)
{
    const bool pressed = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    if (!pressed && msg.message != WM_KEYUP && msg.message != WM_SYSKEYUP)
        return false;
    const auto owner = ownerOf(msg.hwnd);
    if (!owner)
        return false;
    std::int32_t state = keyStateNow();
    if (msg.message == WM_SYSKEYDOWN || msg.message == WM_SYSKEYUP)
        if (msg.lParam & (LPARAM(1) << 29))
            state |= keyStateAlt;
    const std::int32_t code = layerKeyCode(unsigned(msg.wParam));

    if (!pressed || (state & keyStateAlt)) {
        // A release or an Alt chord types nothing for the layer.
        if (deliverKey(owner->window, owner->control, pressed, code, state, {}))
            return true;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        return true;
    }
    // The characters the press types, as the character messages that
    // translating it queues.
    TranslateMessage(&msg);
    std::vector<MSG> characters;
    std::wstring typed;
    MSG next;
    while (PeekMessageW(&next, msg.hwnd, WM_CHAR, WM_DEADCHAR, PM_REMOVE)) {
        // PeekMessage hands out a pending quit whatever the filter: it
        // stays for the loop.
        if (next.message == WM_QUIT) {
            PostQuitMessage(int(next.wParam));
            break;
        }
        characters.push_back(next);
        if (next.message == WM_CHAR)
            typed += wchar_t(next.wParam);
    }
    const std::vector<std::int32_t> codes = typedCodes(typed);
    if (deliverKey(owner->window, owner->control, true, code, state, codes))
        return true;
    DispatchMessageW(&msg);
    for (const MSG &character : characters)
        DispatchMessageW(&character);
    return true;
}

// ---- The platform -----------------------------------------------------------

void registerWindowClasses()
{
    static const bool registered = [] {
        registerWindowClass(windowClass, &Win32Window::procedure);
        registerWindowClass(timerClass, &Win32Timer::procedure, true);
        return true;
    }();
    (void)registered;
}

class Win32Platform : public Platform {
public:
    void start() override
    {
        if (m_started)
            return;
        m_started = true;
        // COM and OLE for the thread: the picture decoders and screen
        // readers' calls need them.
        m_ole = SUCCEEDED(OleInitialize(nullptr));
        INITCOMMONCONTROLSEX controls { sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS };
        InitCommonControlsEx(&controls);
        registerWindowClasses();
        timerBoard().window = CreateWindowExW(
            0, timerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
    }

    void shutDown(bool afterFatalError) override
    {
        // After a fatal error a message may still be on its way through the
        // system: everything stays as it is until the process ends.
        if (afterFatalError || !m_started)
            return;
        m_started = false;
        if (timerBoard().window)
            DestroyWindow(timerBoard().window);
        timerBoard().window = nullptr;
        if (m_ole)
            OleUninitialize();
        m_ole = false;
    }

    Area primaryWorkArea() const override
    {
        RECT work {};
        MONITORINFO info {};
        info.cbSize = sizeof info;
        const HMONITOR primary = MonitorFromPoint(POINT { 0, 0 }, MONITOR_DEFAULTTOPRIMARY);
        if (primary && GetMonitorInfoW(primary, &info))
            work = info.rcWork;
        else
            SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const UINT dpi = desktopDpi();
        return { logical(work.left, dpi), logical(work.top, dpi), logical(work.right - work.left, dpi),
            logical(work.bottom - work.top, dpi) };
    }

    std::unique_ptr<PlatformWindow> createWindow(const WindowPlan &plan) override
    {
        registerWindowClasses();
        auto window = std::make_unique<Win32Window>(plan);
        if (!window->valid())
            return nullptr;
        return window;
    }

    std::unique_ptr<PlatformTimer> startTimer(std::int32_t period, std::function<void()> tick) override
    {
        return std::make_unique<Win32Timer>(period, std::move(tick));
    }

    PictureReader *pictureReader() override { return &win32PictureReader(); }

    void showFatalReport(std::string_view title, std::string_view report) override
    {
        MessageBoxW(nullptr, wideFromGbk(report).c_str(), wideFromGbk(title).c_str(),
            MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
    }

    void runLoop() override
    {
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (routeKey(msg) || routeMouse(msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    void quitLoop() override { PostQuitMessage(0); }

private:
    bool m_started = false;
    bool m_ole = false;
};

} // namespace

// ---- Shared helpers ----------------------------------------------------------

void registerOwner(HWND handle, Owner owner)
{
    owners()[handle] = owner;
}

void forgetOwner(HWND handle)
{
    owners().erase(handle);
}

std::optional<Owner> ownerOf(HWND handle)
{
    for (HWND h = handle; h; h = GetAncestor(h, GA_PARENT)) {
        const auto found = owners().find(h);
        if (found != owners().end())
            return found->second;
    }
    return std::nullopt;
}

HFONT createPlanFont(const std::optional<PlatformFont> &font, UINT dpi)
{
    if (font) {
        LOGFONTW wanted {};
        wanted.lfHeight = -scaled(font->height, dpi); // the character height, the em
        wanted.lfWeight = font->weight;
        wanted.lfCharSet = DEFAULT_CHARSET;
        wanted.lfOutPrecision = OUT_DEFAULT_PRECIS;
        wanted.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        wanted.lfQuality = PROOF_QUALITY;
        wanted.lfPitchAndFamily = DEFAULT_PITCH;
        const std::wstring face = wideFromGbk(font->face).substr(0, LF_FACESIZE - 1);
        face.copy(wanted.lfFaceName, face.size());
        return CreateFontIndirectW(&wanted);
    }
    NONCLIENTMETRICSW metrics {};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
            return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, int(dpi), int(desktopDpi()));
    }
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

// ---- The window ---------------------------------------------------------------

Win32Window::Win32Window(const WindowPlan &plan)
    : m_id(plan.id)
    , m_unit(plan.unit)
    , m_background(CreateSolidBrush(RGB(plan.background.red, plan.background.green, plan.background.blue)))
    , m_icons(plan.icons.begin(), plan.icons.end())
    , m_white(CreateSolidBrush(RGB(255, 255, 255)))
{
    // A fixed frame with caption, system menu and minimise button: no
    // maximising, no resizing.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    const UINT desktop = desktopDpi();
    const std::wstring title = wideFromGbk(plan.title);
    m_dpi = desktop;
    m_handle = CreateWindowExW(0, windowClass, title.c_str(), style, scaled(plan.left, desktop),
        scaled(plan.top, desktop), scaled(plan.width, desktop), scaled(plan.height, desktop), nullptr,
        nullptr, GetModuleHandleW(nullptr), this);
    if (!m_handle)
        return;
    registerOwner(m_handle, { m_id, m_unit });
    const UINT own = GetDpiForWindow(m_handle);
    if (own && own != desktop) {
        m_dpi = own;
        SetWindowPos(m_handle, nullptr, 0, 0, scaled(plan.width, own), scaled(plan.height, own),
            SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_defaultFont = createPlanFont(std::nullopt, m_dpi);
    setIcons();
}

Win32Window::~Win32Window()
{
    if (m_handle) {
        // The layer already knows: the destruction reports nothing.
        SetWindowLongPtrW(m_handle, GWLP_USERDATA, 0);
        forgetOwner(m_handle);
        DestroyWindow(m_handle);
    }
    for (HGDIOBJ object : { HGDIOBJ(m_background), HGDIOBJ(m_white), HGDIOBJ(m_defaultFont) })
        if (object)
            DeleteObject(object);
    for (HICON icon : { m_bigIcon, m_smallIcon })
        if (icon)
            DestroyIcon(icon);
}

void Win32Window::setIcons()
{
    const UINT dpi = m_dpi;
    const HICON big = iconOfSide(m_icons, GetSystemMetricsForDpi(SM_CXICON, dpi));
    const HICON small = iconOfSide(m_icons, GetSystemMetricsForDpi(SM_CXSMICON, dpi));
    SendMessageW(m_handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(m_handle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    for (HICON icon : { m_bigIcon, m_smallIcon })
        if (icon)
            DestroyIcon(icon);
    m_bigIcon = big;
    m_smallIcon = small;
}

void Win32Window::removeChild(Win32Child *child)
{
    m_children.erase(std::remove(m_children.begin(), m_children.end(), child), m_children.end());
}

void Win32Window::setLabelColour(HWND label, COLORREF colour)
{
    m_labels.emplace_back(label, colour);
}

void Win32Window::forgetLabel(HWND label)
{
    std::erase_if(m_labels, [label](const auto &entry) { return entry.first == label; });
}

void Win32Window::move(std::int32_t left, std::int32_t top)
{
    const UINT desktop = desktopDpi();
    SetWindowPos(m_handle, nullptr, scaled(left, desktop), scaled(top, desktop), 0, 0,
        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Keeps the window's place; nothing inside moves.
void Win32Window::resize(std::int32_t width, std::int32_t height)
{
    SetWindowPos(m_handle, nullptr, 0, 0, scaled(width, m_dpi), scaled(height, m_dpi),
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::setVisible(bool visible)
{
    ShowWindow(m_handle, visible ? SW_SHOW : SW_HIDE);
}

void Win32Window::setEnabled(bool enabled)
{
    EnableWindow(m_handle, enabled);
}

void Win32Window::raiseToTop()
{
    SetWindowPos(m_handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

Area Win32Window::placement() const
{
    RECT outer {};
    GetWindowRect(m_handle, &outer);
    const UINT desktop = desktopDpi();
    return { logical(outer.left, desktop), logical(outer.top, desktop),
        logical(outer.right - outer.left, m_dpi), logical(outer.bottom - outer.top, m_dpi) };
}

bool Win32Window::isShown() const
{
    return IsWindowVisible(m_handle);
}

bool Win32Window::isEnabled() const
{
    return IsWindowEnabled(m_handle);
}

bool Win32Window::hasFocus() const
{
    return GetActiveWindow() == m_handle;
}

void Win32Window::takeFocus(FocusReason)
{
    SetForegroundWindow(m_handle);
    SetActiveWindow(m_handle);
}

std::pair<double, double> Win32Window::clientFromScreen(double x, double y) const
{
    POINT origin { 0, 0 };
    ClientToScreen(m_handle, &origin);
    const double scale = 96.0 / m_dpi;
    return { (x - origin.x) * scale, (y - origin.y) * scale };
}

std::unique_ptr<PlatformControl> Win32Window::createControl(const ControlPlan &plan)
{
    return buildWin32Control(*this, plan);
}

void Win32Window::show()
{
    ShowWindow(m_handle, SW_SHOW);
    SetForegroundWindow(m_handle);
    UpdateWindow(m_handle);
}

void Win32Window::close()
{
    if (m_handle)
        SendMessageW(m_handle, WM_CLOSE, 0, 0);
}

void Win32Window::applyDpi(UINT dpi)
{
    m_dpi = dpi;
    const HFONT old = m_defaultFont;
    m_defaultFont = createPlanFont(std::nullopt, dpi);
    for (Win32Child *child : m_children)
        child->applyDpi(dpi);
    if (old)
        DeleteObject(old);
    setIcons();
}

LRESULT CALLBACK Win32Window::procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto window = static_cast<Win32Window *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        window->m_handle = handle;
        SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto window = reinterpret_cast<Win32Window *>(GetWindowLongPtrW(handle, GWLP_USERDATA));
    return window ? window->handle(message, wParam, lParam) : DefWindowProcW(handle, message, wParam, lParam);
}

LRESULT Win32Window::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(m_handle, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, m_background);
        return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT: {
        const auto control = reinterpret_cast<HWND>(lParam);
        const auto dc = reinterpret_cast<HDC>(wParam);
        for (const auto &[label, colour] : m_labels) {
            if (label == control) {
                // Only the letters: the window shows through around them.
                SetBkMode(dc, TRANSPARENT);
                SetTextColor(dc, colour);
                return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
            }
        }
        if (control == m_whiteBox) {
            // Black on white, read-only or not.
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkColor(dc, RGB(255, 255, 255));
            return reinterpret_cast<LRESULT>(m_white);
        }
        break;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && lParam) {
            if (const auto owner = ownerOf(reinterpret_cast<HWND>(lParam)))
                deliverClick(owner->window, owner->control);
            return 0;
        }
        break;
    case WM_CLOSE:
        if (windowCloseRequested(m_id))
            DestroyWindow(m_handle);
        return 0;
    case WM_DESTROY: {
        // The layer forgets the window, and with it this object; its
        // controls still stand while it does.
        const WindowId id = m_id;
        SetWindowLongPtrW(m_handle, GWLP_USERDATA, 0);
        forgetOwner(m_handle);
        m_handle = nullptr;
        windowDestroyed(id);
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focused = GetFocus();
            m_lastFocus = focused && IsChild(m_handle, focused) ? focused : nullptr;
            return 0;
        }
        if (HIWORD(wParam))
            return 0; // minimised
        // Back to the control that had the focus, as a dialog does; with
        // none, the layer chooses.
        if (m_lastFocus && IsWindow(m_lastFocus) && IsChild(m_handle, m_lastFocus)
            && IsWindowVisible(m_lastFocus) && IsWindowEnabled(m_lastFocus)) {
            SetFocus(m_lastFocus);
            return 0;
        }
        SetFocus(m_handle);
        return 0;
    case WM_SETFOCUS:
        windowFocusWanted(m_id);
        return 0;
    case WM_DPICHANGED: {
        const RECT *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(m_handle, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
            suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        applyDpi(HIWORD(wParam));
        RedrawWindow(m_handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(m_handle, message, wParam, lParam);
}

Platform &win32Platform()
{
    static Win32Platform platform;
    return platform;
}

void registerWindowClass(const wchar_t *name, WNDPROC procedure, bool plain)
{
    WNDCLASSEXW type {};
    type.cbSize = sizeof type;
    type.style = plain ? 0 : CS_DBLCLKS;
    type.lpfnWndProc = procedure;
    type.hInstance = GetModuleHandleW(nullptr);
    type.hCursor = plain ? nullptr : LoadCursorW(nullptr, IDC_ARROW);
    type.lpszClassName = name;
    RegisterClassExW(&type);
}
