// SPDX-License-Identifier: MIT
#include "lifecycle.h"

#include <QApplication>
#include <QFont>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "controls.h"
#include "display.h"
#include "eval/scriptcomponent.h"
#include "operations.h"
#include "picturebox.h"
#include "qttext.h"
#include "registry.h"
#include "runtime/fatal.h"
#include "runtime/files.h"
#include "testing.h"
#include "wttexts.h"

namespace {

struct RuntimeState {
    std::shared_ptr<const std::vector<ResolvedWindow>> data;
    std::vector<std::unique_ptr<LoadedWindow>> loaded;
    int holdCount = 0;
    void (*exitRoutine)() = nullptr;
    std::unique_ptr<QApplication> ownApplication;
    QThread *userInterfaceThread = nullptr;
    FatalReportBox reportBox;
    EventObserver eventObserver;
    ControlId failingControl = 0;
    MissingHandlers missingHandlers = MissingHandlers::refuse;
    std::optional<QRect> workArea;
    bool reportingFatalError = false;
};

RuntimeState &state()
{
    static RuntimeState instance;
    return instance;
}

void presentFatalError(std::int32_t code, Text message)
{
    RuntimeState &s = state();
    // A report raised while one is on screen ends the process at once.
    if (s.reportingFatalError)
        return;
    s.reportingFatalError = true;
    // Never lowered again: nothing of the game may run from here on.
    holdEvents();
    const std::string report = composeFatalReport(code, message);
    if (s.reportBox) {
        s.reportBox(report);
    } else if (qApp && QThread::currentThread() == s.userInterfaceThread) {
        QString text = fromGbk(report);
        text.replace("\r\n", "\n");
        // Owned by no window; the windows still repaint while it shows.
        QMessageBox box(QMessageBox::Critical, fromGbk(wt::fatalBoxTitle), text, QMessageBox::Ok);
        box.exec();
    } else {
        const std::string shown = fromGbk(report).toStdString();
        std::fputs(shown.c_str(), stderr);
    }
    s.exitRoutine = nullptr;
    shutDownRuntime();
}

// Fonts the window asks for by their Windows names; on other systems the
// nearest installed faces of the same style stand in at the same height.
void substituteFonts()
{
    QFont::insertSubstitutions(QString::fromUtf8("隶书"),
        { "AR PL UKai CN", "AR PL UKai TW", "AR PL KaitiM GB", "WenQuanYi Zen Hei" });
    QFont::insertSubstitutions(QString::fromUtf8("宋体"),
        { "AR PL UMing CN", "AR PL UMing TW", "Noto Serif CJK SC", "WenQuanYi Zen Hei" });
}

// The primary screen's area that windows may take, without task bars and
// docks; empty where there is no screen.
QRect primaryWorkArea()
{
    if (state().workArea)
        return *state().workArea;
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QWidget *buildWidget(LoadedWindow &window, ControlState &control, QWidget *parent)
{
    const ControlData &data = *control.definition->data;
    QWidget *widget = nullptr;
    switch (control.kind) {
    case ControlKind::button: {
        auto button = new CaptionButton(parent);
        button->setText(fromGbk(control.text));
        const WindowId id = window.id;
        const ControlId controlId = control.id;
        QObject::connect(button, &QPushButton::clicked, button, [id, controlId] {
            EventRecord event { id, controlId, std::int32_t(Event::clicked) };
            raiseEvent(event);
        });
        widget = button;
        break;
    }
    case ControlKind::pictureBox: {
        auto box = new PictureBox(parent);
        box->setFocusPolicy(Qt::NoFocus);
        widget = box;
        break;
    }
    case ControlKind::editBox: {
        auto edit = new EditBox(parent);
        edit->setText(fromGbk(control.text));
        edit->setCursorPosition(0);
        widget = edit;
        break;
    }
    case ControlKind::listBox:
        widget = new ListBox(parent);
        break;
    case ControlKind::progressBar: {
        auto bar = new BlockProgressBar(parent);
        bar->setFocusPolicy(Qt::NoFocus);
        bar->setRange(control.minimum, control.maximum);
        bar->setValue(control.minimum);
        widget = bar;
        break;
    }
    case ControlKind::timer: {
        auto timer = new TimerControl(parent);
        const WindowId id = window.id;
        const ControlId controlId = control.id;
        timer->onTick = [id, controlId] {
            EventRecord event { id, controlId, std::int32_t(Event::tick) };
            raiseEvent(event);
        };
        widget = timer;
        break;
    }
    case ControlKind::transparentLabel: {
        auto label = new TransparentLabel(parent);
        label->setFocusPolicy(Qt::NoFocus);
        label->setText(fromGbk(control.text));
        if (data.textColour)
            label->setTextColour(QColor(data.textColour->red, data.textColour->green, data.textColour->blue));
        widget = label;
        break;
    }
    case ControlKind::scriptComponent:
        widget = new ScriptHost(parent);
        break;
    case ControlKind::window:
        return nullptr;
    }
    if (data.font.face) {
        QFont font(QString::fromUtf8(data.font.face));
        font.setPixelSize(data.font.height);
        font.setWeight(QFont::Weight(data.font.weight));
        font.setStyleStrategy(QFont::PreferQuality);
        widget->setFont(font);
    }
    if (data.tabStop)
        widget->setFocusPolicy(Qt::StrongFocus);
    else if (control.kind != ControlKind::button)
        widget->setFocusPolicy(Qt::NoFocus);
    widget->setObjectName(QString::fromUtf8(data.name));
    if (control.kind == ControlKind::pictureBox)
        widget->setAccessibleName(QString::fromUtf8(data.name));
    widget->setGeometry(control.left, control.top, control.width, control.height);
    const bool neverShown
        = control.kind == ControlKind::timer || control.kind == ControlKind::scriptComponent;
    widget->setVisible(control.visible && !neverShown);
    return widget;
}

void destroyWindow(LoadedWindow &window)
{
    if (window.frame)
        delete window.frame.data(); // its destruction unregisters the window
}

void unregisterWindow(WindowId id)
{
    auto &loaded = state().loaded;
    for (auto it = loaded.begin(); it != loaded.end(); ++it) {
        if ((*it)->id == id) {
            loaded.erase(it);
            break;
        }
    }
    if (loaded.empty() && qApp)
        QCoreApplication::quit();
}

} // namespace

// Resources of a static library are not registered by themselves.
static void registerBuiltinPictures()
{
    Q_INIT_RESOURCE(builtin);
}

void holdEvents()
{
    ++state().holdCount;
}

void releaseEvents()
{
    --state().holdCount;
}

int eventHoldCount()
{
    return state().holdCount;
}

LoadedWindow *findLoadedWindow(WindowId window)
{
    for (auto &loaded : state().loaded)
        if (loaded->id == window)
            return loaded.get();
    return nullptr;
}

ControlState *findControl(LoadedWindow &window, ControlId control)
{
    if (control == window.unit.id)
        return &window.unit;
    for (ControlState &state : window.controls)
        if (state.id == control)
            return &state;
    return nullptr;
}

std::optional<ControlRef> controlOfWidget(const QObject *object)
{
    for (const QObject *o = object; o; o = o->parent()) {
        for (auto &loaded : state().loaded) {
            if (o == loaded->frame.data() || (loaded->frame && o == loaded->frame->clientArea()))
                return ControlRef { loaded.get(), &loaded->unit };
            for (ControlState &control : loaded->controls)
                if (control.widget && o == control.widget.data())
                    return ControlRef { loaded.get(), &control };
        }
    }
    return std::nullopt;
}

QWidget *clientWidget(const LoadedWindow &window, const ControlState &control)
{
    if (&control == &window.unit)
        return window.frame ? window.frame->clientArea() : nullptr;
    if (auto list = qobject_cast<QListWidget *>(control.widget.data()))
        return list->viewport();
    return control.widget;
}

void startRuntime(std::span<const NamedHandler> handlers)
{
    RuntimeState &s = state();
    if (!qApp) {
        ensureDisplayAvailable();
        static int argc = 1;
        static char name[] = "kelmora";
        static char *argv[] = { name, nullptr };
        s.ownApplication = std::make_unique<QApplication>(argc, argv);
    }
    registerBuiltinPictures();
    substituteFonts();
    initRunDirectory();
    s.userInterfaceThread = QThread::currentThread();
    setFatalErrorPresenter(presentFatalError);
    auto resolved = resolveWindowData(windowTable(), handlers, s.missingHandlers);
    if (!resolved)
        reportFatalError(0, wt::windowDataUnreadable);
    s.data = std::make_shared<const std::vector<ResolvedWindow>>(std::move(*resolved));
    installInputHook();
}

void registerExitRoutine(void (*routine)())
{
    state().exitRoutine = routine;
}

void loadWindow(WindowId id)
{
    RuntimeState &s = state();
    const ResolvedWindow *definition = nullptr;
    if (s.data)
        for (const ResolvedWindow &window : *s.data)
            if (window.data->id == id)
                definition = &window;
    if (!definition || findLoadedWindow(id))
        reportFatalError(0, wt::windowLoadFailed);

    holdEvents();
    auto window = std::make_unique<LoadedWindow>();
    LoadedWindow &w = *window;
    w.data = s.data;
    w.definition = definition;
    w.id = id;
    const WindowData &data = *definition->data;
    w.unit.id = data.unit;
    w.unit.kind = ControlKind::window;
    w.unit.width = data.width;
    w.unit.height = data.height;
    w.unit.text = definition->title;
    // Centred in the primary screen's work area, which need not start at the
    // desktop's origin; each division drops its fraction (toward zero).
    const QRect area = primaryWorkArea();
    w.unit.left = area.x() + (area.width() - data.width) / 2;
    w.unit.top = area.y() + (area.height() - data.height) / 2;

    for (const ResolvedControl &control : definition->controls) {
        ControlState &c = w.controls.emplace_back();
        c.definition = &control;
        c.id = control.data->id;
        c.kind = control.data->kind;
        c.left = control.data->left;
        c.top = control.data->top;
        c.width = control.data->width;
        c.height = control.data->height;
        c.visible = control.data->visible;
        c.text = control.text;
        c.minimum = control.data->minimum;
        c.maximum = control.data->maximum;
    }
    s.loaded.push_back(std::move(window));

    auto frame = new MainFrame(QColor(data.background.red, data.background.green, data.background.blue),
        QSize(data.width, data.height));
    w.frame = frame;
    w.unit.widget = frame;
    frame->setWindowTitle(fromGbk(definition->title));
    QIcon icon;
    for (const auto &bytes : definition->icons) {
        QPixmap pixmap;
        if (pixmap.loadFromData(bytes.data(), uint(bytes.size())))
            icon.addPixmap(pixmap);
    }
    frame->setWindowIcon(icon);
    frame->move(w.unit.left, w.unit.top);
    frame->onCloseRequest = [id] {
        LoadedWindow *loaded = findLoadedWindow(id);
        if (!loaded)
            return true;
        EventRecord event { id, loaded->unit.id, std::int32_t(Event::closeRequested) };
        return !(raiseEvent(event) && event.hasResult && event.result == 0);
    };
    frame->onDestroy = [id] {
        if (LoadedWindow *loaded = findLoadedWindow(id)) {
            EventRecord event { id, loaded->unit.id, std::int32_t(Event::windowDestroyed) };
            raiseEvent(event);
        }
        unregisterWindow(id);
    };
    frame->onFocusWanted = [id] {
        if (LoadedWindow *loaded = findLoadedWindow(id))
            focusFirstControl(*loaded);
    };
    frame->clientArea()->onFocusIn = frame->onFocusWanted;

    for (ControlState &control : w.controls) {
        QWidget *widget
            = control.id == s.failingControl ? nullptr : buildWidget(w, control, frame->clientArea());
        if (!widget) {
            // Nothing of a half-built window stays on screen.
            delete frame;
            reportFatalError(0, wt::windowLoadFailed);
        }
        control.widget = widget;
        if (control.kind == ControlKind::pictureBox && !control.definition->picture.empty()) {
            const auto &picture = control.definition->picture;
            Bytes block = newBytes(picture.data(), picture.size());
            static_cast<PictureBox *>(widget)->setPicture(block);
            releaseMemory(block);
        }
    }
    // The first defined lies on top: raise from the last to the first.
    std::for_each(
        w.controls.rbegin(), w.controls.rend(), [](ControlState &control) { control.widget->raise(); });
    releaseEvents();

    EventRecord created { id, w.unit.id, std::int32_t(Event::windowCreated) };
    raiseEvent(created);
    if (w.unit.visible) {
        frame->show();
        frame->activateWindow();
        focusFirstControl(w);
    }
}

void runMessageLoop()
{
    if (state().loaded.empty())
        return;
    QApplication::exec();
}

void shutDownRuntime()
{
    RuntimeState &s = state();
    holdEvents();
    while (!s.loaded.empty())
        destroyWindow(*s.loaded.back());
    if (auto routine = std::exchange(s.exitRoutine, nullptr))
        routine();
    s.data.reset();
    setFatalErrorPresenter(nullptr);
    // After a fatal error the application may be in the middle of delivering
    // an event, a handler's caller; the process ends right after instead.
    if (s.reportingFatalError)
        (void)s.ownApplication.release();
    else
        s.ownApplication.reset();
}

QWidget *controlWidget(WindowId window, ControlId control)
{
    LoadedWindow *loaded = findLoadedWindow(window);
    ControlState *state = loaded ? findControl(*loaded, control) : nullptr;
    return state ? state->widget.data() : nullptr;
}

QWidget *clientAreaWidget(WindowId window)
{
    LoadedWindow *loaded = findLoadedWindow(window);
    return loaded && loaded->frame ? loaded->frame->clientArea() : nullptr;
}

void unloadWindow(WindowId window)
{
    if (LoadedWindow *loaded = findLoadedWindow(window))
        destroyWindow(*loaded);
}

void setFatalReportBox(FatalReportBox box)
{
    state().reportBox = std::move(box);
}

void setEventObserver(EventObserver observer)
{
    state().eventObserver = std::move(observer);
}

void observeEvent(const EventRecord &event)
{
    if (state().eventObserver)
        state().eventObserver(event);
}

void failControlBuild(ControlId control)
{
    state().failingControl = control;
}

void allowMissingHandlers(bool allowed)
{
    state().missingHandlers = allowed ? MissingHandlers::leaveUnbound : MissingHandlers::refuse;
}

void setPrimaryWorkArea(std::optional<QRect> area)
{
    state().workArea = area;
}

bool fireTimerTick(WindowId window, ControlId control)
{
    auto timer = qobject_cast<TimerControl *>(controlWidget(window, control));
    if (!timer || !timer->isRunning() || !timer->onTick)
        return false;
    timer->onTick();
    return true;
}

int timerStarts(WindowId window, ControlId control)
{
    auto timer = qobject_cast<TimerControl *>(controlWidget(window, control));
    return timer ? timer->starts() : 0;
}
