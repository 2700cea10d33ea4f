// SPDX-License-Identifier: MIT
#include <QElapsedTimer>
#include <QTest>

#include "session.h"

using namespace session;

class CountdownTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { start(); }
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void eachTickCountsASecond()
    {
        QCOMPARE(timeLabel(), std::string("还有100秒"));
        QVERIFY(!tick()); // no countdown before the first deal
        click(control::dealButton);
        QVERIFY(tick());
        QCOMPARE(elapsed(), 1);
        QCOMPARE(timeLabel(), std::string("您还有99秒"));
        QCOMPARE(verdict(), std::string());
    }

    void theHundredthTickLosesTheDeal()
    {
        press();
        for (int i = 0; i < 99; ++i)
            QVERIFY(tick());
        QCOMPARE(verdict(), std::string());
        QVERIFY(tick());
        QCOMPARE(elapsed(), 100);
        QCOMPARE(timeLabel(), std::string("您还有0秒"));
        QCOMPARE(verdict(), std::string("错误！"));
        QCOMPARE(readNumber(control::countdownTimer, std::int32_t(TimerProperty::period)), 0);
        QVERIFY(!tick());
    }

    void aCheckStopsTheCountdownAndLeavesTheTimeShown()
    {
        press();
        for (int i = 0; i < 30; ++i)
            QVERIFY(tick());
        click(control::checkButton);
        QCOMPARE(elapsed(), 0);
        QCOMPARE(readNumber(control::countdownTimer, std::int32_t(TimerProperty::period)), 0);
        QVERIFY(!tick());
        QCOMPARE(timeLabel(), std::string("您还有70秒"));
    }

    void theRealTimerTicksOnceASecond()
    {
        QElapsedTimer clock;
        clock.start();
        press();
        QTRY_COMPARE_WITH_TIMEOUT(elapsed(), 1, 20000);
        QVERIFY(clock.elapsed() >= 900);
        QCOMPARE(timeLabel(), std::string("您还有99秒"));
    }

    void aDealStartsTheTimerAfreshOnlyWhenItIsStopped_data()
    {
        QTest::addColumn<int>("ticksBefore"); // of an earlier deal; -1: no earlier deal
        QTest::addColumn<bool>("checkBefore");
        QTest::addColumn<int>("starts");
        QTest::newRow("first deal") << -1 << false << 1;
        // The running timer keeps its rhythm: its next tick is the new deal's first.
        QTest::newRow("during the countdown") << 2 << false << 1;
        QTest::newRow("after a check") << 30 << true << 2;
        QTest::newRow("after the time is up") << 100 << false << 2;
    }
    void aDealStartsTheTimerAfreshOnlyWhenItIsStopped()
    {
        QFETCH(int, ticksBefore);
        QFETCH(bool, checkBefore);
        QFETCH(int, starts);
        if (ticksBefore >= 0)
            press();
        for (int i = 0; i < ticksBefore; ++i)
            QVERIFY(tick());
        if (checkBefore)
            click(control::checkButton);
        press();
        QCOMPARE(timerStarts(), starts);
        QCOMPARE(elapsed(), 0);
        QCOMPARE(readNumber(control::countdownTimer, std::int32_t(TimerProperty::period)), 1000);
        QVERIFY(tick());
        QCOMPARE(elapsed(), 1);
        QCOMPARE(timeLabel(), std::string("您还有99秒"));
    }

private:
    static void press() { click(control::dealButton); }
};

QTEST_MAIN(CountdownTest)
#include "tst_countdown.moc"
