// SPDX-License-Identifier: MIT
#include "program.h"

#include <array>
#include <cfenv>

#include "form.h"
#include "handlers.h"
#include "variables.h"

void *cardValues = nullptr;
Text historyText = nullptr;
std::int32_t dealCounter = 0;
std::int32_t suitNumber = 0;
Text suitName = nullptr;
std::int32_t rankNumber = 0;
Text cardFileName = nullptr;
Text cardFilePath = nullptr;
Text resultText = nullptr;

namespace {

// Handlers take no arguments and give no result; the adapters drop the
// event's arguments and give the run time nothing to act on.
template <void (*handler)()> std::optional<std::int32_t> plain(const EventRecord &)
{
    handler();
    return std::nullopt;
}

template <std::int32_t card> std::optional<std::int32_t> pick(const EventRecord &)
{
    pickCard(card);
    return std::nullopt;
}

template <const char *symbol> std::optional<std::int32_t> append(const EventRecord &)
{
    appendSymbol(symbol);
    return std::nullopt;
}

constexpr char plus[] = "+";
constexpr char minus[] = "-";
constexpr char times[] = "*";
constexpr char divide[] = "/";
constexpr char openParen[] = "(";
constexpr char closeParen[] = ")";

const std::array<NamedHandler, 15> handlers { {
    { "dealHand", plain<dealHand> },
    { "pickCard1", pick<1> },
    { "pickCard2", pick<2> },
    { "pickCard3", pick<3> },
    { "pickCard4", pick<4> },
    { "appendPlus", append<plus> },
    { "appendMinus", append<minus> },
    { "appendMultiply", append<times> },
    { "appendDivide", append<divide> },
    { "appendOpenParen", append<openParen> },
    { "appendCloseParen", append<closeParen> },
    { "clearExpression", plain<clearExpression> },
    { "checkAnswer", plain<checkAnswer> },
    { "toggleHistory", plain<toggleHistory> },
    { "countdownTick", plain<countdownTick> },
} };

} // namespace

std::span<const NamedHandler> gameHandlers()
{
    return handlers;
}

void initProgramVariables()
{
    cardValues = newIntArray(4);
}

void releaseProgramVariables()
{
    releaseMemory(cardValues);
    cardValues = nullptr;
    for (Text *variable : { &historyText, &suitName, &cardFileName, &cardFilePath, &resultText })
        replaceText(*variable, nullptr);
}

int startProgram(Platform &platform)
{
    startRuntime(platform, gameForm(), gameHandlers());
    // Round to nearest with every floating-point exception masked, whatever
    // the environment left behind.
    std::fesetround(FE_TONEAREST);
#if defined(__GLIBC__)
    fedisableexcept(FE_ALL_EXCEPT);
#endif
    initProgramVariables();
    registerExitRoutine(releaseProgramVariables);
    loadWindow(mainWindow);
    runMessageLoop();
    return 0;
}
