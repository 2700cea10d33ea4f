// SPDX-License-Identifier: MIT
#pragma once

#include <memory>

#include "eval/scriptengine.h"

// The built-in engine that stands in for the Script Control: JScript
// expressions over the game's characters (see eval/expression.h). It knows
// the language names "JScript" and "JavaScript", in any case; under any other
// name every evaluation fails. It takes texts in the program's code page and
// finishes every evaluation in time linear in the text, so the timeout is
// kept but never has to interrupt anything.
class JScriptEngine final : public ScriptEngine {
public:
    bool setAllowUI(bool allow) override;
    bool setLanguage(std::string_view language) override;
    bool reset() override;
    bool setTimeout(std::int32_t milliseconds) override;
    std::optional<ScriptValue> eval(std::string_view expression) override;
    std::optional<ScriptError> error() const override;
    void clearError() override;

private:
    bool languageKnown = false;
    bool allowUI = false;
    std::int32_t timeout = -1;
    std::optional<ScriptError> lastError;
};

[[nodiscard]] std::unique_ptr<ScriptEngine> createJScriptEngine();
