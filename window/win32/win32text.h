// SPDX-License-Identifier: MIT
#pragma once

// Texts at the Windows edge, free of any window: what the backend shows
// and hands back, kept apart so that tests reach them without a window.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// GBK bytes as UTF-16 for the Windows API; a byte sequence that is no GBK
// becomes U+FFFD, one character at a time, so that one bad byte spoils only
// itself.
std::wstring wideFromGbk(std::string_view gbk);

// UTF-16 from the system as GBK bytes; characters GBK lacks become '?'.
std::string gbkFromWide(std::wstring_view wide);

// A picture comment as the core makes it for a screen reader
// (pictureCommentText), in UTF-16.
std::wstring wideCommentText(std::string_view bytes);

// The characters that character messages brought for one key press, each as
// its GBK code (a Chinese character as lead byte * 256 + trail byte); a
// character GBK lacks counts as '?'.
std::vector<std::int32_t> typedCodes(std::wstring_view characters);
