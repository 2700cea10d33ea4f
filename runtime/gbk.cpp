// SPDX-License-Identifier: MIT
#include "gbk.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <iconv.h>
#endif

namespace {

#ifdef _WIN32
// Code page 936 is GBK. Both steps go through UTF-16 and refuse what does
// not convert exactly (MB_ERR_INVALID_CHARS, and a default character used).
constexpr UINT gbkCodePage = 936;

std::optional<std::wstring> toUtf16(std::string_view input, UINT codePage)
{
    if (input.empty())
        return std::wstring();
    if (input.size() > 0x3fffffff)
        return std::nullopt;
    const int n
        = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, input.data(), int(input.size()), nullptr, 0);
    if (n <= 0)
        return std::nullopt;
    std::wstring wide(std::size_t(n), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, input.data(), int(input.size()), wide.data(), n);
    return wide;
}

std::optional<std::string> fromUtf16(const std::wstring &wide, UINT codePage)
{
    if (wide.empty())
        return std::string();
    // UTF-8 takes no default character: invalid UTF-16 is refused by the flag.
    const DWORD flags = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : 0;
    BOOL defaulted = FALSE;
    BOOL *usedDefault = codePage == CP_UTF8 ? nullptr : &defaulted;
    const int n = WideCharToMultiByte(
        codePage, flags, wide.data(), int(wide.size()), nullptr, 0, nullptr, usedDefault);
    if (n <= 0 || defaulted)
        return std::nullopt;
    std::string output(std::size_t(n), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()), output.data(), n, nullptr, nullptr);
    return output;
}

std::optional<std::string> convert(std::string_view input, UINT from, UINT to)
{
    const auto wide = toUtf16(input, from);
    if (!wide)
        return std::nullopt;
    return fromUtf16(*wide, to);
}

} // namespace

std::optional<std::string> gbkToUtf8(std::string_view gbk)
{
    return convert(gbk, gbkCodePage, CP_UTF8);
}

std::optional<std::string> utf8ToGbk(std::string_view utf8)
{
    return convert(utf8, CP_UTF8, gbkCodePage);
}

std::optional<std::wstring> gbkToWide(std::string_view gbk)
{
    return toUtf16(gbk, gbkCodePage);
}

std::optional<std::string> wideToGbk(std::wstring_view wide)
{
    return fromUtf16(std::wstring(wide), gbkCodePage);
}

#else

std::optional<std::string> convert(std::string_view input, const char *from, const char *to)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1)) // NOLINT(performance-no-int-to-ptr): iconv's own failure value
        return std::nullopt;
    std::string output(input.size() * 2 + 8, '\0');
    char *in = const_cast<char *>(input.data());
    std::size_t inLeft = input.size();
    std::size_t done = 0;
    bool ok = true;
    while (inLeft > 0) {
        char *out = output.data() + done;
        std::size_t outLeft = output.size() - done;
        const std::size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
        done = output.size() - outLeft;
        if (rc != std::size_t(-1))
            break;
        if (errno != E2BIG) {
            ok = false; // invalid or incomplete sequence: no guessing
            break;
        }
        output.resize(output.size() * 2);
    }
    iconv_close(cd);
    if (!ok)
        return std::nullopt;
    output.resize(done);
    return output;
}

} // namespace

std::optional<std::string> gbkToUtf8(std::string_view gbk)
{
    return convert(gbk, "GBK", "UTF-8");
}

std::optional<std::string> utf8ToGbk(std::string_view utf8)
{
    return convert(utf8, "UTF-8", "GBK");
}
#endif
