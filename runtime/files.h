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

// The whole file as a new byte block; no block for an empty name, a file that
// cannot be opened or read, or an empty file. "\" separates folders too.
[[nodiscard]] Bytes readFile(Text fileName);
