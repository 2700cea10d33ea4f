// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QScreen>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>

#include <cstdio>

#include "gbkliteral.h"
#include "runtime/fatal.h"
#include "testform.h"
#include "window/lifecycle.h"
#include "window/operations.h"
#include "window/qt/qtplatform.h"
#include "window/qt/qttesting.h"
#include "window/testing.h"
#include "wttexts.h"

namespace {

void say(const char *line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

bool fatalOnTick = false;

const NamedHandler handlers[] = {
    { "countdownTick",
        [](const EventRecord &) -> std::optional<std::int32_t> {
            if (fatalOnTick)
                reportFatalError(4, gbk("数组成员引用下标必须大于等于1").c_str());
            say("tick");
            return std::nullopt;
        } },
};

void printReport(const std::string &report)
{
    std::fwrite(report.data(), 1, report.size(), stdout);
    std::fflush(stdout);
}

void startWithWindow()
{
    allowMissingHandlers(true); // only the tick is bound here
    startRuntime(qtPlatform(), testForm, handlers);
    registerExitRoutine([] { say("exit routine"); });
    setFatalReportBox(printReport);
    loadWindow(testWindow);
}

int endNormally()
{
    runMessageLoop();
    shutDownRuntime();
    return 0;
}

// Each child ends its process one way or another.
int runChild(const QByteArray &what)
{
    if (what == "no-display") {
        allowMissingHandlers(true);
        startRuntime(qtPlatform(), testForm, handlers);
        return 0;
    }
    if (what == "missing-handler") {
        // The window binds two handlers; the tick alone is given.
        setFatalReportBox(printReport);
        startRuntime(qtPlatform(), testForm, handlers);
        return 3;
    }
    startWithWindow();
    if (what == "place") {
        // The primary screen's work area, where the window opened, as read
        // back and as the window has it.
        const auto read
            = [](Property property) { return int(readProperty(testWindow, tc::unit, property, -1)); };
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect outer = controlWidget(testWindow, tc::unit)->frameGeometry();
        std::printf("%d %d %d %d\n%d %d\n%d %d\n", area.x(), area.y(), area.width(), area.height(),
            read(Property::left), read(Property::top), outer.x(), outer.y());
        registerExitRoutine(nullptr);
        unloadWindow(testWindow);
        shutDownRuntime();
        return 0;
    }
    if (what == "escape") {
        // Typed, as a player would: sent events are no input.
        QTimer::singleShot(
            50, [] { QTest::keyClick(controlWidget(testWindow, tc::button), Qt::Key_Escape); });
        return endNormally();
    }
    if (what == "close") {
        QTimer::singleShot(50, [] { controlWidget(testWindow, tc::unit)->close(); });
        return endNormally();
    }
    if (what == "fatal-1")
        reportFatalError(1, gbk("数组成员引用下标超出定义范围").c_str());
    if (what == "fatal-0")
        reportFatalError(0, gbk("载入启动窗口失败").c_str());
    if (what == "no-handler-during-report") {
        setFatalReportBox([](const std::string &report) {
            printReport(report);
            QTest::qWait(300); // the timer falls due many times meanwhile
        });
        writeProperty(testWindow, tc::timer, TimerProperty::period, -1, 10);
        reportFatalError(0, "x");
    }
    if (what == "unloaded-window")
        writeProperty(testWindow + 1, tc::bar, ProgressProperty::position, -1, 1);
    if (what == "missing-control")
        appendEditText(testWindow, 12345, { "1" });
    if (what == "fatal-in-handler") {
        // Raised from inside the message loop's delivery of a tick.
        fatalOnTick = true;
        writeProperty(testWindow, tc::timer, TimerProperty::period, -1, 10);
        return endNormally();
    }
    if (what == "event-window-missing") {
        EventRecord event { testWindow + 1, tc::button, 0 };
        raiseEvent(event);
    }
    if (what == "event-control-missing") {
        EventRecord event { testWindow, 12345, 0 };
        raiseEvent(event);
    }
    if (what == "event-from-script-component") {
        EventRecord event { testWindow, tc::script, -1 };
        raiseEvent(event);
    }
    if (what == "build-fails") {
        unloadWindow(testWindow);
        failControlBuild(tc::list);
        loadWindow(testWindow);
    }
    return 3;
}

QByteArray report(const char *utf8Message, int code)
{
    return QByteArray::fromStdString(composeFatalReport(code, gbk(utf8Message).c_str()));
}

} // namespace

class LifecycleTest : public QObject {
    Q_OBJECT

    struct Outcome {
        int exitCode;
        QByteArray output;
        QByteArray errors;
    };

    static Outcome run(const QString &child, const QProcessEnvironment &environment = {})
    {
        QProcess process;
        if (!environment.isEmpty())
            process.setProcessEnvironment(environment);
        process.start(QCoreApplication::applicationFilePath(), { "--child", child });
        process.waitForFinished(30000);
        return { process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError() };
    }

private slots:
    void closingTheWindowEndsTheLoopAndRunsTheExitRoutineOnce_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Escape on a control") << "escape";
        QTest::newRow("close button") << "close";
    }
    void closingTheWindowEndsTheLoopAndRunsTheExitRoutineOnce()
    {
        QFETCH(QString, how);
        const Outcome outcome = run(how);
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.output, QByteArray("exit routine\n"));
    }

    void fatalErrorsReportAndEndWithoutTheExitRoutine_data()
    {
        QTest::addColumn<QString>("child");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("code 1") << "fatal-1" << report("数组成员引用下标超出定义范围", 1);
        QTest::newRow("code 0 has no code line") << "fatal-0" << report("载入启动窗口失败", 0);
        QTest::newRow("no handler while the box shows") << "no-handler-during-report" << report("x", 0);
        QTest::newRow("property of a window not loaded")
            << "unloaded-window" << report("未载入欲访问窗口组件所在的窗口", 0);
        QTest::newRow("command on a missing control")
            << "missing-control" << report("指定窗口或窗口组件不存在或尚未载入", 0);
        QTest::newRow("a control that cannot be built") << "build-fails" << report("载入启动窗口失败", 0);
        QTest::newRow("inside a handler during the loop")
            << "fatal-in-handler" << report("数组成员引用下标必须大于等于1", 4);
        QTest::newRow("event from a window not loaded")
            << "event-window-missing" << report("未找到引发事件的窗口", 0);
        QTest::newRow("event from a missing control")
            << "event-control-missing" << report("未找到引发事件的窗口组件", 0);
        QTest::newRow("event from a kind that raises none")
            << "event-from-script-component" << report("引发事件的窗口组件无效", 0);
        QTest::newRow("a bound handler the program does not supply")
            << "missing-handler" << report("载入窗口模板数据段出错!", 0);
    }
    void fatalErrorsReportAndEndWithoutTheExitRoutine()
    {
        QFETCH(QString, child);
        QFETCH(QByteArray, expected);
        const Outcome outcome = run(child);
        QCOMPARE(outcome.exitCode, 255);
        QCOMPARE(outcome.output, expected);
    }

    void theWindowOpensCentredOnThePrimaryScreenWhereverItLies()
    {
        // Two screens side by side, neither at the desktop's origin, so that
        // whichever the platform makes primary, its origin counts.
        QTemporaryFile screens;
        QVERIFY(screens.open());
        screens.write(R"({ "screens": [
            { "name": "left", "x": 1000, "y": 100, "width": 1920, "height": 1080 },
            { "name": "right", "x": 2920, "y": 40, "width": 1281, "height": 1025 } ] })");
        screens.close();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName());
        const Outcome outcome = run("place", environment);
        QCOMPARE(outcome.exitCode, 0);
        const QList<QByteArray> lines = outcome.output.trimmed().split('\n');
        QCOMPARE(lines.size(), 3);
        const QList<QByteArray> area = lines[0].split(' ');
        QCOMPARE(area.size(), 4);
        const int x = area[0].toInt(), y = area[1].toInt(), width = area[2].toInt(), height = area[3].toInt();
        QVERIFY2((x == 1000 && y == 100) || (x == 2920 && y == 40), lines[0].constData());
        const QByteArray centred = QByteArray::number(x + (width - testform::windows[0].width) / 2) + ' '
            + QByteArray::number(y + (height - testform::windows[0].height) / 2);
        QCOMPARE(lines[1], centred); // as read back
        QCOMPARE(lines[2], centred); // as the window stands
    }

    void withoutADisplayTheGameSaysSoInOneLine_data()
    {
        QTest::addColumn<QString>("display");
        QTest::newRow("DISPLAY not set") << QString();
        QTest::newRow("no X server there") << ":65433";
    }
    void withoutADisplayTheGameSaysSoInOneLine()
    {
        QFETCH(QString, display);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("QT_QPA_PLATFORM");
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        if (!display.isEmpty())
            environment.insert("DISPLAY", display);
        const Outcome outcome = run("no-display", environment);
        QCOMPARE(outcome.exitCode, 1);
        QVERIFY2(outcome.errors.contains("no display"), outcome.errors.constData());
        QCOMPARE(outcome.errors.count('\n'), 1);
    }
};

int main(int argc, char **argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--child")
        return runChild(argv[2]);
    QCoreApplication app(argc, argv);
    LifecycleTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_lifecycle.moc"
