#include "eval/varianttext.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

std::string exponentForm(const std::string &digits, int exponent)
{
    std::string out(1, digits[0]);
    if (digits.size() > 1) {
        out += '.';
        out += digits.substr(1);
    }
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return out + buffer;
}

std::string currencyText(ScriptCurrency value)
{
    bool negative = value.units < 0;
    // Through unsigned, so the most negative amount has a magnitude too.
    std::uint64_t magnitude
        = negative ? 0 - static_cast<std::uint64_t>(value.units) : static_cast<std::uint64_t>(value.units);
    std::uint64_t whole = magnitude / 10000;
    std::string fraction = std::to_string(magnitude % 10000 + 10000).substr(1);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    std::string out = negative ? "-" : "";
    if (whole != 0 || fraction.empty())
        out += std::to_string(whole);
    if (!fraction.empty())
        out += '.' + fraction;
    return out;
}

} // namespace

std::string realText(double value, int precision)
{
    if (std::isnan(value))
        return "-1.#IND";
    if (std::isinf(value))
        return value > 0 ? "1.#INF" : "-1.#INF";
    if (value == 0)
        return "0"; // -0 included

    // Rounded (not cut) to the precision, then trailing zeros dropped.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", precision - 1, std::fabs(value));
    std::string scientific(buffer);
    auto ePos = scientific.find('e');
    std::string digits;
    for (char c : scientific.substr(0, ePos))
        if (c != '.')
            digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int exponent = std::atoi(scientific.c_str() + ePos + 1);
    const int count = static_cast<int>(digits.size());

    std::string out = value < 0 ? "-" : "";
    const bool fixed = exponent < precision && (exponent >= 0 || -exponent + count - 1 <= precision);
    if (!fixed) {
        out += exponentForm(digits, exponent);
    } else if (exponent >= 0) {
        if (count <= exponent + 1) {
            out += digits;
            out.append(static_cast<std::size_t>(exponent + 1 - count), '0');
        } else {
            out += digits.substr(0, static_cast<std::size_t>(exponent) + 1);
            out += '.';
            out += digits.substr(static_cast<std::size_t>(exponent) + 1);
        }
    } else {
        // Fixed while the last digit lies within `precision` decimals.
        out += '.';
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    }
    return out;
}

std::optional<std::string> variantText(const ScriptValue &value)
{
    struct Visitor {
        std::optional<std::string> operator()(std::monostate) const { return std::string(); }
        std::optional<std::string> operator()(std::int32_t v) const { return std::to_string(v); }
        std::optional<std::string> operator()(float v) const { return realText(v, 7); }
        std::optional<std::string> operator()(double v) const { return realText(v, 15); }
        std::optional<std::string> operator()(ScriptCurrency v) const { return currencyText(v); }
        std::optional<std::string> operator()(const std::string &v) const { return v; }
        std::optional<std::string> operator()(const ScriptObject &v) const { return v.text; }
    };
    return std::visit(Visitor {}, value);
}

bool isRealKind(const ScriptValue &value)
{
    return std::holds_alternative<float>(value) || std::holds_alternative<double>(value)
        || std::holds_alternative<ScriptCurrency>(value);
}
