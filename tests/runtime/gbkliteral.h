// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

#include "runtime/gbk.h"

// Tests write texts readably in UTF-8; the program sees GBK bytes.
inline std::string gbk(std::string_view utf8)
{
    return utf8ToGbk(utf8).value();
}
