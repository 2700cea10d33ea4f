// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "eval/scriptengine.h"
#include "runtime/memory.h"

// The 脚本组件 kind: hosts a script engine and evaluates one expression at a
// time. Own properties, numbered from 0 among themselves: 0 语言 (text,
// "JScript"), 1 错误信息 (text, read only), 2 超时 (milliseconds, -1).
class ScriptComponent {
public:
    using EngineFactory = std::function<std::unique_ptr<ScriptEngine>()>;

    // Creates the engine through `factory` (the built-in JScript engine when
    // empty); a factory that gives no engine leaves the component without one.
    explicit ScriptComponent(const EngineFactory &factory = {});
    ~ScriptComponent();
    ScriptComponent(const ScriptComponent &) = delete;
    ScriptComponent &operator=(const ScriptComponent &) = delete;

    bool engineCreated() const;

    // Texts are read as a new Text (no text for empty) and written as Text.
    [[nodiscard]] PropertyValue readProperty(std::int32_t ownNumber);
    void writeProperty(std::int32_t ownNumber, PropertyValue value);

    // The expression's value as a new text, or no text.
    [[nodiscard]] Text evaluateExpression(Text expression);

private:
    struct State;
    std::unique_ptr<State> state;

    void applyLanguage();
    Text composeErrorInfo();
};

// A value as the game reads it: its text as VariantChangeType to VT_BSTR
// gives it, with "0" put before a real's leading "."; no text for an empty
// value, an empty string or a value without a text form.
[[nodiscard]] Text resultToText(const ScriptValue &value);

// The most of `text` that fits in `limit` bytes without splitting a GBK
// double-byte character.
[[nodiscard]] std::string_view cutAtCharacter(std::string_view text, std::size_t limit);

// What the kind declares about itself, as a designer lists it.
namespace scriptkind {
enum class ValueKind { text, integer };
struct PropertyInfo {
    std::int32_t ownNumber;
    Text name;
    std::string_view englishName;
    ValueKind kind;
    bool readOnly;
    Text defaultText; // text properties; nullptr: none
    std::int32_t defaultNumber; // integer properties
    Text description;
};
struct EventInfo {
    std::int32_t number;
    Text name;
    Text description;
};

enum : std::int32_t { language = 0, errorInfo = 1, timeout = 2 };
inline constexpr std::string_view englishName = "Script";
Text name();
const std::array<PropertyInfo, 3> &properties();
const std::array<EventInfo, 1> &events(); // declared only: never raised
inline constexpr std::array<std::string_view, 2> languageChoices { "JScript", "VBScript" };
} // namespace scriptkind
