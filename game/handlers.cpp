// SPDX-License-Identifier: MIT
#include "handlers.h"

#include "form.h"
#include "gttexts.h"
#include "runtime/files.h"
#include "runtime/random.h"
#include "runtime/texts.h"
#include "variables.h"
#include "window/operations.h"

namespace {

constexpr ControlId cardBoxes[]
    = { control::cardBox1, control::cardBox2, control::cardBox3, control::cardBox4 };

ControlId cardBox(std::int32_t card)
{
    return cardBoxes[card - 1];
}

// Handlers hand "" to the controls where they hold no text.
Text orEmpty(Text t)
{
    return t ? t : "";
}

void writeMain(ControlId control, auto property, PropertyValue value)
{
    writeProperty(mainWindow, control, property, -1, value);
}

PropertyValue readMain(ControlId control, auto property)
{
    return readProperty(mainWindow, control, property, -1);
}

Text readText(ControlId control, auto property)
{
    return valueText(readMain(control, property));
}

void enableAllCards()
{
    for (ControlId box : cardBoxes)
        writeMain(box, Property::disabled, false);
}

void showVerdict(Text verdict)
{
    writeMain(control::verdictLabel, LabelProperty::text, textValue(verdict));
    writeMain(control::verdictLabel, Property::visible, true);
}

} // namespace

void dealHand()
{
    replaceText(historyText, "");
    writeMain(control::timeBar, ProgressProperty::position, 0);
    // The same period again leaves a running countdown on its rhythm.
    writeMain(control::countdownTimer, TimerProperty::period, 1000);
    writeMain(control::expressionBox, EditProperty::content, textValue(""));
    setRandomSeed();
    enableAllCards();
    writeMain(control::verdictLabel, Property::visible, false);

    for (dealCounter = 1; dealCounter <= 4; ++dealCounter) {
        suitNumber = randomNumber(1, 4);
        switch (suitNumber) {
        case 1:
            replaceText(suitName, gt::spades);
            break;
        case 2:
            replaceText(suitName, gt::hearts);
            break;
        case 3:
            replaceText(suitName, gt::clubs);
            break;
        default:
            replaceText(suitName, gt::diamonds);
            break;
        }
        rankNumber = randomNumber(1, 13);

        Text rank = toText(rankNumber);
        replaceText(cardFileName, joinTexts({ suitName, "(", rank, ").jpg" }));
        releaseMemory(rank);

        rank = toText(rankNumber);
        replaceText(historyText, joinTexts({ historyText, rank, " " }));
        releaseMemory(rank);

        Text folder = runDirectory();
        replaceText(cardFilePath, joinTexts({ folder, "\\pkp\\", cardFileName }));
        releaseMemory(folder);

        Bytes picture = readFile(cardFilePath);
        writeMain(cardBox(dealCounter), PictureProperty::picture, bytesValue(picture));
        releaseMemory(picture);

        intArrayElement(cardValues, dealCounter) = rankNumber;
    }
}

void pickCard(std::int32_t card)
{
    Text rank = toText(intArrayElement(cardValues, card));
    appendEditText(mainWindow, control::expressionBox, { orEmpty(rank) });
    releaseMemory(rank);
    writeMain(cardBox(card), Property::disabled, true);
}

void appendSymbol(const char *symbol)
{
    appendEditText(mainWindow, control::expressionBox, { symbol });
}

void clearExpression()
{
    writeMain(control::expressionBox, EditProperty::content, textValue(""));
    enableAllCards();
}

void checkAnswer()
{
    writeMain(control::timeBar, ProgressProperty::position, 0);
    writeMain(control::countdownTimer, TimerProperty::period, 0);

    Text expression = readText(control::expressionBox, EditProperty::content);
    replaceText(historyText, joinTexts({ historyText, expression, " " }));
    releaseMemory(expression);

    expression = readText(control::expressionBox, EditProperty::content);
    replaceText(resultText, evaluateExpression(mainWindow, control::scriptComponent, orEmpty(expression)));
    releaseMemory(expression);

    showVerdict(compareTexts(resultText, "24") == 0 ? gt::right : gt::wrong);

    Text verdict = readText(control::verdictLabel, LabelProperty::text);
    replaceText(historyText, joinTexts({ historyText, verdict, " " }));
    releaseMemory(verdict);

    addListItem(mainWindow, control::historyList, orEmpty(historyText));
}

void toggleHistory()
{
    Text caption = readText(control::historyButton, ButtonProperty::caption);
    const bool shown = compareTexts(caption, gt::historyShown) == 0;
    releaseMemory(caption);
    if (shown) {
        writeMain(control::mainWindowUnit, Property::width, narrowWindowWidth);
        writeMain(control::historyButton, ButtonProperty::caption, textValue(gt::historyHidden));
    } else {
        writeMain(control::mainWindowUnit, Property::width, mainWindowWidth);
        writeMain(control::historyButton, ButtonProperty::caption, textValue(gt::historyShown));
    }
}

void countdownTick()
{
    const auto elapsed = std::int32_t(readMain(control::timeBar, ProgressProperty::position));
    writeMain(
        control::timeBar, ProgressProperty::position, std::int32_t(truncateToInteger(double(elapsed) + 1.0)));

    const double remaining = 100.0 - std::int32_t(readMain(control::timeBar, ProgressProperty::position));
    Text seconds = toText(remaining);
    Text label = joinTexts({ gt::timeLeft, seconds, gt::seconds });
    writeMain(control::timeLabel, LabelProperty::text, textValue(label));
    releaseMemory(seconds);
    releaseMemory(label);

    if (std::int32_t(readMain(control::timeBar, ProgressProperty::position)) == 100) {
        showVerdict(gt::wrong);
        writeMain(control::countdownTimer, TimerProperty::period, 0);
    }
}
