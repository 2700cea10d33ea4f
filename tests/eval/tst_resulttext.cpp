// SPDX-License-Identifier: MIT
#include <QTest>

#include <cmath>
#include <limits>

#include "eval/scriptcomponent.h"

Q_DECLARE_METATYPE(ScriptValue)

class ResultTextTest : public QObject {
    Q_OBJECT

private slots:
    // The text of each kind of value (empty: no text), as VariantChangeType
    // writes it in the US-English locale, with "0" before a real's ".".
    void valueGivesText_data()
    {
        QTest::addColumn<ScriptValue>("value");
        QTest::addColumn<QByteArray>("text");
        auto row = [](const char *name, const ScriptValue &value, const char *text) {
            QTest::newRow(name) << value << QByteArray(text);
        };
        constexpr double inf = std::numeric_limits<double>::infinity();
        row("empty", ScriptValue(), "");
        row("integer", std::int32_t(-42), "-42");
        row("integer zero", std::int32_t(0), "0");
        row("24", 24.0, "24");
        row("just below 24", 23.999999999999986, "24");
        row("just above 24", 24.000000000000004, "24");
        row("wrong answer near 24", 23.99999999999, "23.99999999999");
        row("half", 0.5, "0.5");
        row("negative half keeps no zero", -0.5, "-.5");
        row("third", 1.0 / 3, "0.333333333333333");
        row("two thirds rounds up", 2.0 / 3, "0.666666666666667");
        row("eight thirds", 8.0 / 3, "2.66666666666667");
        row("pi", 3.141592653589793, "3.14159265358979");
        row("17 digits rounded", 12.345678901234567, "12.3456789012346");
        row("15 nines", 999999999999999.0, "999999999999999");
        row("rounds up into exponent form", 999999999999999.9, "1E+15");
        row("1e14 fixed", 1e14, "100000000000000");
        row("1e15", 1e15, "1E+15");
        row("1.2e15", 1.2e15, "1.2E+15");
        row("18 digits", 123456789012345678.0, "1.23456789012346E+17");
        row("large exponent", 1e300, "1E+300");
        row("small fixed", 0.056789, "0.056789");
        row("last digit at 15th decimal", 5.6789e-11, "0.000000000056789");
        row("last digit at 16th decimal", 5.6789e-12, "5.6789E-12");
        row("1e-15 fixed", 1e-15, "0.000000000000001");
        row("1.5e-15 exponent", 1.5e-15, "1.5E-15");
        row("thirtieth needs 16 decimals", 1.0 / 30, "3.33333333333333E-02");
        row("smallest double", 5e-324, "4.94065645841247E-324");
        row("negative zero", -0.0, "0");
        row("infinity", inf, "1.#INF");
        row("negative infinity", -inf, "-1.#INF");
        row("not a number", std::nan(""), "-1.#IND");
        row("single precision", 3.1415927f, "3.141593");
        row("single 1e8", 1e8f, "1E+08");
        row("single 1e6 fixed", 1e6f, "1000000");
        row("single half", 0.5f, "0.5");
        row("single small", 1.5e-7f, "1.5E-07");
        row("currency", ScriptCurrency { 12345 }, "1.2345");
        row("currency whole", ScriptCurrency { 240000 }, "24");
        row("currency below one", ScriptCurrency { 2500 }, "0.25");
        row("currency negative", ScriptCurrency { -15000 }, "-1.5");
        row("currency most negative", ScriptCurrency { std::numeric_limits<std::int64_t>::min() },
            "-922337203685477.5808");
        row("string", std::string("abc"), "abc");
        row("string with point stays", std::string(".5"), ".5");
        row("empty string", std::string(), "");
        row("object", ScriptObject { "/1/" }, "/1/");
    }
    void valueGivesText()
    {
        QFETCH(ScriptValue, value);
        QFETCH(QByteArray, text);
        Text result = resultToText(value);
        QCOMPARE(QByteArray(result), text);
        QCOMPARE(result == nullptr, text.isEmpty());
        releaseMemory(result);
    }
};

QTEST_GUILESS_MAIN(ResultTextTest)
#include "tst_resulttext.moc"
