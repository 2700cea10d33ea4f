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
        click(control::dealButton);
        tick();
        QCOMPARE(elapsed(), 1);
        QCOMPARE(timeLabel(), std::string("您还有99秒"));
        QCOMPARE(verdict(), std::string());
    }

    void theHundredthTickLosesTheDeal()
    {
        press();
        for (int i = 0; i < 99; ++i)
            tick();
        QCOMPARE(verdict(), std::string());
        tick();
        QCOMPARE(elapsed(), 100);
        QCOMPARE(timeLabel(), std::string("您还有0秒"));
        QCOMPARE(verdict(), std::string("错误！"));
        QCOMPARE(readNumber(control::countdownTimer, std::int32_t(TimerProperty::period)), 0);
    }

    void aCheckStopsTheCountdownAndLeavesTheTimeShown()
    {
        press();
        for (int i = 0; i < 30; ++i)
            tick();
        click(control::checkButton);
        QCOMPARE(elapsed(), 0);
        QCOMPARE(readNumber(control::countdownTimer, std::int32_t(TimerProperty::period)), 0);
        QCOMPARE(timeLabel(), std::string("您还有70秒"));
    }

    void theRealTimerTicksOnceASecond()
    {
        QElapsedTimer clock;
        clock.start();
        press();
        QTRY_COMPARE_WITH_TIMEOUT(elapsed(), 1, 3000);
        QVERIFY(clock.elapsed() >= 900);
        QCOMPARE(timeLabel(), std::string("您还有99秒"));
    }

    void aDealDuringTheCountdownKeepsTheTimersRhythm()
    {
        press();
        QTest::qWait(600);
        QElapsedTimer clock;
        clock.start();
        press(); // a second deal 600 ms into the first second
        QCOMPARE(elapsed(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(elapsed(), 1, 3000);
        // A restarted timer would take a full second; the old rhythm less.
        QVERIFY2(clock.elapsed() < 900, qPrintable(QString::number(clock.elapsed())));
    }

private:
    static void press() { click(control::dealButton); }
};

QTEST_MAIN(CountdownTest)
#include "tst_countdown.moc"
