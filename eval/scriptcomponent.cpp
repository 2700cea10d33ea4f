// SPDX-License-Identifier: MIT
#include "eval/scriptcomponent.h"

#include <cstring>
#include <exception>
#include <string>

#include "eval/jscriptengine.h"
#include "eval/varianttext.h"
#include "evtexts.h"
#include "runtime/gbk.h"

namespace {

constexpr std::size_t languageCopyLimit = 40;
constexpr std::size_t errorTextLimit = 256;
constexpr std::int32_t defaultTimeout = -1;
constexpr std::string_view defaultLanguage = "JScript";

Text textOrNothing(std::string_view bytes)
{
    return bytes.empty() ? nullptr : newText(bytes);
}

} // namespace

std::string_view cutAtCharacter(std::string_view text, std::size_t limit)
{
    std::size_t end = 0;
    while (end < text.size()) {
        auto byte = static_cast<unsigned char>(text[end]);
        std::size_t width = isGbkLeadByte(byte) && end + 1 < text.size() ? 2 : 1;
        if (end + width > limit)
            break;
        end += width;
    }
    return text.substr(0, end);
}

struct ScriptComponent::State {
    std::unique_ptr<ScriptEngine> engine;
    bool engineCreated = false;
    std::string languageCopy; // at most languageCopyLimit bytes
    std::string errorText; // at most errorTextLimit bytes
    std::int32_t timeout = defaultTimeout;
    std::string language { defaultLanguage };
};

ScriptComponent::ScriptComponent(const EngineFactory &factory)
    : state(std::make_unique<State>())
{
    // Creating the engine. A factory that fails leaves the component without
    // an engine, silently: it still loads, and evaluates nothing.
    try {
        state->engine = factory ? factory() : createJScriptEngine();
    } catch (const std::exception &) {
        state->engine.reset();
    }
    if (state->engine) {
        state->engineCreated = true;
        state->languageCopy = defaultLanguage;
        state->engine->setAllowUI(true);
        state->engine->setLanguage(defaultLanguage);
    }

    // The control's settings: 脚本组件1 stores none, so the defaults stand.
    state->timeout = defaultTimeout;
    state->language = defaultLanguage;
    applyLanguage();
    if (state->engine)
        state->engine->setTimeout(state->timeout);
}

ScriptComponent::~ScriptComponent() = default;

bool ScriptComponent::engineCreated() const
{
    return state->engineCreated;
}

void ScriptComponent::applyLanguage()
{
    state->languageCopy = cutAtCharacter(state->language, languageCopyLimit);
    if (state->engine) {
        // A language the engine refuses is not reported here; evaluations
        // then fail.
        state->engine->setLanguage(state->language);
        state->engine->reset();
    }
}

PropertyValue ScriptComponent::readProperty(std::int32_t ownNumber)
{
    switch (ownNumber) {
    case scriptkind::language:
        return textValue(textOrNothing(state->language));
    case scriptkind::errorInfo:
        return textValue(composeErrorInfo());
    case scriptkind::timeout:
        return state->timeout;
    default:
        return 0;
    }
}

void ScriptComponent::writeProperty(std::int32_t ownNumber, PropertyValue value)
{
    switch (ownNumber) {
    case scriptkind::language:
        state->language = textView(valueText(value));
        applyLanguage();
        break;
    case scriptkind::timeout:
        state->timeout = static_cast<std::int32_t>(value);
        if (state->engine)
            state->engine->setTimeout(state->timeout);
        break;
    default:
        break; // 错误信息 is read only
    }
}

Text ScriptComponent::evaluateExpression(Text expression)
{
    if (!state->engine)
        return nullptr;
    std::optional<ScriptValue> value;
    try {
        value = state->engine->eval(textView(expression));
    } catch (const std::exception &) {
        return nullptr; // memory ran out in the call: like any failure
    }
    if (!value)
        return nullptr;
    return resultToText(*value);
}

Text ScriptComponent::composeErrorInfo()
{
    if (!state->engineCreated) {
        state->errorText = ev::engineMissing;
    } else if (auto error = state->engine->error(); !error) {
        state->errorText.clear();
    } else {
        std::string composed = "Error: " + error->description + ", " + error->text + "; in line "
            + std::to_string(error->line);
        // Cut by bytes on a character boundary: the text may hold Chinese.
        state->errorText = cutAtCharacter(composed, errorTextLimit);
        state->engine->clearError();
    }
    return textOrNothing(state->errorText);
}

Text resultToText(const ScriptValue &value)
{
    std::optional<std::string> text = variantText(value);
    if (!text || text->empty())
        return nullptr;
    if (isRealKind(value) && text->front() == '.')
        text->insert(text->begin(), '0');
    return newText(*text);
}

namespace scriptkind {

Text name()
{
    return ev::kindName;
}

const std::array<PropertyInfo, 3> &properties()
{
    static const std::array<PropertyInfo, 3> list { {
        { language, ev::languageName, "Language", ValueKind::text, false, "JScript", 0,
            ev::languageDescription },
        { errorInfo, ev::errorInfoName, "ErrorInfo", ValueKind::text, true, nullptr, 0,
            ev::errorInfoDescription },
        { timeout, ev::timeoutName, "TimeOut", ValueKind::integer, false, nullptr, defaultTimeout,
            ev::timeoutDescription },
    } };
    return list;
}

const std::array<EventInfo, 1> &events()
{
    static const std::array<EventInfo, 1> list {
        { { 0, ev::timeoutEventName, ev::timeoutEventDescription } }
    };
    return list;
}

} // namespace scriptkind
