// SPDX-License-Identifier: MIT
#include <QListWidget>
#include <QTest>

#include "game/handlers.h"
#include "session.h"

using namespace session;

namespace {

// KELMORA_SOAK_CYCLES shortens the run, e.g. under valgrind.
int cycleCount()
{
    bool ok = false;
    const int wanted = qEnvironmentVariableIntValue("KELMORA_SOAK_CYCLES", &ok);
    return ok && wanted > 0 ? wanted : 10000;
}

} // namespace

class SoakTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { start(); }
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    // Many whole hands in one window: any leak or stray write in a handler
    // adds up here, and the sanitizer build fails on it.
    void manyHandsStayConsistent()
    {
        const int cycles = cycleCount();
        for (int cycle = 1; cycle <= cycles; ++cycle) {
            dealHand();
            pickCard(1 + cycle % 4);
            appendSymbol(cycle % 2 ? "*" : "+");
            pickCard(1 + (cycle + 1) % 4);
            checkAnswer();
            if (cycle % 100 == 0)
                QCoreApplication::processEvents();
        }

        auto list = qobject_cast<QListWidget *>(widget(control::historyList));
        QVERIFY(list);
        QCOMPARE(list->count(), cycles);
        const std::string shown = verdict();
        QVERIFY2(shown == "正确！" || shown == "错误！", shown.c_str());
        QVERIFY(list->item(cycles - 1)->text().endsWith(QString::fromStdString(shown) + ' '));
        for (int card = 1; card <= 4; ++card) {
            const std::int32_t value = intArrayElement(cardValues, card);
            QVERIFY2(value >= 1 && value <= 13, qPrintable(QString::number(value)));
        }
    }
};

QTEST_MAIN(SoakTest)
#include "tst_soak.moc"
