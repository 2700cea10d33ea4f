// SPDX-License-Identifier: MIT
// The evaluator on Windows gives the answers it gives on Linux: the verdict
// texts of the game's expressions, the real texts, the errors, and nesting
// that no stack of the platform limits.

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

#include "eval/scriptcomponent.h"
#include "gbkliteral.h"

namespace {

std::string takeText(Text text)
{
    std::string bytes = text ? text : "";
    releaseMemory(text);
    return bytes;
}

struct Row {
    const char *expression;
    const char *text; // the result text; empty: none
    const char *error; // JScript's description; empty: no error
};

// The result text, then the error information that follows it.
void expectOutcome(ScriptComponent &component, const std::string &expression, const Row &row)
{
    EXPECT_EQ(takeText(component.evaluateExpression(expression.c_str())), row.text);
    const std::string info = takeText(valueText(component.readProperty(scriptkind::errorInfo)));
    EXPECT_EQ(info, *row.error ? "Error: " + std::string(row.error) + ", " + expression + "; in line 1" : "");
}

class Expressions : public testing::TestWithParam<Row> { };

TEST_P(Expressions, giveTheLinuxTextOrError)
{
    ScriptComponent component;
    expectOutcome(component, GetParam().expression, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Evaluator, Expressions,
    testing::Values(Row { "3*8", "24", "" }, Row { "8/(3-8/3)", "24", "" }, Row { "10*((4/10)*6)", "24", "" },
        Row { "13-1+12", "24", "" }, Row { "48/4/2", "6", "" }, Row { "-3*-8", "24", "" },
        Row { "5/2", "2.5", "" }, Row { "1/2", "0.5", "" }, Row { "1/3", "0.333333333333333", "" },
        Row { "8/3", "2.66666666666667", "" }, Row { "2147483647+1", "2147483648", "" },
        Row { "13*13*13*13*13*13*13*13*13*13*13*13*13*13", "3.93737638569929E+15", "" },
        Row { "99999999999999999999", "1E+20", "" }, Row { "013", "11", "" }, Row { "018", "18", "" },
        Row { "1/0", "1.#INF", "" }, Row { "-1/0", "-1.#INF", "" }, Row { "0/0", "-1.#IND", "" },
        Row { "-0", "0", "" }, Row { "", "", "" }, Row { "8//3", "8", "" }, Row { "1/2+/3/", "0.5/3/", "" },
        Row { "()", "", "Syntax error" }, Row { "3*(8", "", "Expected ')'" },
        Row { "24)", "", "Expected ';'" }, Row { "8/*3", "", "Unterminated comment" },
        Row { "2.5", "", "Invalid character" }, Row { "3(4)", "", "Function expected" },
        Row { "++3", "", "Illegal assignment" }),
    [](const testing::TestParamInfo<Row> &info) { return "row" + std::to_string(info.index); });

TEST(Evaluator, chineseIsAnInvalidCharacter)
{
    ScriptComponent component;
    expectOutcome(component, gbk("24中"), Row { "", "", "Invalid character" });
}

// Nothing recurses: the Windows main thread's stack is far smaller than
// Linux's, and these would overflow it.
TEST(Evaluator, deepNestingEvaluatesWithoutExhaustingTheStack)
{
    constexpr int n = 100'000;
    std::string negations;
    for (int i = 0; i < n; ++i)
        negations += "-(";
    const std::pair<std::string, const char *> rows[] = {
        { std::string(n, '(') + "1" + std::string(n, ')'), "1" },
        { negations + "24" + std::string(n, ')'), "24" },
        { std::string(n, '(') + "1", "" },
    };
    ScriptComponent component;
    for (const auto &[expression, text] : rows)
        EXPECT_EQ(takeText(component.evaluateExpression(expression.c_str())), text);
}

// The C runtime writes a decimal comma under a German locale; the verdict
// must not depend on it.
TEST(Evaluator, textsDoNotFollowTheLocale)
{
    if (!std::setlocale(LC_ALL, "German_Germany.1252"))
        GTEST_SKIP() << "no German locale";
    ScriptComponent component;
    EXPECT_EQ(takeText(component.evaluateExpression("5/2")), "2.5");
    EXPECT_EQ(takeText(component.evaluateExpression("8/(3-8/3)")), "24");
    EXPECT_EQ(takeText(resultToText(ScriptValue(1.2e15))), "1.2E+15");
    EXPECT_EQ(takeText(resultToText(ScriptValue(-0.5))), "-.5");
    std::setlocale(LC_ALL, "C");
}

} // namespace
