// SPDX-License-Identifier: MIT
// The window layer's core on a platform that shows nothing: settings and
// their clamps, events and their order, the hold, the life cycle and the
// fatal reports. No toolkit and no display; each case is a function, fatal
// ones run in a child process: the program started again with the case's
// number. Builds for Linux and for Windows.

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char **environ;
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "gbkliteral.h"
#include "runtime/fatal.h"
#include "testform.h"
#include "window/fakeplatform.h"
#include "window/lifecycle.h"
#include "window/operations.h"
#include "window/registry_p.h"
#include "window/testing.h"

namespace {

int failures = 0;
const char *currentCase = "";

void check(bool passed, const char *what, int line)
{
    if (!passed) {
        std::fprintf(stderr, "FAIL %s (line %d): %s\n", currentCase, line, what);
        ++failures;
    }
}
#define CHECK(condition) check((condition), #condition, __LINE__)

using Typed = std::vector<std::int32_t>;

#ifdef _WIN32
// JPEG pictures are decoded by the Win32 backend, through the system. A
// stand-in gives a blank picture of the size the markers declare: the core's
// part, bounding the file and handing it over, is what is tested here.
class OutlineReader final : public PictureReader {
public:
    std::optional<std::pair<std::int64_t, std::int64_t>> declaredSize(
        const unsigned char *, std::size_t, PictureFormat) override
    {
        return std::nullopt;
    }
    Picture read(const unsigned char *data, std::size_t size, PictureFormat format) override
    {
        const auto outline = format == PictureFormat::jpeg ? readJpegOutline(data, size) : std::nullopt;
        if (!outline)
            return {};
        Picture picture = Picture::ofSize(outline->width, outline->height, PixelLayout::rgb32);
        std::fill_n(
            picture.words.get(), std::size_t(outline->width) * std::size_t(outline->height), 0xff000000u);
        return picture;
    }
};

class CorePlatform final : public FakePlatform {
public:
    PictureReader *pictureReader() override { return &reader; }

private:
    OutlineReader reader;
};
#else
using CorePlatform = FakePlatform;
#endif

CorePlatform platform;
std::vector<std::string> calls;
std::optional<std::int32_t> handlerResult;

const NamedHandler handlers[] = {
    { "countdownTick",
        [](const EventRecord &) -> std::optional<std::int32_t> {
            calls.emplace_back("tick");
            return handlerResult;
        } },
};

std::vector<EventRecord> events;

// The events a control raised: number then arguments.
std::vector<std::vector<std::int32_t>> eventsOf(ControlId control)
{
    std::vector<std::vector<std::int32_t>> seen;
    for (const EventRecord &event : events) {
        if (event.control != control)
            continue;
        std::vector<std::int32_t> entry { event.number };
        entry.insert(entry.end(), event.arguments, event.arguments + event.argumentCount);
        seen.push_back(entry);
    }
    return seen;
}

std::int64_t read(ControlId control, std::int32_t property)
{
    return readProperty(testWindow, control, property, -1);
}

FakeControl &shown(ControlId control)
{
    return *platform.control(testWindow, control);
}

// Input comes at places on the screen: these are in the window's client
// area, which starts at the window's corner on this platform.
bool mouseAt(ControlId control, MouseAction action, MouseButton button, double x, double y, std::int32_t keys)
{
    return deliverMouse(
        testWindow, control, action, button, x + shown(tc::unit).left, y + shown(tc::unit).top, keys);
}

void fresh()
{
    calls.clear();
    events.clear();
    handlerResult.reset();
    platform.log.clear();
    setEventObserver([](const EventRecord &event) { events.push_back(event); });
    loadWindow(testWindow);
    events.clear();
}

void done()
{
    setEventObserver({});
    unloadWindow(testWindow);
}

// ---- Cases -------------------------------------------------------------------

void numbersAreClampedAndReadBack()
{
    struct Row {
        ControlId control;
        std::int32_t property;
        std::int64_t written;
        std::int64_t readBack;
    };
    const Row rows[] = {
        { tc::edit, 2, 32628, 32627 }, // width above the limit
        { tc::edit, 2, -5, 0 }, // width below zero
        { tc::button, 0, -40000, -32627 }, // left below the limit
        { tc::button, 1, 40000, 32627 }, // top above the limit
        { tc::button, 3, 50, 50 }, // height in range
        { tc::bar, 13, 150, 150 }, // position above the maximum
        { tc::bar, 13, -3, 0 }, // position below zero
        { tc::bar, 13, 32768, 32767 }, // position above 32767
        { tc::picture2, 6, 0x100000000 + 7, 1 }, // Boolean from any non-zero
        { tc::picture2, 6, 0x100000000, 0 }, // only the low 32 bits count
        { tc::timer, 8, -1, 0 }, // timer period below zero
        { tc::button, 7, -2, 0 }, // mouse pointer below zero
        { tc::picture2, 11, -3, 0 }, // display mode below zero
        { tc::picture2, 11, 7, 7 }, // unknown display mode kept
    };
    for (const Row &row : rows) {
        writeProperty(testWindow, row.control, row.property, -1, row.written);
        CHECK(read(row.control, row.property) == row.readBack);
    }
    // What shows follows the stored values.
    CHECK(shown(tc::edit).width == 0);
    CHECK(shown(tc::button).left == -32627 && shown(tc::button).top == 32627);
    CHECK(shown(tc::picture2).enabled);
}

void theBarShowsItsPositionWithinItsRange()
{
    writeProperty(testWindow, tc::bar, ProgressProperty::position, -1, 150);
    CHECK(shown(tc::bar).rangePosition == 100);
    writeProperty(testWindow, tc::bar, ProgressProperty::maximum, -1, 200);
    CHECK(shown(tc::bar).rangePosition == 150);
    // A maximum below the minimum shows an empty range at the minimum.
    writeProperty(testWindow, tc::bar, ProgressProperty::minimum, -1, 300);
    CHECK(shown(tc::bar).rangeMinimum == 300 && shown(tc::bar).rangeMaximum == 300);
    CHECK(shown(tc::bar).rangePosition == 300);
    CHECK(read(tc::bar, 13) == 150);
}

void textsAndPicturesReadBackAsCopies()
{
    writeProperty(testWindow, tc::button, ButtonProperty::caption, -1, textValue(gbk("历史记录>>").c_str()));
    Text caption = valueText(read(tc::button, 10));
    CHECK(caption && std::string(caption) == gbk("历史记录>>"));
    CHECK(shown(tc::button).text() == gbk("历史记录>>"));
    releaseMemory(caption);
    writeProperty(testWindow, tc::edit, EditProperty::content, -1, textValue(""));
    CHECK(valueText(read(tc::edit, 8)) == nullptr);
    appendEditText(testWindow, tc::edit, { "12", "+3" });
    Text content = valueText(read(tc::edit, 8));
    CHECK(content && std::string(content) == "12+3");
    releaseMemory(content);

    // The stored block is a copy; handing it back reads no freed memory.
    Bytes block = newBytes("not a picture", 13);
    writeProperty(testWindow, tc::picture1, PictureProperty::picture, -1, bytesValue(block));
    releaseMemory(block);
    CHECK(shown(tc::picture1).picture.isNull());
    Bytes stored = valueBytes(read(tc::picture1, 10));
    CHECK(bytesCount(stored) == 13);
    writeProperty(testWindow, tc::picture1, PictureProperty::picture, -1, bytesValue(stored));
    releaseMemory(stored);
    Bytes again = valueBytes(read(tc::picture1, 10));
    CHECK(bytesCount(again) == 13
        && std::string_view(reinterpret_cast<const char *>(bytesData(again)), 13) == "not a picture");
    releaseMemory(again);
}

void theBuiltInPictureIsDecodedAtLoad()
{
    const Picture &picture = shown(tc::picture1).picture;
    CHECK(!picture.isNull() && picture.width == 156 && picture.height == 251);
    CHECK(shown(tc::picture2).picture.isNull());
}

void theSamePeriodKeepsTheTimerAndZeroStopsIt()
{
    platform.log.clear();
    writeProperty(testWindow, tc::timer, TimerProperty::period, -1, 1000);
    writeProperty(testWindow, tc::timer, TimerProperty::period, -1, 1000);
    CHECK(platform.runningPeriods() == std::vector<std::int32_t> { 1000 });
    CHECK(platform.log == std::vector<std::string> { "timer 1000" });
    platform.tickTimers();
    CHECK(calls == std::vector<std::string> { "tick" });
    writeProperty(testWindow, tc::timer, TimerProperty::period, -1, 300);
    CHECK(platform.runningPeriods() == std::vector<std::int32_t> { 300 });
    writeProperty(testWindow, tc::timer, TimerProperty::period, -1, -5);
    CHECK(platform.runningPeriods().empty());
    // A tick's handler may stop its own timer.
    writeProperty(testWindow, tc::timer, TimerProperty::period, -1, 10);
    calls.clear();
    platform.tickTimers();
    CHECK(calls.size() == 1);
}

void aHandlerGivingZeroSwallowsTheInput()
{
    // The timer is the only bound unit here; its tick takes no input, so
    // press the list and bind nothing: unbound input always goes on.
    CHECK(!mouseAt(tc::list, MouseAction::press, MouseButton::left, 345, 20, 0));
    CHECK(eventsOf(tc::list) == (std::vector<std::vector<std::int32_t>> { { -1, 5, 10, 0 } }));
    const auto raised = [](std::optional<std::int32_t> result) {
        handlerResult = result;
        LoadedWindow &window = *findLoadedWindow(testWindow);
        return raiseControlEvent(window, *findControl(window, tc::timer), 0);
    };
    CHECK(!raised(std::nullopt));
    CHECK(!raised(1));
    CHECK(raised(0));
}

void inputRaisesEventsInOrder()
{
    // A press on a disabled picture is a press on the window, at the same
    // place in the window's client area.
    writeProperty(testWindow, tc::picture2, Property::disabled, -1, 1);
    mouseAt(tc::picture2, MouseAction::press, MouseButton::left, 183, 14, keyStateAlt);
    CHECK(eventsOf(tc::picture2).empty());
    CHECK(eventsOf(tc::unit) == (std::vector<std::vector<std::int32_t>> { { -1, 183, 14, 4 } }));

    // A double click on a picture; to other units a press.
    events.clear();
    mouseAt(tc::picture1, MouseAction::doubleClick, MouseButton::left, 11, 12, 0);
    mouseAt(tc::button, MouseAction::doubleClick, MouseButton::right, 11, 202, 0);
    CHECK(eventsOf(tc::picture1) == (std::vector<std::vector<std::int32_t>> { { -3, 1, 2, 0 } }));
    CHECK(eventsOf(tc::button) == (std::vector<std::vector<std::int32_t>> { { -4, 1, 2, 0 } }));

    // Keys: the press, each character it types in turn, the release;
    // positions wrap as unsigned 16-bit numbers.
    events.clear();
    deliverKey(testWindow, tc::button, true, 0x37, 0, Typed { '7' });
    deliverKey(testWindow, tc::button, false, 0x37, 0, {});
    deliverKey(testWindow, tc::button, true, 0x41, keyStateCtrl, Typed { 0x01 });
    deliverKey(testWindow, tc::button, true, 0xba, 0, Typed { 0xa3bb, 0xa3ac });
    mouseAt(tc::button, MouseAction::move, MouseButton::none, 9, 199, 0);
    deliverWheel(testWindow, tc::button, -2, keyStateShift);
    const std::vector<std::vector<std::int32_t>> expected { { -9, 0x37, 0 }, { -11, '7' }, { -10, 0x37, 0 },
        { -9, 0x41, 1 }, { -11, 1 }, { -9, 0xba, 0 }, { -11, 0xa3bb }, { -11, 0xa3ac },
        { -6, 65535, 65535, 0 }, { -12, -2, 2 } };
    CHECK(eventsOf(tc::button) == expected);

    // Nothing at all for a disabled control, not even for the window.
    events.clear();
    writeProperty(testWindow, tc::button, Property::disabled, -1, 1);
    CHECK(!deliverKey(testWindow, tc::button, true, 0x41, 0, Typed { 'a' }));
    CHECK(events.empty());
    // Input for what is not loaded does nothing.
    CHECK(!deliverMouse(testWindow + 1, tc::button, MouseAction::press, MouseButton::left, 0, 0, 0));
    CHECK(!deliverKey(testWindow, 12345, true, 0x41, 0, Typed { 'a' }));
    CHECK(events.empty());
}

void heldEventsRaiseNothing()
{
    holdEvents();
    CHECK(eventHoldCount() == 1);
    mouseAt(tc::list, MouseAction::press, MouseButton::left, 345, 20, 0);
    platform.tickTimers();
    EventRecord event { testWindow, tc::timer, 0 };
    CHECK(!raiseEvent(event));
    releaseEvents();
    CHECK(eventHoldCount() == 0);
    CHECK(events.empty());
    mouseAt(tc::list, MouseAction::press, MouseButton::left, 345, 20, 0);
    CHECK(events.size() == 1);
}

void tabWalksTheFocusOrderAndWraps()
{
    // Reverse defined order over the tab stops: list, edit, button.
    CHECK(platform.focused == &shown(tc::list));
    deliverKey(testWindow, tc::list, true, 0x09, 0, {});
    CHECK(platform.focused == &shown(tc::edit));
    deliverKey(testWindow, tc::edit, true, 0x09, 0, {});
    CHECK(platform.focused == &shown(tc::button));
    deliverKey(testWindow, tc::button, true, 0x09, 0, {});
    CHECK(platform.focused == &shown(tc::list));
    deliverKey(testWindow, tc::list, true, 0x09, keyStateShift, {});
    CHECK(platform.focused == &shown(tc::button));
    // Disabled and hidden controls are passed over; Tab raises no event.
    writeProperty(testWindow, tc::list, Property::disabled, -1, 1);
    writeProperty(testWindow, tc::edit, Property::visible, -1, 0);
    events.clear();
    deliverKey(testWindow, tc::button, true, 0x09, 0, {});
    CHECK(platform.focused == &shown(tc::button));
    CHECK(events.empty());
}

void theLifeCycleRunsInItsOrder()
{
    done();
    platform.log.clear();
    events.clear();
    setEventObserver([](const EventRecord &event) { events.push_back(event); });
    loadWindow(testWindow);
    const std::vector<std::string> loaded { "window 测试窗口", "control 按钮1", "control 编辑框1",
        "control 列表框1", "control 时钟1", "control 透明标签1", "control 进度条1", "control 脚本组件1",
        "control 图片框2", "control 图片框1", "show" };
    CHECK(platform.log == loaded);
    // Created before it shows; nothing raised while it was being built.
    CHECK(eventsOf(tc::unit) == (std::vector<std::vector<std::int32_t>> { { 0 } }));
    // Centred on the screen, each division dropping its fraction.
    CHECK(shown(tc::unit).left == (1280 - 560) / 2 && shown(tc::unit).top == (800 - 300) / 2);
    // The window's kinds that are never drawn are built hidden.
    CHECK(!shown(tc::timer).visible && !shown(tc::script).visible);

    // Escape asks to close; granted, the window goes: destroyed event first,
    // then the controls, then the window; the loop is told to end.
    platform.log.clear();
    events.clear();
    deliverKey(testWindow, tc::button, true, 0x1b, 0, {});
    CHECK(!findLoadedWindow(testWindow));
    CHECK(eventsOf(tc::unit) == (std::vector<std::vector<std::int32_t>> { { 1 }, { 2 } }));
    CHECK(platform.log.size() == 11 && platform.log[9] == "destroy 测试窗口" && platform.log[10] == "quit");
    loadWindow(testWindow);
}

// ---- Fatal reports, each in a child process --------------------------------

// The child's arguments: this, then the case's index.
constexpr std::string_view fatalCaseArgument = "--fatal-case";
std::filesystem::path programPath; // absolute: the run time changes directory

// A fatal error ends the process with exit code -1, which a Linux parent
// sees as its low 8 bits and a Windows one whole.
#ifdef _WIN32
constexpr int fatalExitCode = -1;
#else
constexpr int fatalExitCode = 255;
#endif

struct FatalCase {
    const char *what;
    std::function<void()> body;
    std::string expected;
};

std::string report(const char *utf8, int code)
{
    return composeFatalReport(code, gbk(utf8).c_str());
}

const std::vector<FatalCase> &fatalCases()
{
    static const std::vector<FatalCase> cases {
        { "property of a window not loaded",
            [] { writeProperty(testWindow + 1, tc::bar, ProgressProperty::position, -1, 1); },
            report("未载入欲访问窗口组件所在的窗口", 0) },
        { "property of a missing control", [] { (void)readProperty(testWindow, 12345, 0, -1); },
            report("指定窗口或窗口组件不存在或尚未载入", 0) },
        { "command on a control of another kind", [] { addListItem(testWindow, tc::edit, "x"); },
            report("指定窗口或窗口组件不存在或尚未载入", 0) },
        { "event from a window not loaded",
            [] {
                EventRecord event { testWindow + 1, tc::button, 0 };
                raiseEvent(event);
            },
            report("未找到引发事件的窗口", 0) },
        { "event from a missing control",
            [] {
                EventRecord event { testWindow, 12345, 0 };
                raiseEvent(event);
            },
            report("未找到引发事件的窗口组件", 0) },
        { "event from a kind that raises none",
            [] {
                EventRecord event { testWindow, tc::script, -1 };
                raiseEvent(event);
            },
            report("引发事件的窗口组件无效", 0) },
        { "a control that cannot be built",
            [] {
                unloadWindow(testWindow);
                failControlBuild(tc::list);
                loadWindow(testWindow);
            },
            report("载入启动窗口失败", 0) },
        { "code and message", [] { reportFatalError(1, gbk("数组成员引用下标超出定义范围").c_str()); },
            report("数组成员引用下标超出定义范围", 1) },
        // Its log is looked at too: only what the failed load did.
        { "half-built window",
            [] {
                unloadWindow(testWindow);
                platform.log.clear();
                failControlBuild(tc::list);
                loadWindow(testWindow);
            },
            report("载入启动窗口失败", 0) },
    };
    return cases;
}

// The child: loads the window as every case does, runs the case, and writes
// the platform's log and the report's text to its standard output.
[[noreturn]] void runFatalCase(std::size_t index)
{
#ifdef _WIN32
    // The report's line ends go out as they are.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    fresh();
    setFatalReportBox([](const std::string &text) {
        std::string line;
        for (const std::string &entry : platform.log)
            line += entry + "|";
        line += "\n" + text;
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fflush(stdout);
    });
    platform.log.clear();
    if (index < fatalCases().size())
        fatalCases()[index].body();
    std::_Exit(3);
}

struct Ending {
    int exitCode = -1000;
    std::string report;
    std::vector<std::string> log;
};

// Starts the program again for one case; its standard output comes back
// through a pipe.
Ending inChild(std::size_t index)
{
    std::string output;
    Ending ending;
    std::fflush(nullptr);
#ifdef _WIN32
    SECURITY_ATTRIBUTES inheritable { sizeof inheritable, nullptr, TRUE };
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0))
        std::abort();
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    const std::wstring program = programPath.wstring();
    std::wstring commandLine = L"\"" + program + L"\" "
        + std::wstring(fatalCaseArgument.begin(), fatalCaseArgument.end()) + L" " + std::to_wstring(index);
    PROCESS_INFORMATION child {};
    const bool started = CreateProcessW(
        program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child);
    CloseHandle(writeEnd);
    if (started) {
        char buffer[512];
        for (DWORD n = 0; ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0;)
            output.append(buffer, n);
        WaitForSingleObject(child.hProcess, INFINITE);
        DWORD code = 0;
        if (GetExitCodeProcess(child.hProcess, &code))
            ending.exitCode = static_cast<std::int32_t>(code);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
    }
    CloseHandle(readEnd);
#else
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        std::abort();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    std::string program = programPath.string();
    std::string argument(fatalCaseArgument);
    std::string number = std::to_string(index);
    char *arguments[] = { program.data(), argument.data(), number.data(), nullptr };
    pid_t child = 0;
    const bool started = posix_spawn(&child, program.c_str(), &actions, nullptr, arguments, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    char buffer[512];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, std::size_t(n));
    close(pipeEnds[0]);
    int status = 0;
    if (started && waitpid(child, &status, 0) == child && WIFEXITED(status))
        ending.exitCode = WEXITSTATUS(status);
#endif
    const auto split = output.find('\n');
    if (split != std::string::npos) {
        ending.report = output.substr(split + 1);
        std::string logLine = output.substr(0, split);
        for (std::size_t at = 0, bar; (bar = logLine.find('|', at)) != std::string::npos; at = bar + 1)
            ending.log.push_back(logLine.substr(at, bar - at));
    }
    return ending;
}

void fatalErrorsReportTheirTextAndEnd()
{
    const std::vector<FatalCase> &cases = fatalCases();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        currentCase = cases[i].what;
        const Ending ending = inChild(i);
        CHECK(ending.exitCode == fatalExitCode);
        CHECK(ending.report == cases[i].expected);
        if (std::string_view(cases[i].what) == "half-built window") {
            // A half-built window is gone before the report shows.
            CHECK(std::find(ending.log.begin(), ending.log.end(), "destroy 测试窗口") != ending.log.end());
            CHECK(std::find(ending.log.begin(), ending.log.end(), "control 时钟1") == ending.log.end());
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
#ifdef _WIN32
    // argv[0] is whatever the starter wrote; the module's own path is exact.
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), DWORD(path.size())));
    programPath = path;
#else
    programPath = std::filesystem::absolute(argv[0]);
#endif
    allowMissingHandlers(true); // the button's handler is not given
    startRuntime(platform, testForm, handlers);
    registerExitRoutine([] { calls.emplace_back("exit routine"); });
    if (argc == 3 && argv[1] == fatalCaseArgument)
        runFatalCase(std::size_t(std::strtoul(argv[2], nullptr, 10)));
    const std::pair<const char *, void (*)()> cases[] = {
        { "numbersAreClampedAndReadBack", numbersAreClampedAndReadBack },
        { "theBarShowsItsPositionWithinItsRange", theBarShowsItsPositionWithinItsRange },
        { "textsAndPicturesReadBackAsCopies", textsAndPicturesReadBackAsCopies },
        { "theBuiltInPictureIsDecodedAtLoad", theBuiltInPictureIsDecodedAtLoad },
        { "theSamePeriodKeepsTheTimerAndZeroStopsIt", theSamePeriodKeepsTheTimerAndZeroStopsIt },
        { "aHandlerGivingZeroSwallowsTheInput", aHandlerGivingZeroSwallowsTheInput },
        { "inputRaisesEventsInOrder", inputRaisesEventsInOrder },
        { "heldEventsRaiseNothing", heldEventsRaiseNothing },
        { "tabWalksTheFocusOrderAndWraps", tabWalksTheFocusOrderAndWraps },
        { "theLifeCycleRunsInItsOrder", theLifeCycleRunsInItsOrder },
    };
    for (const auto &[name, run] : cases) {
        currentCase = name;
        fresh();
        run();
        done();
    }
    fresh();
    fatalErrorsReportTheirTextAndEnd();
    done();

    // The exit routine runs once, at shutdown.
    currentCase = "shutdown";
    calls.clear();
    shutDownRuntime();
    CHECK(calls == std::vector<std::string> { "exit routine" });
    CHECK(platform.log.back() == "shut down");

    std::printf("%s\n", failures ? "FAILED" : "passed");
    return failures ? 1 : 0;
}
