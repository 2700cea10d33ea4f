// SPDX-License-Identifier: MIT
// Each handler on the real window (offscreen), and a deal against bare
// libjpeg decoding of the same four picture files.

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "barejpeg.h"

#include "game/form.h"
#include "game/handlers.h"
#include "game/program.h"
#include "game/variables.h"
#include "runtime/random.h"
#include "window/operations.h"
#include "window/qt/qtplatform.h"

namespace {

// Every deal then draws 方块(5) 红桃(12) 黑桃(1) 梅花(7).
std::uint32_t fixedDealClock()
{
    return 10423 - randomSeedCounter();
}

std::vector<std::vector<unsigned char>> readAll(const std::vector<std::string> &names)
{
    std::vector<std::vector<unsigned char>> files;
    for (const std::string &name : names) {
        std::ifstream in(name, std::ios::binary | std::ios::ate);
        std::vector<unsigned char> bytes(std::size_t(in.tellg()));
        in.seekg(0);
        in.read(reinterpret_cast<char *>(bytes.data()), std::streamsize(bytes.size()));
        files.push_back(std::move(bytes));
    }
    return files;
}

void dealHandWithRealPictures(benchmark::State &state)
{
    setTickSource(fixedDealClock);
    for (auto _ : state)
        dealHand();
    setTickSource(nullptr);
}
BENCHMARK(dealHandWithRealPictures)->Unit(benchmark::kMicrosecond);

void bareLibjpegOfTheSameFourFiles(benchmark::State &state)
{
    const std::vector<std::string> names { "pkp/方块(5).jpg", "pkp/红桃(12).jpg", "pkp/黑桃(1).jpg",
        "pkp/梅花(7).jpg" };
    std::vector<unsigned char> pixels;
    for (auto _ : state) {
        // A deal reads the files every time too.
        for (const auto &file : readAll(names))
            bareJpegDecode(file.data(), file.size(), pixels);
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(bareLibjpegOfTheSameFourFiles)->Unit(benchmark::kMicrosecond);

void pickCardThenRewrite(benchmark::State &state)
{
    for (auto _ : state) {
        pickCard(1);
        pickCard(2);
        pickCard(3);
        pickCard(4);
        clearExpression();
    }
    state.SetItemsProcessed(state.iterations() * 5);
}
BENCHMARK(pickCardThenRewrite)->Unit(benchmark::kMicrosecond);

void appendSymbolHandler(benchmark::State &state)
{
    std::int64_t appended = 0;
    for (auto _ : state) {
        appendSymbol("+");
        if (++appended % 200 == 0) {
            state.PauseTiming();
            clearExpression();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(appendSymbolHandler)->Unit(benchmark::kMicrosecond);

void checkAnswerHandler(benchmark::State &state)
{
    writeProperty(mainWindow, control::expressionBox, EditProperty::content, -1, textValue("8/(3-8/3)"));
    for (auto _ : state) {
        // A player checks a few times per deal, not thousands: keep the
        // history line as long as a deal's.
        state.PauseTiming();
        replaceText(historyText, newText("5 12 1 7 8/(3-8/3) \xd5\xfd\xc8\xb7\xa3\xa1 "));
        state.ResumeTiming();
        checkAnswer();
    }
}
BENCHMARK(checkAnswerHandler)->Unit(benchmark::kMicrosecond);

void toggleHistoryHandler(benchmark::State &state)
{
    for (auto _ : state)
        toggleHistory();
}
BENCHMARK(toggleHistoryHandler)->Unit(benchmark::kMicrosecond);

void countdownTickHandler(benchmark::State &state)
{
    std::int64_t ticks = 0;
    for (auto _ : state) {
        countdownTick();
        if (++ticks % 99 == 0) {
            state.PauseTiming();
            writeProperty(mainWindow, control::timeBar, ProgressProperty::position, -1, 0);
            state.ResumeTiming();
        }
    }
    writeProperty(mainWindow, control::countdownTimer, TimerProperty::period, -1, 0);
}
BENCHMARK(countdownTickHandler)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    startRuntime(qtPlatform(), gameForm(), gameHandlers());
    initProgramVariables();
    loadWindow(mainWindow);
    QApplication::processEvents();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
