// SPDX-License-Identifier: MIT
#pragma once

// A game session in this process: the run time started once with the game's
// handlers, then for each test a fresh window and fresh program variables.

#include <QTest>
#include <QWidget>

#include <string>

#include "game/form.h"
#include "game/program.h"
#include "game/variables.h"
#include "runtime/gbk.h"
#include "runtime/random.h"
#include "window/operations.h"
#include "window/qt/qtplatform.h"
#include "window/qt/qttesting.h"
#include "window/testing.h"

namespace session {

inline std::uint32_t wantedSeed = 0;

// Clock seeding then gives exactly wantedSeed, whatever the seed counter.
inline std::uint32_t seededClock()
{
    return wantedSeed - randomSeedCounter();
}

inline void start()
{
    startRuntime(qtPlatform(), gameForm(), gameHandlers());
}

inline void openWindow()
{
    initProgramVariables();
    loadWindow(mainWindow);
    setTickSource(nullptr);
}

inline void closeWindow()
{
    unloadWindow(mainWindow);
    releaseProgramVariables();
}

inline void nextDealSeed(std::uint32_t seed)
{
    wantedSeed = seed;
    setTickSource(seededClock);
}

inline QWidget *widget(ControlId control)
{
    return controlWidget(mainWindow, control);
}

inline void click(ControlId control)
{
    QWidget *target = widget(control);
    QVERIFY(target);
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(target->width() / 2, target->height() / 2));
}

inline std::string utf8(Text gbk)
{
    return gbk ? gbkToUtf8(gbk).value_or("<not GBK>") : std::string();
}

inline std::string readTextUtf8(ControlId control, std::int32_t property)
{
    Text text = valueText(readProperty(mainWindow, control, property, -1));
    std::string result = utf8(text);
    releaseMemory(text);
    return result;
}

inline std::int32_t readNumber(ControlId control, std::int32_t property)
{
    return std::int32_t(readProperty(mainWindow, control, property, -1));
}

inline std::string expression()
{
    return readTextUtf8(control::expressionBox, std::int32_t(EditProperty::content));
}

inline std::string verdict()
{
    return readNumber(control::verdictLabel, std::int32_t(Property::visible))
        ? readTextUtf8(control::verdictLabel, std::int32_t(LabelProperty::text))
        : std::string();
}

inline std::int32_t elapsed()
{
    return readNumber(control::timeBar, std::int32_t(ProgressProperty::position));
}

inline std::string timeLabel()
{
    return readTextUtf8(control::timeLabel, std::int32_t(LabelProperty::text));
}

// One tick of 时钟1, as its timer would give it; false when the timer is
// stopped and so gives none.
[[nodiscard]] inline bool tick()
{
    return fireTimerTick(mainWindow, control::countdownTimer);
}

// How often 时钟1 has been started since the window was loaded.
inline int timerStarts()
{
    return ::timerStarts(mainWindow, control::countdownTimer);
}

inline constexpr ControlId cards[]
    = { control::cardBox1, control::cardBox2, control::cardBox3, control::cardBox4 };

} // namespace session
