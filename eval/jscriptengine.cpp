// SPDX-License-Identifier: MIT
#include "eval/jscriptengine.h"

#include <algorithm>
#include <new>

#include "eval/expression.h"

namespace {

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

constexpr std::string_view noEngineForLanguage
    = "Script engine for the specified language can not be created";
constexpr std::string_view outOfMemory = "Out of memory";

} // namespace

bool JScriptEngine::setAllowUI(bool allow)
{
    allowUI = allow; // this engine never shows anything
    return true;
}

bool JScriptEngine::setLanguage(std::string_view language)
{
    // Language names are found without regard to case, and "JavaScript" names
    // the same engine as "JScript".
    languageKnown = sameIgnoringCase(language, "JScript") || sameIgnoringCase(language, "JavaScript");
    if (!languageKnown)
        lastError = ScriptError { std::string(noEngineForLanguage), std::string(language), 0 };
    return languageKnown;
}

bool JScriptEngine::reset()
{
    return languageKnown; // nothing is kept between evaluations
}

bool JScriptEngine::setTimeout(std::int32_t milliseconds)
{
    timeout = milliseconds;
    return true;
}

std::optional<ScriptValue> JScriptEngine::eval(std::string_view expression)
{
    try {
        if (!languageKnown) {
            lastError = ScriptError { std::string(noEngineForLanguage), std::string(expression), 0 };
            return std::nullopt;
        }
        ExpressionOutcome outcome = evaluateJScriptExpression(expression);
        if (outcome.value)
            return std::move(outcome.value);
        // The text is one line, so every error is in line 1.
        lastError = ScriptError { std::string(outcome.errorDescription), std::string(expression), 1 };
        return std::nullopt;
    } catch (const std::bad_alloc &) {
        lastError.reset();
        try {
            lastError = ScriptError { std::string(outOfMemory), std::string(expression), 1 };
        } catch (const std::bad_alloc &) {
        }
        return std::nullopt;
    }
}

std::optional<ScriptError> JScriptEngine::error() const
{
    return lastError;
}

void JScriptEngine::clearError()
{
    lastError.reset();
}

std::unique_ptr<ScriptEngine> createJScriptEngine()
{
    return std::make_unique<JScriptEngine>();
}
