// SPDX-License-Identifier: MIT
// Whole-process figures: start to first painted window and resident memory,
// for the game, for a bare Qt window of the same size, and for a bare Qt
// window holding the same 21 controls as plain Qt widgets with no layer of
// ours; and memory after long play. Run without arguments it drives its own
// child processes:
//   bench_startup [runs] [cycles]

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <span>
#include <string_view>
#include <vector>

#include "game/form.h"
#include "game/handlers.h"
#include "game/program.h"
#include "game/variables.h"
#include "runtime/texts.h"
#include "window/lifecycle.h"
#include "window/qt/qtplatform.h"

namespace {

long residentKiB()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// Reports once the first paint of any window has been flushed, then closes
// every window so the program ends its own way.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (!seen && event->type() == QEvent::Paint && object->isWidgetType()) {
            seen = true;
            QTimer::singleShot(0, [] {
                std::printf("painted %ld\n", residentKiB());
                std::fflush(stdout);
                QApplication::closeAllWindows();
            });
        }
        return false;
    }

private:
    bool seen = false;
};

int childGame(int argc, char **argv)
{
    QApplication app(argc, argv);
    FirstPaint probe;
    app.installEventFilter(&probe);
    const int code = startProgram(qtPlatform());
    shutDownRuntime();
    return code;
}

// A bare Qt window of the game's size; with `withText`, also one line of
// Chinese text as the game shows, since the font system's start-up is part
// of any window that shows text.
int childBare(int argc, char **argv, bool withText)
{
    QApplication app(argc, argv);
    FirstPaint probe;
    app.installEventFilter(&probe);
    QWidget window;
    window.setWindowTitle("bare");
    window.resize(1011, 454);
    if (withText) {
        auto label = new QLabel(QString::fromUtf8("还有100秒"), &window);
        QFont font(QString::fromUtf8("AR PL UMing CN"));
        font.setPixelSize(20);
        label->setFont(font);
        label->move(448, 384);
    }
    window.show();
    return app.exec();
}

std::span<const unsigned char> builtinPicture(const char *alias)
{
    for (const BuiltinPicture &picture : gameForm().pictures)
        if (alias && std::string_view(picture.alias) == alias)
            return picture.bytes;
    return {};
}

// The game's window as plain Qt widgets: the same 21 controls at their
// places with the same texts, fonts, pictures and icon, built straight from
// the form's table with no layer of ours in between.
int childBareWidgets(int argc, char **argv)
{
    QApplication app(argc, argv);
    FirstPaint probe;
    app.installEventFilter(&probe);
    // The same faces stand in for the Windows names as in the game.
    QFont::insertSubstitutions(QString::fromUtf8("隶书"),
        { "AR PL UKai CN", "AR PL UKai TW", "AR PL KaitiM GB", "WenQuanYi Zen Hei" });
    QFont::insertSubstitutions(QString::fromUtf8("宋体"),
        { "AR PL UMing CN", "AR PL UMing TW", "Noto Serif CJK SC", "WenQuanYi Zen Hei" });
    const WindowData &data = gameForm().windows.front();
    QWidget window;
    window.setWindowTitle(QString::fromUtf8(data.title));
    window.resize(data.width, data.height);
    QPalette colours = window.palette();
    colours.setColor(
        QPalette::Window, QColor(data.background.red, data.background.green, data.background.blue));
    window.setPalette(colours);
    QIcon icon;
    for (const char *alias : data.icons) {
        QPixmap pixmap;
        const auto bytes = builtinPicture(alias);
        pixmap.loadFromData(bytes.data(), uint(bytes.size()));
        icon.addPixmap(pixmap);
    }
    window.setWindowIcon(icon);
    for (const ControlData &control : data.controls) {
        const QString text = QString::fromUtf8(control.text ? control.text : "");
        QWidget *widget = nullptr;
        switch (control.kind) {
        case ControlKind::button:
            widget = new QPushButton(text, &window);
            break;
        case ControlKind::editBox:
            widget = new QLineEdit(text, &window);
            break;
        case ControlKind::listBox:
            widget = new QListWidget(&window);
            break;
        case ControlKind::progressBar: {
            auto bar = new QProgressBar(&window);
            bar->setRange(control.minimum, control.maximum);
            widget = bar;
            break;
        }
        case ControlKind::transparentLabel:
            widget = new QLabel(text, &window);
            break;
        case ControlKind::pictureBox: {
            auto label = new QLabel(&window);
            QPixmap pixmap;
            const auto bytes = builtinPicture(control.picture);
            pixmap.loadFromData(bytes.data(), uint(bytes.size()));
            label->setPixmap(pixmap);
            widget = label;
            break;
        }
        default:
            widget = new QWidget(&window);
            break;
        }
        if (control.font.face) {
            QFont font(QString::fromUtf8(control.font.face));
            font.setPixelSize(control.font.height);
            font.setWeight(QFont::Weight(control.font.weight));
            font.setStyleStrategy(QFont::PreferQuality);
            widget->setFont(font);
        }
        widget->setGeometry(control.left, control.top, control.width, control.height);
        widget->setVisible(control.visible && control.kind != ControlKind::timer
            && control.kind != ControlKind::scriptComponent);
    }
    window.show();
    return app.exec();
}

int childCycles(int argc, char **argv, int cycles)
{
    QApplication app(argc, argv);
    startRuntime(qtPlatform(), gameForm(), gameHandlers());
    initProgramVariables();
    loadWindow(mainWindow);
    QApplication::processEvents();
    const long before = residentKiB();
    long historyBytes = 0;
    for (int i = 0; i < cycles; ++i) {
        dealHand();
        pickCard(1);
        appendSymbol("*");
        pickCard(2);
        checkAnswer();
        historyBytes += textLength(historyText) + 1;
        if (i % 100 == 0)
            QApplication::processEvents();
    }
    QApplication::processEvents();
    std::printf(
        "cycles %d before %ld after %ld history %ld\n", cycles, before, residentKiB(), historyBytes / 1024);
    return 0;
}

struct Run {
    double milliseconds = -1;
    long kib = -1;
};

Run runChild(const QString &mode)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    child.start(QCoreApplication::applicationFilePath(), { "--child", mode });
    Run run;
    while (child.waitForReadyRead(20000)) {
        const QByteArray line = child.readLine();
        if (line.startsWith("painted")) {
            run.milliseconds = clock.nsecsElapsed() / 1e6;
            run.kib = line.mid(8).trimmed().toLong();
            break;
        }
    }
    child.waitForFinished(20000);
    return run;
}

template <typename T> T median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && QByteArray(argv[1]) == "--child") {
        const QByteArray mode = argv[2];
        if (mode == "game")
            return childGame(argc, argv);
        if (mode == "bare" || mode == "bare-text")
            return childBare(argc, argv, mode == "bare-text");
        if (mode == "bare-widgets")
            return childBareWidgets(argc, argv);
        return childCycles(argc, argv, argc >= 4 ? std::atoi(argv[3]) : 10000);
    }

    QCoreApplication app(argc, argv);
    const int runs = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 15;
    const int cycles = argc >= 3 ? std::atoi(argv[2]) : 10000;
    std::vector<double> gameTimes, bareTimes, textTimes, widgetsTimes;
    std::vector<long> gameMemory, bareMemory, textMemory, widgetsMemory;
    // Alternate, so that a slow spell of the machine hits both alike.
    for (int i = 0; i < runs; ++i) {
        const Run game = runChild("game");
        const Run bare = runChild("bare");
        const Run text = runChild("bare-text");
        const Run widgets = runChild("bare-widgets");
        if (game.milliseconds < 0 || bare.milliseconds < 0 || text.milliseconds < 0
            || widgets.milliseconds < 0) {
            std::fprintf(stderr, "a child did not paint\n");
            return 1;
        }
        gameTimes.push_back(game.milliseconds);
        bareTimes.push_back(bare.milliseconds);
        gameMemory.push_back(game.kib);
        bareMemory.push_back(bare.kib);
        textTimes.push_back(text.milliseconds);
        textMemory.push_back(text.kib);
        widgetsTimes.push_back(widgets.milliseconds);
        widgetsMemory.push_back(widgets.kib);
    }
    const double gameTime = median(gameTimes), bareTime = median(bareTimes);
    const long gameKiB = median(gameMemory), bareKiB = median(bareMemory);
    std::printf("start to first paint, median of %d: game %.1f ms, bare Qt window %.1f ms, ratio %.2f\n",
        runs, gameTime, bareTime, gameTime / bareTime);
    std::printf("resident memory after start, median: game %ld KiB, bare Qt window %ld KiB, ratio %.2f\n",
        gameKiB, bareKiB, double(gameKiB) / double(bareKiB));
    std::printf(
        "against a bare window showing one Chinese label: %.1f ms (ratio %.2f), %ld KiB (ratio %.2f)\n",
        median(textTimes), gameTime / median(textTimes), median(textMemory),
        double(gameKiB) / double(median(textMemory)));
    std::printf(
        "against the same 21 controls as plain Qt widgets: %.1f ms (ratio %.3f), %ld KiB (ratio %.2f)\n",
        median(widgetsTimes), gameTime / median(widgetsTimes), median(widgetsMemory),
        double(gameKiB) / double(median(widgetsMemory)));
    std::fflush(stdout);
    if (cycles > 0) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(
            QCoreApplication::applicationFilePath(), { "--child", "cycles", QString::number(cycles) });
        child.waitForFinished(-1);
        std::printf("%s", child.readAllStandardOutput().constData());
    }
    return 0;
}
