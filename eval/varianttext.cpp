// SPDX-License-Identifier: MIT
#include "eval/varianttext.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

std::string exponentForm(const std::string &digits, int exponent)
{
    std::string out(1, digits[0]);
    if (digits.size() > 1) {
        out += '.';
        out += digits.substr(1);
    }
    out += exponent < 0 ? "E-" : "E+";
    const int magnitude = std::abs(exponent);
    if (magnitude < 10)
        out += '0'; // at least two exponent digits
    out += std::to_string(magnitude);
    return out;
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

    // Rounded (not cut) to the precision, then trailing zeros dropped. The
    // digits come from to_chars, which never consults the C locale: printf
    // would write the user's decimal comma once the application has called
    // setlocale, and "24" would come out as "2,.4".
    char buffer[64];
    const auto written = std::to_chars(
        buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, precision - 1);
    const std::string_view scientific(buffer, static_cast<std::size_t>(written.ptr - buffer));
    const auto ePos = scientific.find('e');
    std::string digits;
    for (char c : scientific.substr(0, ePos))
        if (c != '.')
            digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string_view exponentText = scientific.substr(ePos + 1);
    if (exponentText.front() == '+')
        exponentText.remove_prefix(1); // from_chars takes no plus sign
    int exponent = 0;
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
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
