// SPDX-License-Identifier: MIT
#include <QTest>

#include <cfenv>

#include "gbkliteral.h"
#include "runtime/texts.h"

Q_DECLARE_METATYPE(std::string)

class TextsTest : public QObject {
    Q_OBJECT

private slots:
    void joiningEmptyPiecesGivesANewEmptyText()
    {
        Text joined = joinTexts({ nullptr, "", nullptr });
        QVERIFY(joined != nullptr);
        QCOMPARE(textLength(joined), 0);
        releaseMemory(joined);

        Text line = joinTexts({ "5 12 1 7 ", "2*4", " " });
        QCOMPARE(QByteArray(line), QByteArray("5 12 1 7 2*4 "));
        releaseMemory(line);
    }

    void comparingCountsBytesAsUnsigned_data()
    {
        QTest::addColumn<bool>("aIsNull");
        QTest::addColumn<std::string>("a");
        QTest::addColumn<bool>("bIsNull");
        QTest::addColumn<std::string>("b");
        QTest::addColumn<int>("expected");
        QTest::newRow("null and null") << true << std::string() << true << std::string() << 0;
        QTest::newRow("null and empty") << true << std::string() << false << std::string() << 0;
        QTest::newRow("empty and null") << false << std::string() << true << std::string() << 0;
        QTest::newRow("null and 24") << true << std::string() << false << std::string("24") << -1;
        QTest::newRow("24 and null") << false << std::string("24") << true << std::string() << 1;
        QTest::newRow("3 and 24") << false << std::string("3") << false << std::string("24") << 1;
        QTest::newRow("24 and 24") << false << std::string("24") << false << std::string("24") << 0;
        QTest::newRow("24 and 240") << false << std::string("24") << false << std::string("240") << -1;
        QTest::newRow("Chinese after ASCII") << false << gbk("正确！") << false << std::string("z") << 1;
        QTest::newRow("ASCII before Chinese") << false << std::string("~~") << false << gbk("错误！") << -1;
    }
    void comparingCountsBytesAsUnsigned()
    {
        QFETCH(bool, aIsNull);
        QFETCH(std::string, a);
        QFETCH(bool, bIsNull);
        QFETCH(std::string, b);
        QFETCH(int, expected);
        QCOMPARE(compareTexts(aIsNull ? nullptr : a.c_str(), bIsNull ? nullptr : b.c_str()), expected);
    }

    void numbersAsText_data()
    {
        QTest::addColumn<bool>("isDouble");
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("integer 13") << false << 13.0 << QByteArray("13");
        QTest::newRow("integer -5") << false << -5.0 << QByteArray("-5");
        QTest::newRow("integer 0") << false << 0.0 << QByteArray("0");
        QTest::newRow("double 99") << true << 99.0 << QByteArray("99");
        QTest::newRow("double 0") << true << 0.0 << QByteArray("0");
        QTest::newRow("double 100") << true << 100.0 << QByteArray("100");
        QTest::newRow("double 0.3") << true << 0.3 << QByteArray("0.3");
        QTest::newRow("double 2.5") << true << 2.5 << QByteArray("2.5");
        QTest::newRow("double 1/3 keeps 13 digits") << true << 1.0 / 3 << QByteArray("0.3333333333333");
        QTest::newRow("double 1e13 in exponent form") << true << 1e13 << QByteArray("1e+13");
        QTest::newRow("double 1.5e-5 in exponent form") << true << 1.5e-5 << QByteArray("1.5e-05");
    }
    void numbersAsText()
    {
        QFETCH(bool, isDouble);
        QFETCH(double, value);
        QFETCH(QByteArray, expected);
        Text text = isDouble ? toText(value) : toText(std::int32_t(value));
        QCOMPARE(QByteArray(text), expected);
        releaseMemory(text);
    }

    void truncationIgnoresTheRoundingMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("to nearest") << FE_TONEAREST;
        QTest::newRow("downward") << FE_DOWNWARD;
        QTest::newRow("upward") << FE_UPWARD;
        QTest::newRow("toward zero") << FE_TOWARDZERO;
    }
    void truncationIgnoresTheRoundingMode()
    {
        QFETCH(int, mode);
        const int before = std::fegetround();
        std::fesetround(mode);
        // volatile keeps the compiler from folding the calls at build time.
        volatile double up = 2.7, down = -2.7, whole = 100.0, half = 0.5;
        const std::int64_t results[] = { truncateToInteger(up), truncateToInteger(down),
            truncateToInteger(whole), truncateToInteger(half), truncateToInteger(99.0 + 1.0) };
        const int after = std::fegetround();
        std::fesetround(before);
        QCOMPARE(after, mode);
        QCOMPARE(results[0], std::int64_t(2));
        QCOMPARE(results[1], std::int64_t(-2));
        QCOMPARE(results[2], std::int64_t(100));
        QCOMPARE(results[3], std::int64_t(0));
        QCOMPARE(results[4], std::int64_t(100));
    }

    void truncationOfValuesWithoutAnIntegerFormIsDefined()
    {
        QCOMPARE(truncateToInteger(std::numeric_limits<double>::quiet_NaN()), INT64_MIN);
        QCOMPARE(truncateToInteger(1e300), INT64_MIN);
        QCOMPARE(truncateToInteger(-0x1p63), INT64_MIN);
    }
};

QTEST_GUILESS_MAIN(TextsTest)
#include "tst_texts.moc"
