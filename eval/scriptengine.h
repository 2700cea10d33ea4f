// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

// A value as a script engine hands it back, after the kinds of an OLE
// Automation VARIANT that matter here. Texts are in the program's code page.
struct ScriptCurrency {
    std::int64_t units; // ten-thousandths
    bool operator==(const ScriptCurrency &) const = default;
};
// An object, seen through its default value as text (e.g. a regular
// expression's "/1/").
struct ScriptObject {
    std::string text;
    bool operator==(const ScriptObject &) const = default;
};
using ScriptValue = std::variant<std::monostate, // empty
    std::int32_t, float, double, ScriptCurrency, std::string, ScriptObject>;

// The parts of the last error an engine keeps until it is cleared.
struct ScriptError {
    std::string description;
    std::string text; // the source text the error was found in
    std::int32_t line = 0;
};

// The calls the script component makes on its engine. Each setter reports
// success; eval gives the value or nothing, leaving the error to error().
class ScriptEngine {
public:
    virtual ~ScriptEngine() = default;

    virtual bool setAllowUI(bool allow) = 0;
    virtual bool setLanguage(std::string_view language) = 0;
    virtual bool reset() = 0;
    virtual bool setTimeout(std::int32_t milliseconds) = 0; // -1: no limit

    // Evaluates the whole text as one expression.
    virtual std::optional<ScriptValue> eval(std::string_view expression) = 0;

    // The error kept since the last clear, or none.
    virtual std::optional<ScriptError> error() const = 0;
    virtual void clearError() = 0;
};
