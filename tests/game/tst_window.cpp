// SPDX-License-Identifier: MIT
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWindow>

#include <functional>
#include <map>

#include "game/form.h"
#include "gbkliteral.h"
#include "window/lifecycle.h"
#include "window/operations.h"
#include "window/platform.h"
#include "window/qt/keycodes.h"
#include "window/qt/qtplatform.h"
#include "window/qt/qttesting.h"
#include "window/registry_p.h"
#include "window/testing.h"

namespace {

std::map<std::string, int> calls;
std::vector<EventRecord> events;
std::optional<std::int32_t> pressResult;
std::function<void()> onTick;

std::optional<std::int32_t> recordPress(const EventRecord &event)
{
    calls["press" + std::to_string(event.number)]++;
    return pressResult;
}

const NamedHandler handlers[] = {
    { "pickCard1", recordPress },
    { "countdownTick",
        [](const EventRecord &) -> std::optional<std::int32_t> {
            calls["tick"]++;
            if (onTick)
                onTick();
            return std::nullopt;
        } },
};

const WindowData &mainData()
{
    return gameForm().windows.front();
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

// The mouse, key and button events a control raised, without moves and focus
// changes: each as its number followed by its arguments.
QList<QList<int>> eventsOf(ControlId control)
{
    QList<QList<int>> seen;
    for (const EventRecord &event : events) {
        if (event.control != control || event.number == int(Event::mouseMoved)
            || event.number == int(Event::gotFocus) || event.number == int(Event::lostFocus))
            continue;
        QList<int> entry { event.number };
        for (int i = 0; i < event.argumentCount; ++i)
            entry.append(event.arguments[i]);
        seen.append(entry);
    }
    return seen;
}

QString focusedName()
{
    QWidget *focused = QApplication::focusWidget();
    return focused ? focused->objectName() : QString("<none>");
}

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // These tests bind only the handlers they look at.
        allowMissingHandlers(true);
        startRuntime(qtPlatform(), gameForm(), handlers);
    }
    void init()
    {
        calls.clear();
        events.clear();
        pressResult.reset();
        onTick = nullptr;
        setEventObserver([](const EventRecord &event) { events.push_back(event); });
        loadWindow(mainWindow);
        QWidget *frame = widget(control::mainWindowUnit);
        QApplication::setActiveWindow(frame);
        QVERIFY(QTest::qWaitForWindowActive(frame));
    }
    void cleanup()
    {
        setEventObserver({});
        unloadWindow(mainWindow);
    }

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

    void windowIsFixedAndOfItsOuterSize()
    {
        QWidget *frame = widget(control::mainWindowUnit);
        QCOMPARE(frame->windowTitle(), QString::fromUtf8("Kelmora小游戏"));
        QCOMPARE(frame->frameGeometry().size(), QSize(1011, 454));
        QCOMPARE(frame->minimumSize(), frame->maximumSize());
        QVERIFY(!(frame->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(frame->windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!frame->windowIcon().isNull());
        const QImage shot = clientAreaWidget(mainWindow)->grab().toImage();
        QCOMPARE(QColor(shot.pixel(5, 300)), QColor(128, 160, 128));
    }

    void windowOpensCentredInThePrimaryWorkArea_data()
    {
        QTest::addColumn<QRect>("workArea");
        QTest::addColumn<QPoint>("place");
        QTest::newRow("primary screen right of another, under a panel")
            << QRect(1280, 24, 1920, 1056) << QPoint(1280 + 454, 24 + 301);
        QTest::newRow("odd room drops the half pixel") << QRect(0, 0, 1366, 767) << QPoint(177, 156);
        // -211 / 2 is -105 (toward zero), not -106.
        QTest::newRow("narrower than the window") << QRect(0, 0, 800, 600) << QPoint(-105, 73);
    }
    void windowOpensCentredInThePrimaryWorkArea()
    {
        QFETCH(QRect, workArea);
        QFETCH(QPoint, place);
        unloadWindow(mainWindow);
        setPrimaryWorkArea(Area { workArea.x(), workArea.y(), workArea.width(), workArea.height() });
        loadWindow(mainWindow);
        setPrimaryWorkArea(std::nullopt);
        const auto stored = [](Property property) {
            return int(readProperty(mainWindow, control::mainWindowUnit, property, -1));
        };
        QCOMPARE(QPoint(stored(Property::left), stored(Property::top)), place);
        QCOMPARE(widget(control::mainWindowUnit)->frameGeometry().topLeft(), place);
    }

    void placeAndSizeReadBackFromTheWindowAsItIsNow()
    {
        const auto read = [](ControlId control) {
            return QRect(int(readProperty(mainWindow, control, Property::left, -1)),
                int(readProperty(mainWindow, control, Property::top, -1)),
                int(readProperty(mainWindow, control, Property::width, -1)),
                int(readProperty(mainWindow, control, Property::height, -1)));
        };
        // Moved as the player drags it by its caption bar, outside the game's
        // writes: the outer rectangle, frame included.
        QWidget *frame = widget(control::mainWindowUnit);
        const QPoint dragged = frame->frameGeometry().topLeft() + QPoint(37, 21);
        frame->move(dragged);
        QCOMPARE(read(control::mainWindowUnit), QRect(dragged, QSize(1011, 454)));
        // Moving it by one edge keeps the other where the player left it.
        writeProperty(mainWindow, control::mainWindowUnit, Property::left, -1, 10);
        QCOMPARE(frame->frameGeometry().topLeft(), QPoint(10, dragged.y()));
        // A control: its rectangle in the client area.
        widget(control::dealButton)->setGeometry(40, 50, 60, 70);
        QCOMPARE(read(control::dealButton), QRect(40, 50, 60, 70));
        writeProperty(mainWindow, control::dealButton, Property::height, -1, 30);
        QCOMPARE(widget(control::dealButton)->geometry(), QRect(40, 50, 60, 30));
        QCOMPARE(read(control::historyList), QRect(776, 17, 216, 392));
    }

    void theHistoryListLeavesTheViewAtTheNarrowWidth()
    {
        QWidget *client = clientAreaWidget(mainWindow);
        QWidget *list = widget(control::historyList);
        QWidget *frame = widget(control::mainWindowUnit);
        const QRect before = list->geometry();
        const QPoint place = frame->frameGeometry().topLeft();
        QVERIFY(client->rect().contains(list->geometry()));
        writeProperty(mainWindow, control::mainWindowUnit, Property::width, -1, 777);
        QCOMPARE(widget(control::mainWindowUnit)->frameGeometry().width(), 777);
        QVERIFY(!client->rect().intersects(list->geometry()));
        QCOMPARE(list->geometry(), before);
        QCOMPARE(frame->frameGeometry().topLeft(), place);
        QCOMPARE(frame->frameGeometry().height(), 454);
        writeProperty(mainWindow, control::mainWindowUnit, Property::width, -1, 1011);
        QVERIFY(client->rect().contains(list->geometry()));
        QCOMPARE(frame->frameGeometry(), QRect(place, QSize(1011, 454)));
        // The size-changed event came with each write.
        QCOMPARE(eventsOf(control::mainWindowUnit).count(QList<int> { int(Event::sizeChanged) }), 2);
    }

    void tabWalksTheFocusOrderAndWraps()
    {
        const QStringList order { "按钮1", "按钮2", "编辑框1", "列表框1", "按钮3", "符号加", "符号减",
            "符号乘", "符号除", "符号左撇", "符号右撇", "按钮删除" };
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

    void labelsDrawOnlyTheirTextOverTheWindow()
    {
        writeProperty(
            mainWindow, control::verdictLabel, LabelProperty::text, -1, textValue(gbk("正确！").c_str()));
        writeProperty(mainWindow, control::verdictLabel, Property::visible, -1, 1);
        const QImage shot = clientAreaWidget(mainWindow)->grab().toImage();
        auto count = [&shot](QRect area, auto test) {
            int n = 0;
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    n += test(QColor(shot.pixel(x, y)));
            return n;
        };
        const QColor background(128, 160, 128);
        using Ink = bool (*)(QColor);
        const Ink black = [](QColor c) { return c.red() < 60 && c.green() < 60 && c.blue() < 60; };
        const Ink red = [](QColor c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; };
        for (const auto &[label, ink] :
            { std::pair { control::timeLabel, black }, std::pair { control::verdictLabel, red } }) {
            const QRect area = widget(label)->geometry();
            const int total = area.width() * area.height();
            const int shows = count(area, [&](QColor c) { return c == background; });
            const int inked = count(area, ink);
            // Around and behind the letters the window shows; the rest is ink
            // and its smoothed edges, nothing of a fill of its own.
            QVERIFY2(shows > total / 2 && inked > 20,
                qPrintable(QString("%1 %2 %3").arg(shows).arg(inked).arg(total)));
        }
    }

    void listRowsAreOnePixelTallerThanTheFont()
    {
        auto list = static_cast<QListWidget *>(widget(control::historyList));
        for (int i = 0; i < 40; ++i)
            addListItem(mainWindow, control::historyList, "1 2 3 4 1+2 \xb4\xed\xce\xf3\xa3\xa1 ");
        const int row = list->visualItemRect(list->item(0)).height();
        QCOMPARE(row, list->fontMetrics().height() + 1);
        // The list keeps its height; the last row that shows is cut off.
        QCOMPARE(list->height(), 392);
        QVERIFY(list->verticalScrollBar()->isVisible());
    }

    void controlsAreVisibleToAssistiveTechnology()
    {
        auto name = [](ControlId control) {
            return QAccessible::queryAccessibleInterface(widget(control))->text(QAccessible::Name);
        };
        QCOMPARE(name(control::dealButton), QString::fromUtf8("重新发牌"));
        QCOMPARE(name(control::cardBox1), QString::fromUtf8("图片框1"));
        QCOMPARE(name(control::timeLabel), QString::fromUtf8("还有100秒"));
        // The built-in cards say which they are.
        const std::pair<ControlId, const char *> builtins[]
            = { { control::cardBox1, "黑桃 A" }, { control::cardBox2, "黑桃 2" },
                  { control::cardBox3, "黑桃 10" }, { control::cardBox4, "黑桃 4" } };
        for (const auto &[box, card] : builtins) {
            QAccessibleInterface *picture = QAccessible::queryAccessibleInterface(widget(box));
            QCOMPARE(picture->role(), QAccessible::Graphic);
            QCOMPARE(picture->text(QAccessible::Description), QString::fromUtf8(card));
        }
        writeProperty(mainWindow, control::timeBar, ProgressProperty::position, -1, 42);
        QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(widget(control::timeBar));
        QVERIFY(bar->valueInterface());
        QCOMPARE(bar->valueInterface()->currentValue().toInt(), 42);
        addListItem(mainWindow, control::historyList, gbk("5 12 1 7 ").c_str());
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(widget(control::historyList));
        QVERIFY(list->childCount() >= 1);
    }

    // Screen readers skip fillers: the labels must be static text, named by
    // what they show at every moment.
    void labelsAreStaticTextNamedByTheirText()
    {
        for (const ControlId label : { control::timeLabel, control::verdictLabel }) {
            QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget(label));
            QCOMPARE(accessible->role(), QAccessible::StaticText);
            for (const char *text : { "您还有99秒", "正确！", "" }) {
                writeProperty(mainWindow, label, LabelProperty::text, -1, textValue(gbk(text).c_str()));
                QCOMPARE(accessible->text(QAccessible::Name), QString::fromUtf8(text));
            }
        }
    }

    // A screen reader walking the window meets what a sighted player sees:
    // not the verdict while it is hidden, nor the never-drawn controls.
    void hiddenControlsAreOutOfTheAccessibleTree()
    {
        QAccessibleInterface *client = QAccessible::queryAccessibleInterface(clientAreaWidget(mainWindow));
        auto children = [client] {
            QList<QObject *> objects;
            for (int i = 0; i < client->childCount(); ++i) {
                QAccessibleInterface *child = client->child(i);
                objects.append(child->object());
                // Both ways agree, so a reader can find its place.
                if (client->indexOfChild(child) != i || child->parent()->object() != client->object())
                    return QList<QObject *> {};
            }
            return objects;
        };
        for (const ControlId hidden :
            { control::verdictLabel, control::countdownTimer, control::scriptComponent })
            QVERIFY(!children().contains(widget(hidden)));
        QVERIFY(children().contains(widget(control::timeLabel)));
        QVERIFY(children().contains(widget(control::cardBox1)));
        QAccessibleInterface *verdict = QAccessible::queryAccessibleInterface(widget(control::verdictLabel));
        QCOMPARE(client->indexOfChild(verdict), -1);

        writeProperty(mainWindow, control::verdictLabel, Property::visible, -1, 1);
        QVERIFY(children().contains(widget(control::verdictLabel)));
        QVERIFY(client->indexOfChild(verdict) >= 0);
        writeProperty(mainWindow, control::verdictLabel, Property::visible, -1, 0);
        QVERIFY(!children().contains(widget(control::verdictLabel)));
    }

    // The press action is a left click on the box, through the same hook as
    // the mouse: the same events, and the same rules for a disabled box and
    // a swallowed press.
    void aPictureBoxPressActionClicksLikeTheMouse_data()
    {
        QTest::addColumn<bool>("disabled");
        QTest::addColumn<bool>("swallow");
        QTest::newRow("enabled") << false << false;
        QTest::newRow("press swallowed") << false << true;
        QTest::newRow("disabled: a click on the window") << true << false;
    }
    void aPictureBoxPressActionClicksLikeTheMouse()
    {
        QFETCH(bool, disabled);
        QFETCH(bool, swallow);
        if (swallow)
            pressResult = 0;
        writeProperty(mainWindow, control::cardBox1, Property::disabled, -1, disabled ? 1 : 0);
        QWidget *box = widget(control::cardBox1);
        PressCounter counter;
        box->installEventFilter(&counter);
        events.clear();

        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(box);
        accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());

        const QPoint middle = box->rect().center();
        const QPoint inClient = box->pos() + middle;
        const QList<QList<int>> click { { -1, middle.x(), middle.y(), 0 },
            { -2, middle.x(), middle.y(), 0 } };
        const QList<QList<int>> onWindow { { -1, inClient.x(), inClient.y(), 0 },
            { -2, inClient.x(), inClient.y(), 0 } };
        QCOMPARE(eventsOf(control::cardBox1), disabled ? QList<QList<int>> {} : click);
        QCOMPARE(eventsOf(control::mainWindowUnit), disabled ? onWindow : QList<QList<int>> {});
        QCOMPARE(calls["press-1"], disabled ? 0 : 1);
        QCOMPARE(counter.presses, disabled || swallow ? 0 : 1);
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

    void chineseFacesFallBackToInstalledOnesAtTheirHeight_data()
    {
        QTest::addColumn<ControlId>("label");
        QTest::addColumn<QStringList>("faces");
        QTest::addColumn<int>("height");
        QTest::newRow("隶书 by a kai face")
            << control::verdictLabel
            << QStringList { "LiSu", "AR PL UKai CN", "AR PL UKai TW", "WenQuanYi Zen Hei" } << 48;
        QTest::newRow("宋体 by a song face")
            << control::timeLabel
            << QStringList { "SimSun", "AR PL UMing CN", "AR PL UMing TW", "WenQuanYi Zen Hei" } << 20;
    }
    void chineseFacesFallBackToInstalledOnesAtTheirHeight()
    {
        QFETCH(ControlId, label);
        QFETCH(QStringList, faces);
        QFETCH(int, height);
        const QFontInfo used(widget(label)->font());
        QVERIFY2(faces.contains(used.family()), qPrintable(used.family()));
        QCOMPARE(used.pixelSize(), height);
    }

    void theExpressionBoxShowsItsSelectionOnlyWithTheFocus()
    {
        auto edit = static_cast<QLineEdit *>(widget(control::expressionBox));
        writeProperty(mainWindow, control::expressionBox, EditProperty::content, -1, textValue("88888888"));
        QCOMPARE(edit->cursorPosition(), 0);
        edit->setSelection(0, 4);
        const QColor highlight = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
        auto highlighted = [&] {
            const QImage shot = edit->grab().toImage();
            int count = 0;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    count += QColor(shot.pixel(x, y)) == highlight;
            return count;
        };
        QCOMPARE(highlighted(), 0);
        edit->setFocus(Qt::OtherFocusReason);
        edit->setSelection(0, 4);
        QVERIFY(highlighted() > 20);
        QTest::keyClick(edit, Qt::Key_5);
        QCOMPARE(edit->text(), QString("88888888")); // typing changes nothing
    }

    void keyCodesAreVirtualKeyCodes_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("code");
        QTest::newRow("letter") << int(Qt::Key_Q) << 0 << 0x51;
        QTest::newRow("digit") << int(Qt::Key_7) << 0 << 0x37;
        QTest::newRow("keypad digit as the digit") << int(Qt::Key_7) << int(Qt::KeypadModifier) << 0x37;
        QTest::newRow("keypad minus as minus") << int(Qt::Key_Minus) << int(Qt::KeypadModifier) << 0xbd;
        QTest::newRow("keypad point as point") << int(Qt::Key_Period) << int(Qt::KeypadModifier) << 0xbe;
        QTest::newRow("keypad slash as slash") << int(Qt::Key_Slash) << int(Qt::KeypadModifier) << 0xbf;
        QTest::newRow("keypad star keeps its own")
            << int(Qt::Key_Asterisk) << int(Qt::KeypadModifier) << 0x6a;
        QTest::newRow("shifted symbol by its key")
            << int(Qt::Key_ParenLeft) << int(Qt::ShiftModifier) << 0x39;
        QTest::newRow("function key") << int(Qt::Key_F12) << 0 << 0x7b;
        QTest::newRow("arrow") << int(Qt::Key_Down) << 0 << 0x28;
        QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << 0x0d;
        QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << 0x09;
    }
    void keyCodesAreVirtualKeyCodes()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, code);
        QCOMPARE(virtualKeyCode(key, Qt::KeyboardModifiers(modifiers)), code);
    }

    void keysRaiseKeyAndCharacterEventsOfTheFocusedControl()
    {
        QWidget *deal = widget(control::dealButton);
        deal->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(deal, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(deal, Qt::Key_7, Qt::KeypadModifier);
        QTest::keyClick(deal, Qt::Key_Return); // presses no button
        // The modifier keys come first and go last; Ctrl with a letter types
        // its control character, Enter a carriage return.
        const QList<QList<int>> expected { { -9, 0x10, 2 }, { -9, 0x11, 3 }, { -9, 0x41, 3 }, { -11, 1 },
            { -10, 0x41, 3 }, { -10, 0x11, 2 }, { -10, 0x10, 0 }, { -9, 0x37, 0 }, { -11, '7' },
            { -10, 0x37, 0 }, { -9, 0x0d, 0 }, { -11, 0x0d }, { -10, 0x0d, 0 } };
        QCOMPARE(eventsOf(control::dealButton), expected);
        QCOMPARE(QApplication::focusWidget(), deal);

        // Nothing at all for a disabled control, not even for the window.
        events.clear();
        writeProperty(mainWindow, control::cardBox1, Property::disabled, -1, 1);
        QTest::keyClick(widget(control::cardBox1), Qt::Key_A);
        QVERIFY(events.empty());
    }

    void everyTypedCharacterIsRaisedAsItsCode_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text"); // what the platform attaches
        QTest::addColumn<QList<int>>("characters");
        QTest::newRow("letter") << int(Qt::Key_A) << 0 << QString("a") << QList<int> { 'a' };
        QTest::newRow("shifted letter")
            << int(Qt::Key_A) << int(Qt::ShiftModifier) << QString("A") << QList<int> { 'A' };
        QTest::newRow("Chinese character in GBK")
            << int(Qt::Key_unknown) << 0 << QString::fromUtf8("中") << QList<int> { 0xd6d0 };
        QTest::newRow("two characters from one key")
            << int(Qt::Key_unknown) << 0 << QString("ab") << QList<int> { 'a', 'b' };
        QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << QString("\r") << QList<int> { 13 };
        QTest::newRow("keypad Enter without text")
            << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << QString("") << QList<int> { 13 };
        QTest::newRow("Backspace without text")
            << int(Qt::Key_Backspace) << 0 << QString("") << QList<int> { 8 };
        QTest::newRow("Shift+Escape, which the window leaves alone")
            << int(Qt::Key_Escape) << int(Qt::ShiftModifier) << QString("\x1b") << QList<int> { 27 };
        QTest::newRow("Ctrl+C") << int(Qt::Key_C) << int(Qt::ControlModifier) << QString("c")
                                << QList<int> { 3 };
        QTest::newRow("Ctrl+Shift+Z") << int(Qt::Key_Z) << int(Qt::ControlModifier | Qt::ShiftModifier)
                                      << QString("\x1a") << QList<int> { 26 };
        QTest::newRow("Ctrl+digit types nothing")
            << int(Qt::Key_5) << int(Qt::ControlModifier) << QString("5") << QList<int> {};
        QTest::newRow("Alt chord types nothing")
            << int(Qt::Key_A) << int(Qt::AltModifier) << QString("a") << QList<int> {};
        QTest::newRow("Delete types nothing") << int(Qt::Key_Delete) << 0 << QString("\x7f") << QList<int> {};
        QTest::newRow("arrow types nothing") << int(Qt::Key_Left) << 0 << QString("") << QList<int> {};
        QTest::newRow("Tab is the window's own") << int(Qt::Key_Tab) << 0 << QString("\t") << QList<int> {};
    }
    void everyTypedCharacterIsRaisedAsItsCode()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(QList<int>, characters);
        QWidget *deal = widget(control::dealButton);
        deal->setFocus(Qt::OtherFocusReason);
        events.clear();
        QTest::sendKeyEvent(QTest::Press, deal, Qt::Key(key), text, Qt::KeyboardModifiers(modifiers));
        QTest::sendKeyEvent(QTest::Release, deal, Qt::Key(key), text, Qt::KeyboardModifiers(modifiers));
        QList<int> typed;
        for (const EventRecord &event : events)
            if (event.number == int(Event::characterTyped)) {
                QCOMPARE(event.control, control::dealButton);
                QCOMPARE(event.argumentCount, 1);
                typed.append(event.arguments[0]);
            }
        QCOMPARE(typed, characters);
        // Where Tab does reach a control, it types 9.
        QCOMPARE(typedCharacters(Qt::Key_Tab, {}, "\t"), std::vector<std::int32_t> { 9 });
    }

    void aDoubleClickOnAPictureRaisesPressThenDoubleClick()
    {
        // As the windowing system delivers one: press, release, press, double click, release.
        QWidget *box = widget(control::cardBox1);
        QWindow *window = widget(control::mainWindowUnit)->windowHandle();
        QTest::mouseDClick(window, Qt::LeftButton, Qt::NoModifier, box->mapTo(box->window(), QPoint(10, 20)));
        const QList<QList<int>> expected { { -1, 10, 20, 0 }, { -2, 10, 20, 0 }, { -3, 10, 20, 0 },
            { -2, 10, 20, 0 } };
        QCOMPARE(eventsOf(control::cardBox1), expected);
        QCOMPARE(calls["press-1"], 1);

        // A button counts the second press as a press.
        events.clear();
        QWidget *plus = widget(control::plusButton);
        QTest::mouseDClick(window, Qt::LeftButton, Qt::NoModifier, plus->mapTo(plus->window(), QPoint(5, 6)));
        const QList<QList<int>> twoClicks { { -1, 5, 6, 0 }, { -2, 5, 6, 0 }, { 0 }, { -1, 5, 6, 0 },
            { -2, 5, 6, 0 }, { 0 } };
        QCOMPARE(eventsOf(control::plusButton), twoClicks);

        // A double click on its own, as a test tool may send it, is the second press.
        events.clear();
        QTest::mouseDClick(box, Qt::LeftButton, Qt::ShiftModifier, QPoint(1, 2));
        QCOMPARE(eventsOf(control::cardBox1), (QList<QList<int>> { { -3, 1, 2, 2 } }));
    }
    void aPressOnADisabledPictureIsAPressOnTheWindow()
    {
        writeProperty(mainWindow, control::cardBox2, Property::disabled, -1, 1);
        QWidget *box = widget(control::cardBox2);
        events.clear();
        QTest::mousePress(box, Qt::LeftButton, Qt::AltModifier, QPoint(3, 4));
        QVERIFY(eventsOf(control::cardBox2).isEmpty());
        const QPoint inClient = box->pos() + QPoint(3, 4);
        QCOMPARE(
            eventsOf(control::mainWindowUnit), (QList<QList<int>> { { -1, inClient.x(), inClient.y(), 4 } }));
        QTest::mouseRelease(box, Qt::LeftButton, Qt::AltModifier, QPoint(3, 4));
    }

    void theBindingsAreExactlyTheGamesTable()
    {
        std::vector<std::string> names { "dealHand", "pickCard1", "pickCard2", "pickCard3", "pickCard4",
            "appendPlus", "appendMinus", "appendMultiply", "appendDivide", "appendOpenParen",
            "appendCloseParen", "clearExpression", "checkAnswer", "toggleHistory", "countdownTick" };
        std::vector<NamedHandler> all;
        std::string called;
        all.reserve(names.size());
        for (const std::string &name : names)
            all.push_back({ name, [&called, name](const EventRecord &) -> std::optional<std::int32_t> {
                               called = name;
                               return std::nullopt;
                           } });
        const auto resolved = resolveForm(gameForm(), all);
        QVERIFY(resolved);
        std::map<std::pair<std::string, int>, std::string> bound;
        QVERIFY(resolved->front().handlers.empty());
        for (const ResolvedControl &control : resolved->front().controls) {
            for (const auto &[number, handler] : control.handlers) {
                handler(EventRecord {});
                bound[{ control.data->name, number }] = called;
            }
        }
        const std::map<std::pair<std::string, int>, std::string> expected { { { "按钮2", 0 }, "dealHand" },
            { { "图片框1", -1 }, "pickCard1" }, { { "图片框2", -1 }, "pickCard2" },
            { { "图片框3", -1 }, "pickCard3" }, { { "图片框4", -1 }, "pickCard4" },
            { { "符号加", 0 }, "appendPlus" }, { { "符号减", 0 }, "appendMinus" },
            { { "符号乘", 0 }, "appendMultiply" }, { { "符号除", 0 }, "appendDivide" },
            { { "符号左撇", 0 }, "appendOpenParen" }, { { "符号右撇", 0 }, "appendCloseParen" },
            { { "按钮删除", 0 }, "clearExpression" }, { { "按钮1", 0 }, "checkAnswer" },
            { { "按钮3", 0 }, "toggleHistory" }, { { "时钟1", 0 }, "countdownTick" } };
        QVERIFY(bound == expected);
        // A name that is not given makes the data unreadable, unless the
        // caller asks for such events to stay unbound.
        all.pop_back();
        QVERIFY(!resolveForm(gameForm(), all));
        QVERIFY(!resolveForm(gameForm(), {}));
        const auto none = resolveForm(gameForm(), {}, MissingHandlers::leaveUnbound);
        QVERIFY(none);
        for (const ResolvedControl &control : none->front().controls)
            QVERIFY(control.handlers.empty());
    }

    void windowDataThatCannotBeResolvedIsRefused_data()
    {
        QTest::addColumn<int>("fault");
        QTest::newRow("picture missing from the form") << 0;
        QTest::newRow("identifier used twice") << 1;
        QTest::newRow("text with no GBK form") << 2;
        QTest::newRow("event the kind does not have") << 3;
        QTest::newRow("size below zero") << 4;
        QTest::newRow("handler the program does not supply") << 5;
    }
    void windowDataThatCannotBeResolvedIsRefused()
    {
        QFETCH(int, fault);
        static constexpr BindingData tick[] = { { 0, "countdownTick" } };
        static constexpr BindingData clicked[] = { { 0, "dealHand" } };
        static constexpr BindingData unknownTick[] = { { 0, "countdownTock" } };
        ControlData controls[] = {
            { .kind = ControlKind::pictureBox,
                .name = "图片框1",
                .id = 1,
                .left = 0,
                .top = 0,
                .width = 10,
                .height = 10,
                .picture = "ace.jpg" },
            { .kind = ControlKind::timer,
                .name = "时钟1",
                .id = 2,
                .left = 0,
                .top = 0,
                .width = 10,
                .height = 10,
                .bindings = tick },
        };
        const WindowData good { .name = "窗口",
            .id = 9,
            .unit = 100,
            .title = "t",
            .width = 10,
            .height = 10,
            .background = {},
            .icons = {},
            .escapeCloses = true,
            .bindings = {},
            .controls = controls };
        const Form form { std::span(&good, 1), gameForm().pictures };
        QVERIFY(resolveForm(form, handlers));
        switch (fault) {
        case 0:
            controls[0].picture = "joker.jpg";
            break;
        case 1:
            controls[1].id = 1;
            break;
        case 2:
            controls[1].name = "时钟\xf0\x9f\x98\x80";
            break;
        case 3:
            controls[0].bindings = clicked;
            break;
        case 4:
            controls[1].width = -1;
            break;
        case 5:
            controls[1].bindings = unknownTick;
            break;
        }
        QVERIFY(!resolveForm(form, handlers));
    }

    void missedTicksCollapseIntoOne()
    {
        int slow = 1;
        int afterSlow = -1;
        QElapsedTimer sinceSlow;
        onTick = [&] {
            if (slow-- > 0) {
                QTest::qSleep(300); // thirty periods fall due meanwhile
                afterSlow = calls["tick"];
                sinceSlow.start();
            }
        };
        writeProperty(mainWindow, control::countdownTimer, TimerProperty::period, -1, 10);
        QTRY_VERIFY_WITH_TIMEOUT(afterSlow >= 0, 20000);
        QCoreApplication::processEvents();
        writeProperty(mainWindow, control::countdownTimer, TimerProperty::period, -1, 0);
        // One tick for all that were missed, plus those that fell due since,
        // however long a busy machine took.
        const qint64 since = sinceSlow.elapsed();
        const int after = calls["tick"] - afterSlow;
        QVERIFY2(after <= 1 + since / 10, qPrintable(QString("%1 ticks in %2 ms").arg(after).arg(since)));
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
