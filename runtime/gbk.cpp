// SPDX-License-Identifier: MIT
#include "gbk.h"

#include <cerrno>
#include <iconv.h>

namespace {

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
