// SPDX-License-Identifier: MIT
#include <QFile>
#include <QListWidget>
#include <QTest>

#include "runtime/files.h"
#include "session.h"
#include "window/qt/picturebox.h"

using namespace session;

Q_DECLARE_METATYPE(std::string)

namespace {

struct Press {
    const char *what; // "1".."4" for a card, else the operator button's symbol
};

ControlId controlFor(char what)
{
    switch (what) {
    case '+':
        return control::plusButton;
    case '-':
        return control::minusButton;
    case '*':
        return control::multiplyButton;
    case '/':
        return control::divideButton;
    case '(':
        return control::openParenButton;
    case ')':
        return control::closeParenButton;
    default:
        return cards[what - '1'];
    }
}

// Presses, in order, the controls a string names: digits 1-4 are cards.
void press(const std::string &keys)
{
    for (char key : keys)
        click(controlFor(key));
}

QStringList historyItems()
{
    auto list = qobject_cast<QListWidget *>(widget(control::historyList));
    QStringList items;
    for (int i = 0; list && i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

QByteArray shownPicture(ControlId box)
{
    // The block the box holds, as the game reads it back.
    Bytes picture = valueBytes(readProperty(mainWindow, box, PictureProperty::picture, -1));
    QByteArray bytes(reinterpret_cast<const char *>(bytesData(picture)), bytesCount(picture));
    releaseMemory(picture);
    return bytes;
}

QByteArray cardFile(const char *utf8Name)
{
    QFile file(QCoreApplication::applicationDirPath() + "/pkp/" + QString::fromUtf8(utf8Name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class PlayTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { start(); }
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void dealShowsFourCardsAndStartsAFreshHand()
    {
        press("1+");
        nextDealSeed(10423);
        click(control::dealButton);

        const std::int32_t ranks[] = { 5, 12, 1, 7 };
        for (int card = 1; card <= 4; ++card)
            QCOMPARE(intArrayElement(cardValues, card), ranks[card - 1]);
        QCOMPARE(utf8(historyText), std::string("5 12 1 7 "));
        QCOMPARE(shownPicture(control::cardBox1), cardFile("方块(5).jpg"));
        QCOMPARE(shownPicture(control::cardBox2), cardFile("红桃(12).jpg"));
        QCOMPARE(shownPicture(control::cardBox3), cardFile("黑桃(1).jpg"));
        QCOMPARE(shownPicture(control::cardBox4), cardFile("梅花(7).jpg"));
        QCOMPARE(expression(), std::string());
        for (ControlId card : cards)
            QVERIFY(widget(card)->isEnabled());
        QCOMPARE(verdict(), std::string());
        QCOMPARE(elapsed(), 0);
        QCOMPARE(readNumber(control::countdownTimer, std::int32_t(TimerProperty::period)), 1000);

        // The working variables keep the fourth card.
        QCOMPARE(dealCounter, 5);
        QCOMPARE(suitNumber, 3);
        QCOMPARE(utf8(suitName), std::string("梅花"));
        QCOMPARE(rankNumber, 7);
        QCOMPARE(utf8(cardFileName), std::string("梅花(7).jpg"));
        QVERIFY(utf8(cardFilePath).ends_with("\\pkp\\梅花(7).jpg"));
    }

    void withoutThePicturesTheDealStillGoesOn()
    {
        setRunDirectoryFromProgramPath("/nonexistent/kelmora");
        nextDealSeed(10423);
        click(control::dealButton);
        initRunDirectory();
        for (ControlId card : cards)
            QVERIFY(!static_cast<PictureBox *>(widget(card))->hasImage());
        QCOMPARE(utf8(historyText), std::string("5 12 1 7 "));
        press("1*4");
        click(control::checkButton);
        QCOMPARE(expression(), std::string("5*7"));
        QCOMPARE(verdict(), std::string("错误！"));
    }

    void aPickedCardAppendsItsRankOnce()
    {
        nextDealSeed(10423);
        click(control::dealButton);
        click(control::cardBox2);
        QCOMPARE(expression(), std::string("12"));
        QVERIFY(!widget(control::cardBox2)->isEnabled());
        click(control::cardBox2);
        QCOMPARE(expression(), std::string("12"));
        press("+3");
        QCOMPARE(expression(), std::string("12+1"));
    }

    void checkJudgesTheExpressionsText_data()
    {
        QTest::addColumn<std::uint32_t>("seed");
        QTest::addColumn<std::string>("ranks"); // what the seed deals
        QTest::addColumn<std::string>("keys");
        QTest::addColumn<std::string>("shown");
        QTest::addColumn<std::string>("verdict");
        const std::string deal9114 = "2 4 3 8", deal12657 = "3 8 8 1", deal24163 = "8 3 8 3";
        QTest::newRow("2 then 4 run together")
            << 9114u << deal9114 << std::string("12") << std::string("24") << std::string("正确！");
        QTest::newRow("two cards suffice")
            << 12657u << deal12657 << std::string("1*2") << std::string("3*8") << std::string("正确！");
        QTest::newRow("rounding of 8/(3-8/3)") << 24163u << deal24163 << std::string("1/(2-3/4)")
                                               << std::string("8/(3-8/3)") << std::string("正确！");
        QTest::newRow("wrong value") << 12657u << deal12657 << std::string("1+2") << std::string("3+8")
                                     << std::string("错误！");
        QTest::newRow("malformed") << 12657u << deal12657 << std::string("1+*2") << std::string("3+*8")
                                   << std::string("错误！");
        QTest::newRow("empty") << 12657u << deal12657 << std::string() << std::string()
                               << std::string("错误！");
    }
    void checkJudgesTheExpressionsText()
    {
        QFETCH(std::uint32_t, seed);
        QFETCH(std::string, ranks);
        QFETCH(std::string, keys);
        QFETCH(std::string, shown);
        QFETCH(std::string, verdict);
        nextDealSeed(seed);
        click(control::dealButton);
        QString dealt;
        for (int card = 1; card <= 4; ++card)
            dealt += QString::number(intArrayElement(cardValues, card)) + (card < 4 ? " " : "");
        QCOMPARE(dealt.toStdString(), ranks);
        press(keys);
        QCOMPARE(expression(), shown);
        click(control::checkButton);
        QCOMPARE(session::verdict(), verdict);
        QCOMPARE(
            historyItems(), QStringList(QString::fromStdString(ranks + ' ' + shown + ' ' + verdict + ' ')));
        QCOMPARE(elapsed(), 0);
        QCOMPARE(readNumber(control::countdownTimer, std::int32_t(TimerProperty::period)), 0);
    }

    void checkBeforeTheFirstDealHoldsOnlyTheTry()
    {
        press("1+");
        QCOMPARE(expression(), std::string("0+"));
        click(control::checkButton);
        QCOMPARE(historyItems(), QStringList("0+ 错误！ "));
    }

    void checksOfOneDealExtendOneLine()
    {
        nextDealSeed(10423);
        click(control::dealButton);
        click(control::checkButton);
        press("2*3");
        click(control::checkButton);
        QCOMPARE(historyItems(), QStringList({ "5 12 1 7  错误！ ", "5 12 1 7  错误！ 12*1 错误！ " }));
        QCOMPARE(utf8(resultText), std::string("12"));
    }

    void rewriteGivesTheCardsBackAndKeepsTheRanks()
    {
        nextDealSeed(9114);
        click(control::dealButton);
        press("1+2");
        click(control::rewriteButton);
        QCOMPARE(expression(), std::string());
        for (ControlId card : cards)
            QVERIFY(widget(card)->isEnabled());
        press("21");
        QCOMPARE(expression(), std::string("42"));
        QCOMPARE(intArrayElement(cardValues, 3), 3);
    }

    void historyButtonTogglesTheWidthAndADealChangesNeither()
    {
        const auto width = [] { return widget(control::mainWindowUnit)->frameGeometry().width(); };
        const auto caption
            = [] { return readTextUtf8(control::historyButton, std::int32_t(ButtonProperty::caption)); };
        QCOMPARE(width(), 1011);
        click(control::historyButton);
        QCOMPARE(width(), 777);
        QCOMPARE(caption(), std::string("历史记录>>"));
        click(control::dealButton);
        QCOMPARE(width(), 777);
        QCOMPARE(caption(), std::string("历史记录>>"));
        click(control::historyButton);
        QCOMPARE(width(), 1011);
        QCOMPARE(caption(), std::string("历史记录<<"));
    }
};

QTEST_MAIN(PlayTest)
#include "tst_play.moc"
