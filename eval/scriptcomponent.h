#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "runtime/memory.h"

class ScriptEngine; // the engine interface, eval/scriptengine.h

// The 脚本组件 kind: hosts a script engine and evaluates one expression at a
// time. Own properties, numbered from 0 among themselves: 0 语言 (text,
// "JScript"), 1 错误信息 (text, read only), 2 超时 (milliseconds, -1).
class ScriptComponent {
public:
    using EngineFactory = std::function<std::unique_ptr<ScriptEngine>()>;

    // Creates the engine through `factory` (the built-in JScript engine when
    // empty); a factory that gives no engine leaves the component without one.
    explicit ScriptComponent(EngineFactory factory = {});
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
};
