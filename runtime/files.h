// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

#include "memory.h"

// Finds the program file, fixes the run directory (its folder, GBK, without
// a trailing separator) and makes it the current directory.
void initRunDirectory();
// Test seam: fixes the run directory from a program path in GBK, found
// character by character so a second byte 0x5C is never a separator.
void setRunDirectoryFromProgramPath(std::string_view gbkProgramPath);

// The run directory as a new text; no text when it is empty.
[[nodiscard]] Text runDirectory();

// Files are read whole, at every deal; a damaged or hostile card file of
// hundreds of megabytes would stall the game, and no picture the game can
// show needs more than this.
inline constexpr long long maxReadBytes = 64LL * 1024 * 1024;

// The whole file as a new byte block; no block for an empty name, a file that
// cannot be opened or read, an empty file or one over maxReadBytes. "\"
// separates folders too.
[[nodiscard]] Bytes readFile(Text fileName);
