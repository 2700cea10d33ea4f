#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <functional>
#include <map>

#include "gbkliteral.h"
#include "window/lifecycle.h"
#include "window/operations.h"
#include "window/registry.h"
#include "window/testing.h"
#include "window/windowdata.h"

namespace {

std::map<std::string, int> calls;
std::optional<std::int32_t> pressResult;
std::function<void()> onTick;

std::optional<std::int32_t> recordPress(const EventRecord &event)
{
    calls["press" + std::to_string(event.number)]++;
    return pressResult;
}

const NamedHandler handlers[] = {
    {"pickCard1", recordPress},
    {"countdownTick", [](const EventRecord &) -> std::optional<std::int32_t> {
         calls["tick"]++;
         if (onTick)
             onTick();
         return std::nullopt;
     }},
};

const WindowData &mainData()
{
    return windowTable().front();
}

QWidget *widget(ControlId control)
{
    return controlWidget(mainWindow, control);
}

// Counts the presses that reach a widget after the input hook.
class PressCounter : public QObject {
public:
    int presses = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress)
            ++presses;
        return false;
    }
};

QString focusedName()
{
    QWidget *focused = QApplication::focusWidget();
    return focused ? focused->objectName() : QString("<none>");
}

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { startRuntime(handlers); }
    void init()
    {
        calls.clear();
        pressResult.reset();
        onTick = nullptr;
        loadWindow(mainWindow);
        QWidget *frame = widget(control::mainWindowUnit);
        QApplication::setActiveWindow(frame);
        QVERIFY(QTest::qWaitForWindowActive(frame));
    }
    void cleanup() { unloadWindow(mainWindow); }

    void controlsStandWhereTheTableSays()
    {
        QWidget *client = clientAreaWidget(mainWindow);
        for (const ControlData &data : mainData().controls) {
            const QString name = QString::fromUtf8(data.name);
            QWidget *w = widget(data.id);
            QVERIFY2(w, qPrintable(name));
            QCOMPARE(w->parentWidget(), client);
            QCOMPARE(w->geometry(), QRect(data.left, data.top, data.width, data.height));
            const bool drawn = data.kind != ControlKind::timer && data.kind != ControlKind::scriptComponent;
            QCOMPARE(w->isVisible(), data.visible && drawn);
            QVERIFY(w->isEnabled());
            if (data.kind == ControlKind::button)
                QCOMPARE(static_cast<QPushButton *>(w)->text(), QString::fromUtf8(data.text));
            if (data.font.face) {
                QCOMPARE(w->font().family(), QString::fromUtf8(data.font.face));
                QCOMPARE(w->font().pixelSize(), data.font.height);
            }
            if (data.kind == ControlKind::transparentLabel) {
                Text text = valueText(readProperty(mainWindow, data.id, LabelProperty::text, -1));
                QCOMPARE(std::string(text), gbk(data.text));
                releaseMemory(text);
            }
        }
        // The first defined lies on top.
        const QObjectList stack = client->children();
        const auto &controls = mainData().controls;
        for (std::size_t i = 0; i + 1 < controls.size(); ++i)
            QVERIFY(stack.indexOf(widget(controls[i].id)) > stack.indexOf(widget(controls[i + 1].id)));
    }

    void windowIsCentredFixedAndOfItsOuterSize()
    {
        QWidget *frame = widget(control::mainWindowUnit);
        QCOMPARE(frame->windowTitle(), QString::fromUtf8("Kelmora小游戏"));
        QCOMPARE(frame->frameGeometry().size(), QSize(1011, 454));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        // Integer division drops the fraction toward zero, also below zero
        // (the offscreen screen is narrower than the window).
        const QPoint centred((screen.width() - 1011) / 2, (screen.height() - 454) / 2);
        QCOMPARE(QPoint(int(readProperty(mainWindow, control::mainWindowUnit, Property::left, -1)),
                        int(readProperty(mainWindow, control::mainWindowUnit, Property::top, -1))),
                 centred);
        // Some platforms keep a window that does not fit a little inside the screen.
        if (centred.x() >= 0 && centred.y() >= 0)
            QCOMPARE(frame->frameGeometry().topLeft(), centred);
        QCOMPARE(frame->minimumSize(), frame->maximumSize());
        QVERIFY(!(frame->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(frame->windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!frame->windowIcon().isNull());
        const QImage shot = clientAreaWidget(mainWindow)->grab().toImage();
        QCOMPARE(QColor(shot.pixel(5, 300)), QColor(128, 160, 128));
    }

    void theHistoryListLeavesTheViewAtTheNarrowWidth()
    {
        QWidget *client = clientAreaWidget(mainWindow);
        QWidget *list = widget(control::historyList);
        const QRect before = list->geometry();
        QVERIFY(client->rect().contains(list->geometry()));
        writeProperty(mainWindow, control::mainWindowUnit, Property::width, -1, 777);
        QCOMPARE(widget(control::mainWindowUnit)->frameGeometry().width(), 777);
        QVERIFY(!client->rect().intersects(list->geometry()));
        QCOMPARE(list->geometry(), before);
        writeProperty(mainWindow, control::mainWindowUnit, Property::width, -1, 1011);
        QVERIFY(client->rect().contains(list->geometry()));
        QCOMPARE(widget(control::mainWindowUnit)->frameGeometry().height(), 454);
    }

    void tabWalksTheFocusOrderAndWraps()
    {
        const QStringList order{"按钮1", "按钮2", "编辑框1", "列表框1", "按钮3", "符号加",
                                "符号减", "符号乘", "符号除", "符号左撇", "符号右撇", "按钮删除"};
        QCOMPARE(focusedName(), order.first());
        for (int i = 1; i <= order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(focusedName(), order[i % order.size()]);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(focusedName(), order.last());

        // Disabled and hidden controls are passed over.
        writeProperty(mainWindow, control::checkButton, Property::disabled, -1, 1);
        writeProperty(mainWindow, control::dealButton, Property::visible, -1, 0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(focusedName(), QString::fromUtf8("编辑框1"));
    }

    void controlsAreVisibleToAssistiveTechnology()
    {
        auto name = [](ControlId control) {
            return QAccessible::queryAccessibleInterface(widget(control))->text(QAccessible::Name);
        };
        QCOMPARE(name(control::dealButton), QString::fromUtf8("重新发牌"));
        QCOMPARE(name(control::cardBox1), QString::fromUtf8("图片框1"));
        QCOMPARE(name(control::timeLabel), QString::fromUtf8("还有100秒"));
        writeProperty(mainWindow, control::timeBar, ProgressProperty::position, -1, 42);
        QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(widget(control::timeBar));
        QVERIFY(bar->valueInterface());
        QCOMPARE(bar->valueInterface()->currentValue().toInt(), 42);
        addListItem(mainWindow, control::historyList, gbk("5 12 1 7 ").c_str());
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(widget(control::historyList));
        QVERIFY(list->childCount() >= 1);
    }

    void aPressHandlerGivingZeroSwallowsThePress_data()
    {
        QTest::addColumn<bool>("swallow");
        QTest::newRow("no result lets it through") << false;
        QTest::newRow("result 0 swallows it") << true;
    }
    void aPressHandlerGivingZeroSwallowsThePress()
    {
        QFETCH(bool, swallow);
        if (swallow)
            pressResult = 0;
        PressCounter counter;
        widget(control::cardBox1)->installEventFilter(&counter);
        QTest::mouseClick(widget(control::cardBox1), Qt::LeftButton);
        QCOMPARE(calls["press-1"], 1);
        QCOMPARE(counter.presses, swallow ? 0 : 1);
    }

    void inputOnADisabledOrHeldControlRaisesNothing()
    {
        writeProperty(mainWindow, control::cardBox1, Property::disabled, -1, 1);
        QTest::mouseClick(widget(control::cardBox1), Qt::LeftButton);
        writeProperty(mainWindow, control::cardBox1, Property::disabled, -1, 0);
        holdEvents();
        QTest::mouseClick(widget(control::cardBox1), Qt::LeftButton);
        releaseEvents();
        QCOMPARE(calls["press-1"], 0);
        QTest::mouseClick(widget(control::cardBox1), Qt::LeftButton);
        QCOMPARE(calls["press-1"], 1);
    }

    void aDoubleClickOnAPictureRaisesPressThenDoubleClick()
    {
        // A click, then the second click of a double click.
        QTest::mouseClick(widget(control::cardBox1), Qt::LeftButton);
        QTest::mouseDClick(widget(control::cardBox1), Qt::LeftButton);
        QCOMPARE(calls["press-1"], 1);
    }

    void missedTicksCollapseIntoOne()
    {
        int slow = 1;
        onTick = [&slow] {
            if (slow-- > 0)
                QTest::qSleep(300); // thirty periods fall due meanwhile
        };
        writeProperty(mainWindow, control::countdownTimer, TimerProperty::period, -1, 10);
        QTRY_VERIFY(calls["tick"] >= 1);
        const int afterSlow = calls["tick"];
        QTest::qWait(5);
        writeProperty(mainWindow, control::countdownTimer, TimerProperty::period, -1, 0);
        QVERIFY2(calls["tick"] - afterSlow <= 2, qPrintable(QString::number(calls["tick"])));
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
