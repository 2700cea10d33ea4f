// SPDX-License-Identifier: MIT
#include "qttext.h"

#include <QList>

#include "runtime/gbk.h"

QString fromGbk(std::string_view gbk)
{
    if (auto utf8 = gbkToUtf8(gbk))
        return QString::fromStdString(*utf8);
    // Character by character, so one bad byte spoils only itself.
    QString text;
    for (std::size_t i = 0; i < gbk.size();) {
        const std::size_t length
            = isGbkLeadByte(static_cast<unsigned char>(gbk[i])) && i + 1 < gbk.size() ? 2 : 1;
        if (auto one = gbkToUtf8(gbk.substr(i, length)))
            text += QString::fromStdString(*one);
        else
            text += QChar::ReplacementCharacter;
        i += length;
    }
    return text;
}

std::string toGbk(const QString &text)
{
    if (auto gbk = utf8ToGbk(text.toStdString()))
        return *gbk;
    std::string out;
    for (const uint codePoint : text.toUcs4()) {
        const QString one = QString::fromUcs4(reinterpret_cast<const char32_t *>(&codePoint), 1);
        out += utf8ToGbk(one.toStdString()).value_or("?");
    }
    return out;
}
