// SPDX-License-Identifier: MIT
#include <QTest>

#include <cstdint>
#include <numeric>
#include <random>
#include <string>

#include "eval/scriptcomponent.h"
#include "gbkliteral.h"

namespace {

QByteArray takeText(Text text)
{
    QByteArray bytes(text);
    releaseMemory(text);
    return bytes;
}

// What the game sees of one expression: the result text, and 错误信息 after it.
struct Seen {
    QByteArray text;
    QByteArray errorInfo;
};

Seen evaluate(ScriptComponent &component, const std::string &expression)
{
    Seen seen;
    seen.text = takeText(component.evaluateExpression(expression.c_str()));
    seen.errorInfo = takeText(valueText(component.readProperty(scriptkind::errorInfo)));
    return seen;
}

// An exact fraction, for telling which four-card expressions really make 24.
struct Fraction {
    std::int64_t num = 0;
    std::int64_t den = 1; // 0: undefined (a division by zero on the way)
};

Fraction combine(Fraction a, Fraction b, char op)
{
    if (a.den == 0 || b.den == 0)
        return { 0, 0 };
    Fraction r;
    switch (op) {
    case '+':
        r = { a.num * b.den + b.num * a.den, a.den * b.den };
        break;
    case '-':
        r = { a.num * b.den - b.num * a.den, a.den * b.den };
        break;
    case '*':
        r = { a.num * b.num, a.den * b.den };
        break;
    default:
        if (b.num == 0)
            return { 0, 0 };
        r = { a.num * b.den, a.den * b.num };
    }
    if (r.den < 0)
        r = { -r.num, -r.den };
    std::int64_t g = std::gcd(r.num, r.den);
    return { r.num / g, r.den / g };
}

} // namespace

class ExpressionTest : public QObject {
    Q_OBJECT

private slots:
    // Result text (empty: none) and the error description JScript gives
    // (empty: no error) for the texts the game can build, and a few beyond.
    void expressionGivesTextOrError_data()
    {
        QTest::addColumn<QByteArray>("expression");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("error");
        auto row = [](const char *name, const char *expression, const char *text, const char *error) {
            QTest::newRow(name) << QByteArray(expression) << QByteArray(text) << QByteArray(error);
        };
        // Values.
        row("ranks 2 and 4 side by side", "24", "24", "");
        row("product", "3*8", "24", "");
        row("real division near 24", "8/(3-8/3)", "24", "");
        row("real product near 24", "10*((4/10)*6)", "24", "");
        row("left to right", "13-1+12", "24", "");
        row("whole quotient is an integer", "48/2", "24", "");
        row("precedence", "2+3*4", "14", "");
        row("left associative minus", "10-4-3", "3", "");
        row("left associative division", "48/4/2", "6", "");
        row("double negation", "-(-24)", "24", "");
        row("unary signs stack", "+-+-24", "24", "");
        row("signed factors", "-3*-8", "24", "");
        row("redundant parentheses", "((24))", "24", "");
        row("third", "1/3", "0.333333333333333", "");
        row("two thirds", "2/3", "0.666666666666667", "");
        row("eight thirds", "8/3", "2.66666666666667", "");
        row("half", "1/2", "0.5", "");
        row("five halves", "5/2", "2.5", "");
        row("past 32 bits", "2147483647+1", "2147483648", "");
        row("large product", "13*13*13*13*13*13*13*13*13*13*13*13*13*13", "3.93737638569929E+15", "");
        row("long literal", "99999999999999999999", "1E+20", "");
        row("literal too large for a double", std::string(400, '9').c_str(), "1.#INF", "");
        row("octal", "013", "11", "");
        row("two zeros are octal", "00", "0", "");
        row("8 makes it decimal", "018", "18", "");
        row("8 late makes it decimal", "0178", "178", "");
        row("long octal rounds to nearest", "0777777777777777777777", "9.22337203685478E+18", "");
        row("division by zero", "1/0", "1.#INF", "");
        row("negative infinity", "-1/0", "-1.#INF", "");
        row("zero by zero", "0/0", "-1.#IND", "");
        row("negative zero reads 0", "-0", "0", "");
        row("negative zero divides to -infinity", "1/(0*-1)", "-1.#INF", "");
        row("empty text", "", "", "");
        row("blanks around", " 24 ", "24", "");
        // Slashes: comments and regular expression literals.
        row("line comment", "8//3", "8", "");
        row("block comment", "8/*3*/", "8", "");
        row("comment only", "/**/", "", "");
        row("unterminated comment", "8/*3", "", "Unterminated comment");
        row("comment between numbers", "8/**/3", "", "Expected ';'");
        row("regular expression", "/3/", "/3/", "");
        row("number joined to a regular expression", "1+/2/", "1/2/", "");
        row("half joined to a regular expression", "1/2+/3/", "0.5/3/", "");
        row("regular expression times a number", "/1/*2", "-1.#IND", "");
        row("bad regular expression", "/+/", "", "Syntax error in regular expression");
        row("unterminated regular expression", "/12", "", "Expected '/'");
        row("digits as regular expression flags", "/1/2", "", "Syntax error in regular expression");
        // Syntax errors.
        row("empty parentheses", "()", "", "Syntax error");
        row("parentheses inside out", ")24(", "", "Syntax error");
        row("missing close", "3*(8", "", "Expected ')'");
        row("extra close", "24)", "", "Expected ';'");
        row("trailing operator", "24+", "", "Syntax error");
        row("leading operator", "*24", "", "Syntax error");
        row("postfix then number", "1++2", "", "Expected ';'");
        row("postfix decrement then number", "1--2", "", "Expected ';'");
        row("postfix then number in parentheses", "(1++2)", "", "Expected ')'");
        row("postfix twice", "1----2", "", "Expected ';'");
        row("postfix then call", "1++(2)", "", "Expected ';'");
        row("lone increment", "++", "", "Syntax error");
        row("letter", "24a", "", "Invalid character");
        row("point", "2.5", "", "Invalid character");
        row("Chinese", gbk("24中").c_str(), "", "Invalid character");
        // Run-time errors.
        row("number called", "3(4)", "", "Function expected");
        row("group called", "(1)(2)", "", "Function expected");
        row("called without arguments", "3()", "", "Function expected");
        row("regular expression called", "/1/(2)", "", "Function expected");
        row("call before increment", "3(4)++", "", "Function expected");
        row("increment inside arguments comes first", "3(++4)", "", "Illegal assignment");
        row("postfix then plus", "1+++2", "", "Illegal assignment");
        row("prefix increment", "++3", "", "Illegal assignment");
        row("prefix decrement", "--24", "", "Illegal assignment");
        row("postfix on a literal", "1++", "", "Illegal assignment");
        row("postfix on a group", "(1)++", "", "Illegal assignment");
        row("postfix then minus", "2---3", "", "Illegal assignment");
    }
    void expressionGivesTextOrError()
    {
        QFETCH(QByteArray, expression);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, error);
        ScriptComponent component;
        Seen seen = evaluate(component, expression.toStdString());
        QCOMPARE(seen.text, text);
        QByteArray expectedInfo
            = error.isEmpty() ? QByteArray() : "Error: " + error + ", " + expression + "; in line 1";
        QCOMPARE(seen.errorInfo, expectedInfo);
    }

    // Nothing recurses, so nesting and length are limited by memory only.
    void hugeTextsEvaluateWithoutExhaustingTheStack_data()
    {
        QTest::addColumn<QByteArray>("expression");
        QTest::addColumn<QByteArray>("text");
        constexpr int n = 100'000;
        QTest::newRow("nested parentheses")
            << QByteArray(n, '(') + "1" + QByteArray(n, ')') << QByteArray("1");
        QTest::newRow("unclosed parentheses") << QByteArray(n, '(') + "1" << QByteArray();
        QTest::newRow("nested negations")
            << QByteArray("-(").repeated(n) + "24" + QByteArray(n, ')') << QByteArray("24");
        QTest::newRow("long sum") << "0" + QByteArray("+1").repeated(n) << QByteArray("100000");
        QTest::newRow("nested calls")
            << QByteArray("1(").repeated(n) + "1" + QByteArray(n, ')') << QByteArray();
        QTest::newRow("string built from the right")
            << QByteArray("1+(").repeated(n) + "/2/" + QByteArray(n, ')') << QByteArray(n, '1') + "/2/";
    }
    void hugeTextsEvaluateWithoutExhaustingTheStack()
    {
        QFETCH(QByteArray, expression);
        QFETCH(QByteArray, text);
        ScriptComponent component;
        QCOMPARE(evaluate(component, expression.toStdString()).text, text);
    }

    // A four-card expression reads "24" exactly when its exact value is 24.
    void onlyExactTwentyFourReadsTwentyFour()
    {
        const char *shapes[] = { "((a o b) o c) o d", "(a o (b o c)) o d", "(a o b) o (c o d)",
            "a o ((b o c) o d)", "a o (b o (c o d))" };
        const char ops[] = { '+', '-', '*', '/' };
        std::mt19937 random(24);
        ScriptComponent component;
        int exact = 0;
        constexpr int cases = 100'000;
        for (int i = 0; i < cases; ++i) {
            Fraction values[4];
            std::string ranks[4];
            for (int k = 0; k < 4; ++k) {
                int rank = static_cast<int>(random() % 13) + 1;
                values[k] = { rank, 1 };
                ranks[k] = std::to_string(rank);
            }
            char chosen[3] = { ops[random() % 4], ops[random() % 4], ops[random() % 4] };
            int shape = static_cast<int>(random() % 5);
            // Exact value, following the shape's grouping.
            auto [a, b, c, d] = values;
            auto [o1, o2, o3] = chosen;
            Fraction value;
            switch (shape) {
            case 0:
                value = combine(combine(combine(a, b, o1), c, o2), d, o3);
                break;
            case 1:
                value = combine(combine(a, combine(b, c, o2), o1), d, o3);
                break;
            case 2:
                value = combine(combine(a, b, o1), combine(c, d, o3), o2);
                break;
            case 3:
                value = combine(a, combine(combine(b, c, o2), d, o3), o1);
                break;
            default:
                value = combine(a, combine(b, combine(c, d, o3), o2), o1);
                break;
            }
            std::string expression;
            int operand = 0;
            int op = 0;
            for (const char *p = shapes[shape]; *p; ++p) {
                if (*p == ' ')
                    continue;
                if (*p >= 'a' && *p <= 'd')
                    expression += ranks[operand++];
                else if (*p == 'o')
                    expression += chosen[op++];
                else
                    expression += *p;
            }
            bool makes24 = value.den == 1 && value.num == 24;
            exact += makes24;
            QByteArray text = takeText(component.evaluateExpression(expression.c_str()));
            if ((text == "24") != makes24)
                QFAIL(qPrintable(QString::fromStdString(expression) + " reads " + QString(text)));
        }
        qInfo("%d random four-card expressions, %d of them exactly 24", cases, exact);
    }
};

QTEST_GUILESS_MAIN(ExpressionTest)
#include "tst_expression.moc"
