// SPDX-License-Identifier: MIT
#include <QTest>

#include <set>
#include <vector>

#include "runtime/random.h"

namespace {
std::uint32_t frozenClock()
{
    return 123456;
}

std::vector<std::int32_t> firstDraws(int n)
{
    std::vector<std::int32_t> draws;
    draws.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i)
        draws.push_back(randomNumber(0, 32767));
    return draws;
}
} // namespace

class RandomTest : public QObject {
    Q_OBJECT

private slots:
    // Runs first: the generator must not have been seeded yet.
    void unseededGeneratorStartsAsIfSeededWithOne()
    {
        const std::vector<std::int32_t> expected { 41, 18467, 6334, 26500, 19169 };
        QCOMPARE(firstDraws(5), expected);
        setRandomSeed(1);
        QCOMPARE(firstDraws(5), expected);
    }

    void boundsAreNormalised_data()
    {
        QTest::addColumn<int>("lower");
        QTest::addColumn<int>("upper");
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::newRow("1..4") << 1 << 4 << 1 << 4;
        QTest::newRow("reversed 4..1") << 4 << 1 << 1 << 4;
        QTest::newRow("ranks 1..13") << 1 << 13 << 1 << 13;
        QTest::newRow("negative lower as 0") << -3 << 2 << 0 << 2;
        QTest::newRow("both negative give 0") << -7 << -2 << 0 << 0;
    }
    void boundsAreNormalised()
    {
        QFETCH(int, lower);
        QFETCH(int, upper);
        QFETCH(int, low);
        QFETCH(int, high);
        setRandomSeed(7);
        std::set<int> seen;
        for (int i = 0; i < 2000; ++i) {
            const int r = randomNumber(lower, upper);
            QVERIFY2(r >= low && r <= high, qPrintable(QString::number(r)));
            seen.insert(r);
        }
        QCOMPARE(int(seen.size()), high - low + 1);
    }

    void equalBoundsDrawNothing()
    {
        setRandomSeed(1);
        QCOMPARE(randomNumber(5, 5), 5);
        QCOMPARE(randomNumber(0, 32767), 41); // still the first draw
    }

    void omittedBoundsYieldTheDrawItself()
    {
        setRandomSeed(1);
        QCOMPARE(randomNumber(), 41);
        QCOMPARE(randomNumber(std::nullopt, std::nullopt), 18467);
        // A span wider than a draw only reaches its lowest 32768 values.
        for (int i = 0; i < 100; ++i)
            QVERIFY(randomNumber(1000, 2000000000) <= 1000 + 32767);
    }

    void clockSeedingsInOneMillisecondDiffer()
    {
        setTickSource(frozenClock);
        setRandomSeed();
        const auto first = firstDraws(8);
        setRandomSeed();
        const auto second = firstDraws(8);
        setTickSource(nullptr);
        QVERIFY(first != second);
    }
};

QTEST_GUILESS_MAIN(RandomTest)
#include "tst_random.moc"
