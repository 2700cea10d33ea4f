// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "eval/scriptengine.h"

// What evaluating one text as a JScript program gives: a value, or the
// description of the error that stopped it (in JScript's own wording).
struct ExpressionOutcome {
    std::optional<ScriptValue> value;
    std::string_view errorDescription; // empty when there is a value
    // Where a syntax error was found (a byte offset); npos for an error at
    // run time.
    std::size_t errorPosition = std::string_view::npos;
};

// Evaluates the whole text as one JScript expression. The language subset is
// what the game's texts are made of: decimal and legacy octal literals, the
// operators + - * / ++ --, parentheses and calls, comments and the regular
// expression literals a "/" can start, plus blanks. Any other character is
// "Invalid character". The exponent operator "**" came after JScript and is
// a syntax error, as there. A text of nothing but comments and blanks gives the
// empty value. Nesting is limited by memory only: nothing here recurses.
[[nodiscard]] ExpressionOutcome evaluateJScriptExpression(std::string_view text);

// A number as JScript writes it when joining it to a string ("0.5", "1e+21").
[[nodiscard]] std::string jsNumberToString(double value);
