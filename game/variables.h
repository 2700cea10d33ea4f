// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

#include "runtime/memory.h"

// The whole game state. Everything else the player sees lives in the
// controls and is read back from them.
extern void *cardValues; // array block of four ranks, for 图片框1 to 图片框4
extern Text historyText; // history line of the current deal
extern std::int32_t dealCounter; // card being dealt, 1 to 4; 5 once the deal is done
extern std::int32_t suitNumber; // suit drawn for that card, 1 to 4
extern Text suitName; // "黑桃", "红桃", "梅花" or "方块"
extern std::int32_t rankNumber; // rank drawn for that card, 1 to 13
extern Text cardFileName; // its picture's file name
extern Text cardFilePath; // and full path
extern Text resultText; // text of the last evaluation
