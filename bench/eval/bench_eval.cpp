// SPDX-License-Identifier: MIT
#include <benchmark/benchmark.h>

#include "eval/scriptcomponent.h"

namespace {

// One check as the game makes it: evaluate, read the text, release it.
void evaluateExpression(benchmark::State &state, const char *expression)
{
    ScriptComponent component;
    for (auto _ : state) {
        Text text = component.evaluateExpression(expression);
        benchmark::DoNotOptimize(text);
        releaseMemory(text);
    }
}

} // namespace

BENCHMARK_CAPTURE(evaluateExpression, realDivision, "8/(3-8/3)");
BENCHMARK_CAPTURE(evaluateExpression, grouped, "(13-1)*2");
BENCHMARK_CAPTURE(evaluateExpression, product, "2*3*4*1");
BENCHMARK_CAPTURE(evaluateExpression, syntaxError, "(13-1)*2)");

BENCHMARK_MAIN();
