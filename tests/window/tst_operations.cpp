// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QScrollBar>
#include <QTest>

#include "gbkliteral.h"
#include "testform.h"
#include "window/lifecycle.h"
#include "window/operations.h"
#include "window/qt/picturebox.h"
#include "window/qt/qtplatform.h"
#include "window/qt/qttesting.h"
#include "window/testing.h"

namespace {

int ticks = 0;

const NamedHandler handlers[] = {
    { "countdownTick",
        [](const EventRecord &) -> std::optional<std::int32_t> {
            ++ticks;
            return std::nullopt;
        } },
};

QWidget *widget(ControlId control)
{
    return controlWidget(testWindow, control);
}

std::int64_t read(ControlId control, std::int32_t property)
{
    return readProperty(testWindow, control, property, -1);
}

} // namespace

class OperationsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Only the tick is bound here.
        allowMissingHandlers(true);
        startRuntime(qtPlatform(), testForm, handlers);
    }
    void init()
    {
        ticks = 0;
        loadWindow(testWindow);
    }
    void cleanup() { unloadWindow(testWindow); }

    void numbersAreClampedAndReadBack_data()
    {
        QTest::addColumn<ControlId>("control");
        QTest::addColumn<int>("property");
        QTest::addColumn<qint64>("written");
        QTest::addColumn<qint64>("readBack");
        QTest::newRow("width above the limit") << tc::edit << 2 << qint64(32628) << qint64(32627);
        QTest::newRow("width below zero") << tc::edit << 2 << qint64(-5) << qint64(0);
        QTest::newRow("left below the limit") << tc::button << 0 << qint64(-40000) << qint64(-32627);
        QTest::newRow("height in range") << tc::button << 3 << qint64(50) << qint64(50);
        QTest::newRow("position above the maximum") << tc::bar << 13 << qint64(150) << qint64(150);
        QTest::newRow("position below zero") << tc::bar << 13 << qint64(-3) << qint64(0);
        QTest::newRow("position above 32767") << tc::bar << 13 << qint64(32768) << qint64(32767);
        QTest::newRow("Boolean from any non-zero")
            << tc::picture2 << 6 << qint64(0x100000000 + 7) << qint64(1);
        QTest::newRow("timer period below zero") << tc::timer << 8 << qint64(-1) << qint64(0);
    }
    void numbersAreClampedAndReadBack()
    {
        QFETCH(ControlId, control);
        QFETCH(int, property);
        QFETCH(qint64, written);
        QFETCH(qint64, readBack);
        writeProperty(testWindow, control, property, -1, written);
        QCOMPARE(read(control, property), readBack);
    }

    void theBarShowsItsPositionWithinItsRange()
    {
        auto bar = static_cast<QProgressBar *>(widget(tc::bar));
        writeProperty(testWindow, tc::bar, ProgressProperty::position, -1, 150);
        QCOMPARE(bar->value(), 100);
        writeProperty(testWindow, tc::bar, ProgressProperty::position, -1, 37);
        QCOMPARE(bar->value(), 37);
    }

    void textsReadBackAsNewTextsOrNone()
    {
        writeProperty(
            testWindow, tc::button, ButtonProperty::caption, -1, textValue(gbk("历史记录>>").c_str()));
        Text caption = valueText(read(tc::button, 10));
        QCOMPARE(std::string(caption), gbk("历史记录>>"));
        releaseMemory(caption);

        writeProperty(testWindow, tc::edit, EditProperty::content, -1, textValue("8/(3-8/3)"));
        Text content = valueText(read(tc::edit, 8));
        QCOMPARE(std::string(content), std::string("8/(3-8/3)"));
        releaseMemory(content);
        writeProperty(testWindow, tc::edit, EditProperty::content, -1, textValue(""));
        QCOMPARE(valueText(read(tc::edit, 8)), nullptr);
        writeProperty(testWindow, tc::edit, EditProperty::content, -1, textValue(nullptr));
        QCOMPARE(valueText(read(tc::edit, 8)), nullptr);
    }

    void appendingGoesToTheEndAndDropsTheSelection()
    {
        auto edit = static_cast<QLineEdit *>(widget(tc::edit));
        writeProperty(testWindow, tc::edit, EditProperty::content, -1, textValue("12+3"));
        edit->setSelection(0, 2);
        appendEditText(testWindow, tc::edit, { "13", "" });
        QCOMPARE(edit->text(), QString("12+313"));
        QVERIFY(!edit->hasSelectedText());
        QCOMPARE(edit->cursorPosition(), 6);
        QVERIFY(!edit->isUndoAvailable());
    }

    void aNewListItemGoesLastWithoutScrolling()
    {
        auto list = static_cast<QListWidget *>(widget(tc::list));
        for (int i = 0; i < 60; ++i)
            QCOMPARE(addListItem(testWindow, tc::list, std::to_string(i).c_str()), i);
        list->setCurrentRow(0);
        QCOMPARE(addListItem(testWindow, tc::list, "last", 7), 60);
        QCOMPARE(list->item(60)->text(), QString("last"));
        QCOMPARE(list->item(60)->data(Qt::UserRole).toInt(), 7);
        QCOMPARE(list->verticalScrollBar()->value(), 0);
        QCOMPARE(list->currentRow(), 0);
    }

    void anUndecodablePictureLeavesTheBoxEmpty()
    {
        auto box = static_cast<PictureBox *>(widget(tc::picture1));
        QVERIFY(box->hasImage());
        Bytes text = newBytes("not a picture", 13);
        writeProperty(testWindow, tc::picture1, PictureProperty::picture, -1, bytesValue(text));
        releaseMemory(text);
        QVERIFY(!box->hasImage());
        writeProperty(testWindow, tc::picture2, PictureProperty::picture, -1, bytesValue(nullptr));
        QVERIFY(!static_cast<PictureBox *>(widget(tc::picture2))->hasImage());
    }

    void aPeriodStartsTheTimerOnlyWhenItChanges_data()
    {
        QTest::addColumn<QList<int>>("periods"); // written in turn
        QTest::addColumn<int>("starts");
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("period"); // as read back
        QTest::newRow("from 0") << QList<int> { 1000 } << 1 << true << 1000;
        QTest::newRow("the same again keeps its rhythm") << QList<int> { 1000, 1000 } << 1 << true << 1000;
        QTest::newRow("another restarts it") << QList<int> { 1000, 500 } << 2 << true << 500;
        QTest::newRow("0 stops it") << QList<int> { 1000, 0 } << 1 << false << 0;
        QTest::newRow("below 0 acts as 0") << QList<int> { 1000, -1 } << 1 << false << 0;
        QTest::newRow("0 while stopped does nothing") << QList<int> { 0 } << 0 << false << 0;
        QTest::newRow("started afresh after a stop") << QList<int> { 1000, 0, 1000 } << 2 << true << 1000;
    }
    void aPeriodStartsTheTimerOnlyWhenItChanges()
    {
        QFETCH(QList<int>, periods);
        QFETCH(int, starts);
        QFETCH(bool, running);
        QFETCH(int, period);
        for (int written : periods)
            writeProperty(testWindow, tc::timer, TimerProperty::period, -1, written);
        QCOMPARE(timerStarts(testWindow, tc::timer), starts);
        QCOMPARE(read(tc::timer, 8), period);
        // A stopped timer has no tick to give.
        QCOMPARE(fireTimerTick(testWindow, tc::timer), running);
        QCOMPARE(ticks, running ? 1 : 0);
    }

    void aNewPeriodTicksOnePeriodLater()
    {
        QElapsedTimer clock;
        clock.start();
        writeProperty(testWindow, tc::timer, TimerProperty::period, -1, 300);
        QTRY_COMPARE_WITH_TIMEOUT(ticks, 1, 20000);
        QVERIFY(clock.elapsed() >= 250);
    }
};

QTEST_MAIN(OperationsTest)
#include "tst_operations.moc"
