// SPDX-License-Identifier: MIT
#include "keycodes.h"

#include <utility>

#include <QList>

#include "qttext.h"

namespace {

// Windows virtual-key codes that have no letter or digit of their own.
enum : std::int32_t {
    vkBack = 0x08,
    vkTab = 0x09,
    vkClear = 0x0c,
    vkReturn = 0x0d,
    vkShift = 0x10,
    vkControl = 0x11,
    vkMenu = 0x12,
    vkPause = 0x13,
    vkCapital = 0x14,
    vkEscape = 0x1b,
    vkSpace = 0x20,
    vkPrior = 0x21,
    vkNext = 0x22,
    vkEnd = 0x23,
    vkHome = 0x24,
    vkLeft = 0x25,
    vkUp = 0x26,
    vkRight = 0x27,
    vkDown = 0x28,
    vkSnapshot = 0x2c,
    vkInsert = 0x2d,
    vkDelete = 0x2e,
    vkHelp = 0x2f,
    vkLWin = 0x5b,
    vkApps = 0x5d,
    vkMultiply = 0x6a,
    vkAdd = 0x6b,
    vkF1 = 0x70,
    vkNumLock = 0x90,
    vkScroll = 0x91,
    vkOem1 = 0xba,
    vkOemPlus = 0xbb,
    vkOemComma = 0xbc,
    vkOemMinus = 0xbd,
    vkOemPeriod = 0xbe,
    vkOem2 = 0xbf,
    vkOem3 = 0xc0,
    vkOem4 = 0xdb,
    vkOem5 = 0xdc,
    vkOem6 = 0xdd,
    vkOem7 = 0xde,
};

constexpr std::pair<int, std::int32_t> namedKeys[] = {
    { Qt::Key_Backspace, vkBack },
    { Qt::Key_Tab, vkTab },
    { Qt::Key_Backtab, vkTab },
    { Qt::Key_Clear, vkClear },
    { Qt::Key_Return, vkReturn },
    { Qt::Key_Enter, vkReturn },
    { Qt::Key_Shift, vkShift },
    { Qt::Key_Control, vkControl },
    { Qt::Key_Alt, vkMenu },
    { Qt::Key_Pause, vkPause },
    { Qt::Key_CapsLock, vkCapital },
    { Qt::Key_Escape, vkEscape },
    { Qt::Key_Space, vkSpace },
    { Qt::Key_PageUp, vkPrior },
    { Qt::Key_PageDown, vkNext },
    { Qt::Key_End, vkEnd },
    { Qt::Key_Home, vkHome },
    { Qt::Key_Left, vkLeft },
    { Qt::Key_Up, vkUp },
    { Qt::Key_Right, vkRight },
    { Qt::Key_Down, vkDown },
    { Qt::Key_Print, vkSnapshot },
    { Qt::Key_Insert, vkInsert },
    { Qt::Key_Delete, vkDelete },
    { Qt::Key_Help, vkHelp },
    { Qt::Key_Meta, vkLWin },
    { Qt::Key_Menu, vkApps },
    { Qt::Key_NumLock, vkNumLock },
    { Qt::Key_ScrollLock, vkScroll },
    // Symbols by the key they are typed on.
    { Qt::Key_Semicolon, vkOem1 },
    { Qt::Key_Colon, vkOem1 },
    { Qt::Key_Equal, vkOemPlus },
    { Qt::Key_Plus, vkOemPlus },
    { Qt::Key_Comma, vkOemComma },
    { Qt::Key_Less, vkOemComma },
    { Qt::Key_Minus, vkOemMinus },
    { Qt::Key_Underscore, vkOemMinus },
    { Qt::Key_Period, vkOemPeriod },
    { Qt::Key_Greater, vkOemPeriod },
    { Qt::Key_Slash, vkOem2 },
    { Qt::Key_Question, vkOem2 },
    { Qt::Key_QuoteLeft, vkOem3 },
    { Qt::Key_AsciiTilde, vkOem3 },
    { Qt::Key_BracketLeft, vkOem4 },
    { Qt::Key_BraceLeft, vkOem4 },
    { Qt::Key_Backslash, vkOem5 },
    { Qt::Key_Bar, vkOem5 },
    { Qt::Key_BracketRight, vkOem6 },
    { Qt::Key_BraceRight, vkOem6 },
    { Qt::Key_Apostrophe, vkOem7 },
    { Qt::Key_QuoteDbl, vkOem7 },
    { Qt::Key_Exclam, '1' },
    { Qt::Key_At, '2' },
    { Qt::Key_NumberSign, '3' },
    { Qt::Key_Dollar, '4' },
    { Qt::Key_Percent, '5' },
    { Qt::Key_AsciiCircum, '6' },
    { Qt::Key_Ampersand, '7' },
    { Qt::Key_Asterisk, '8' },
    { Qt::Key_ParenLeft, '9' },
    { Qt::Key_ParenRight, '0' },
};

} // namespace

std::int32_t virtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier) {
        // Keypad keys that have no twin on the main keyboard keep codes of
        // their own; the others (digits, minus, point, slash) share theirs.
        if (qtKey == Qt::Key_Asterisk)
            return vkMultiply;
        if (qtKey == Qt::Key_Plus)
            return vkAdd;
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return qtKey; // Qt's letter keys are the upper-case letters, as are the codes
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return vkF1 + (qtKey - Qt::Key_F1);
    for (const auto &[key, code] : namedKeys) {
        if (key == qtKey)
            return code;
    }
    return 0;
}

std::vector<std::int32_t> typedCharacters(int qtKey, Qt::KeyboardModifiers modifiers, const QString &text)
{
    if (modifiers & Qt::AltModifier)
        return {};
    // Keys whose characters are control characters, whatever text the
    // platform attaches to them (some attach none, some attach DEL to
    // Delete, which types nothing).
    if (modifiers & Qt::ControlModifier) {
        if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
            return { qtKey - Qt::Key_A + 1 };
        switch (qtKey) {
        case Qt::Key_BracketLeft:
            return { 0x1b };
        case Qt::Key_Backslash:
            return { 0x1c };
        case Qt::Key_BracketRight:
            return { 0x1d };
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return { 0x0a };
        case Qt::Key_Backspace:
            return { 0x7f };
        case Qt::Key_Space:
            return { ' ' };
        default:
            return {};
        }
    }
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return { '\r' };
    case Qt::Key_Backspace:
        return { '\b' };
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return { '\t' };
    case Qt::Key_Escape:
        return { 0x1b };
    default:
        break;
    }
    std::vector<std::int32_t> characters;
    for (const uint codePoint : text.toUcs4()) {
        if (QChar::category(char32_t(codePoint)) == QChar::Other_Control)
            continue;
        std::int32_t character = 0;
        const QString one = QString::fromUcs4(reinterpret_cast<const char32_t *>(&codePoint), 1);
        for (unsigned char byte : toGbk(one))
            character = (character << 8) | byte;
        characters.push_back(character);
    }
    return characters;
}
