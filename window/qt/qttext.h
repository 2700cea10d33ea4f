// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

#include <QString>

// Texts cross into Qt here. The game's bytes are kept as written; only what
// is shown is converted, so a byte that is no GBK shows as U+FFFD rather than
// losing the whole text, and a character with no GBK form reads back as "?".
QString fromGbk(std::string_view gbk);
std::string toGbk(const QString &text);
