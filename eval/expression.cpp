// SPDX-License-Identifier: MIT
#include "eval/expression.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

// JScript's own wording for the errors this subset can meet.
namespace message {
constexpr std::string_view syntaxError = "Syntax error";
constexpr std::string_view expectedSemicolon = "Expected ';'";
constexpr std::string_view expectedParenthesis = "Expected ')'";
constexpr std::string_view expectedSlash = "Expected '/'";
constexpr std::string_view invalidCharacter = "Invalid character";
constexpr std::string_view unterminatedComment = "Unterminated comment";
constexpr std::string_view regexSyntax = "Syntax error in regular expression";
constexpr std::string_view illegalAssignment = "Illegal assignment";
constexpr std::string_view functionExpected = "Function expected";
} // namespace message

// The compiled program is postfix code, run on a value stack; the order of
// the code is JScript's order of evaluation, so the first run-time error met
// is the one JScript reports.
enum class Op : std::uint8_t {
    number,
    regex,
    plus,
    negate,
    add,
    subtract,
    multiply,
    divide,
    increment,
    call
};

struct Instruction {
    Op op;
    std::uint32_t argument = 0; // a call's argument count, a regex's index
    double number = 0;
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}
bool isLineBreak(char c)
{
    return c == '\n' || c == '\r';
}

// A legacy octal literal rounded to the nearest double, ties to even, as a
// decimal literal is; a plain running product would lose the last bits once
// the value passes 2^53.
double octalValue(std::string_view digits)
{
    std::vector<bool> bits; // most significant first, leading zeros dropped
    for (char c : digits) {
        int d = c - '0';
        for (int shift = 2; shift >= 0; --shift) {
            bool bit = (d >> shift) & 1;
            if (bit || !bits.empty())
                bits.push_back(bit);
        }
    }
    constexpr std::size_t mantissaBits = 53;
    if (bits.size() <= mantissaBits) {
        std::uint64_t value = 0;
        for (bool bit : bits)
            value = value << 1 | (bit ? 1 : 0);
        return static_cast<double>(value);
    }
    std::uint64_t mantissa = 0;
    for (std::size_t i = 0; i < mantissaBits; ++i)
        mantissa = mantissa << 1 | (bits[i] ? 1 : 0);
    bool roundBit = bits[mantissaBits];
    bool sticky = false;
    for (std::size_t i = mantissaBits + 1; i < bits.size() && !sticky; ++i)
        sticky = bits[i];
    if (roundBit && (sticky || (mantissa & 1)))
        ++mantissa; // may reach 2^53, which ldexp takes in its stride
    auto exponent = static_cast<int>(std::min<std::size_t>(bits.size() - mantissaBits, 4096));
    return std::ldexp(static_cast<double>(mantissa), exponent);
}

double literalValue(std::string_view digits)
{
    bool octal
        = digits.size() >= 2 && digits[0] == '0' && digits.find_first_of("89") == std::string_view::npos;
    if (octal)
        return octalValue(digits);
    double value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range)
        return std::numeric_limits<double>::infinity(); // only too large can happen: no fractions
    return value;
}

// The pattern of a regular expression literal, over the characters the
// lexer lets through: digits, "-" and blanks stand for themselves, "(" and
// ")" group, "*" and "+" repeat the atom before them.
bool validPattern(std::string_view pattern)
{
    int depth = 0;
    enum class Last { nothing, atom, quantifier } last = Last::nothing;
    for (char c : pattern) {
        if (c == '(') {
            ++depth;
            last = Last::nothing;
        } else if (c == ')') {
            if (depth == 0)
                return false;
            --depth;
            last = Last::atom;
        } else if (c == '*' || c == '+') {
            if (last != Last::atom)
                return false; // nothing to repeat
            last = Last::quantifier;
        } else {
            last = Last::atom;
        }
    }
    return depth == 0;
}

class Compiler {
public:
    explicit Compiler(std::string_view text)
        : text(text)
    {
    }

    // The error's description, or empty when the text compiled; position()
    // then tells where.
    std::string_view compile();
    std::size_t position() const { return pos; }

    std::vector<Instruction> code;
    std::vector<std::string_view> regexes;
    bool empty = true; // nothing but blanks and comments

private:
    // What waits on the operator stack for its right side.
    enum class Pending : std::uint8_t {
        group,
        call,
        plus,
        negate,
        increment,
        add,
        subtract,
        multiply,
        divide
    };
    // Where the parser stands: before an operand, after one that may still
    // be called or incremented, or after a postfix ++/-- that ends it.
    enum class State : std::uint8_t { operand, primary, postfixed };

    static int precedence(Pending p)
    {
        switch (p) {
        case Pending::group:
        case Pending::call:
            return 0;
        case Pending::add:
        case Pending::subtract:
            return 1;
        case Pending::multiply:
        case Pending::divide:
            return 2;
        case Pending::plus:
        case Pending::negate:
        case Pending::increment:
            return 3;
        }
        return 0;
    }
    static Op opFor(Pending p)
    {
        switch (p) {
        case Pending::plus:
            return Op::plus;
        case Pending::negate:
            return Op::negate;
        case Pending::increment:
            return Op::increment;
        case Pending::add:
            return Op::add;
        case Pending::subtract:
            return Op::subtract;
        case Pending::multiply:
            return Op::multiply;
        case Pending::divide:
        default:
            return Op::divide;
        }
    }
    static bool isMarker(Pending p) { return p == Pending::group || p == Pending::call; }

    std::string_view skipBlanksAndComments();
    std::string_view scanRegex();
    void binary(Pending p);
    // A token that cannot go on after a complete operand.
    std::string_view unexpected() const
    {
        return openMarkers > 0 ? message::expectedParenthesis : message::expectedSemicolon;
    }

    std::string_view text;
    std::size_t pos = 0;
    std::vector<Pending> pending;
    std::size_t openMarkers = 0;
    State state = State::operand;
};

std::string_view Compiler::skipBlanksAndComments()
{
    while (pos < text.size()) {
        char c = text[pos];
        if (isBlank(c)) {
            ++pos;
        } else if (c == '/' && pos + 1 < text.size() && text[pos + 1] == '/') {
            // A line comment runs to the end: line breaks are not part of
            // what this engine reads, so one inside ends the comment and is
            // then rejected like anywhere else.
            pos += 2;
            while (pos < text.size() && !isLineBreak(text[pos]))
                ++pos;
        } else if (c == '/' && pos + 1 < text.size() && text[pos + 1] == '*') {
            auto close = text.find("*/", pos + 2);
            if (close == std::string_view::npos)
                return message::unterminatedComment;
            for (std::size_t i = pos + 2; i < close; ++i)
                if (isLineBreak(text[i])) {
                    pos = i;
                    return message::invalidCharacter;
                }
            pos = close + 2;
        } else {
            break;
        }
    }
    return {};
}

std::string_view Compiler::scanRegex()
{
    std::size_t start = pos++;
    while (true) {
        if (pos == text.size() || isLineBreak(text[pos]))
            return message::expectedSlash;
        char c = text[pos];
        if (c == '/')
            break;
        if (!isDigit(c) && !isBlank(c) && c != '+' && c != '-' && c != '*' && c != '(' && c != ')')
            return message::invalidCharacter;
        ++pos;
    }
    ++pos;
    if (!validPattern(text.substr(start + 1, pos - start - 2)))
        return message::regexSyntax;
    if (pos < text.size() && isDigit(text[pos]))
        return message::regexSyntax; // digits there would be its flags, and no flag is a digit
    code.push_back({ Op::regex, static_cast<std::uint32_t>(regexes.size()), 0 });
    regexes.push_back(text.substr(start, pos - start));
    return {};
}

void Compiler::binary(Pending p)
{
    while (!pending.empty() && precedence(pending.back()) >= precedence(p)) {
        code.push_back({ opFor(pending.back()) });
        pending.pop_back();
    }
    pending.push_back(p);
    state = State::operand;
    ++pos;
}

std::string_view Compiler::compile()
{
    bool callJustOpened = false; // "(" of a call was the last token: ")" may close it at once
    while (true) {
        if (auto error = skipBlanksAndComments(); !error.empty())
            return error;
        if (pos == text.size())
            break;
        empty = false;
        char c = text[pos];
        char next = pos + 1 < text.size() ? text[pos + 1] : '\0';
        bool emptyCall = callJustOpened;
        callJustOpened = false;

        if (state == State::operand) {
            if (isDigit(c)) {
                std::size_t start = pos;
                while (pos < text.size() && isDigit(text[pos]))
                    ++pos;
                code.push_back({ Op::number, 0, literalValue(text.substr(start, pos - start)) });
                state = State::primary;
            } else if (c == '/') {
                if (auto error = scanRegex(); !error.empty())
                    return error;
                state = State::primary;
            } else if (c == '(') {
                pending.push_back(Pending::group);
                ++openMarkers;
                ++pos;
            } else if (c == '+' || c == '-') {
                if (next == c) {
                    pending.push_back(
                        Pending::increment); // prefix ++ and -- alike: no operand is a reference
                    pos += 2;
                } else {
                    pending.push_back(c == '+' ? Pending::plus : Pending::negate);
                    ++pos;
                }
            } else if (c == ')' && emptyCall) {
                pending.pop_back();
                --openMarkers;
                code.push_back({ Op::call, 0, 0 });
                state = State::primary;
                ++pos;
            } else if (c == ')' || c == '*') {
                return message::syntaxError;
            } else {
                return message::invalidCharacter;
            }
            continue;
        }

        if (c == '(') {
            if (state != State::primary)
                return unexpected();
            pending.push_back(Pending::call);
            ++openMarkers;
            callJustOpened = true;
            state = State::operand;
            ++pos;
        } else if ((c == '+' || c == '-') && next == c) {
            if (state != State::primary)
                return unexpected();
            code.push_back({ Op::increment }); // postfix: binds tighter than anything pending
            state = State::postfixed;
            pos += 2;
        } else if (c == '+') {
            binary(Pending::add);
        } else if (c == '-') {
            binary(Pending::subtract);
        } else if (c == '*') {
            binary(Pending::multiply);
        } else if (c == '/') {
            binary(Pending::divide); // "//" and "/*" were taken as comments
        } else if (c == ')') {
            while (!pending.empty() && !isMarker(pending.back())) {
                code.push_back({ opFor(pending.back()) });
                pending.pop_back();
            }
            if (pending.empty())
                return message::expectedSemicolon;
            if (pending.back() == Pending::call)
                code.push_back({ Op::call, 1, 0 });
            pending.pop_back();
            --openMarkers;
            state = State::primary;
            ++pos;
        } else if (isDigit(c)) {
            return unexpected();
        } else {
            return message::invalidCharacter;
        }
    }
    if (empty)
        return {};
    if (state == State::operand)
        return message::syntaxError;
    while (!pending.empty()) {
        if (isMarker(pending.back()))
            return message::expectedParenthesis;
        code.push_back({ opFor(pending.back()) });
        pending.pop_back();
    }
    return {};
}

// Strings come only from joining a regular expression's text with other
// values, so they are kept as a tree of pieces and written out once at the
// end: joining stays constant time however long the chain.
class Strings {
public:
    std::uint32_t leaf(std::string piece)
    {
        nodes.push_back({ std::move(piece), none, none });
        return static_cast<std::uint32_t>(nodes.size() - 1);
    }
    std::uint32_t join(std::uint32_t left, std::uint32_t right)
    {
        nodes.push_back({ {}, left, right });
        return static_cast<std::uint32_t>(nodes.size() - 1);
    }
    std::string text(std::uint32_t root) const
    {
        std::string out;
        std::vector<std::uint32_t> todo { root };
        while (!todo.empty()) {
            const Node &node = nodes[todo.back()];
            todo.pop_back();
            if (node.left == none) {
                out += node.piece;
            } else {
                todo.push_back(node.right);
                todo.push_back(node.left);
            }
        }
        return out;
    }

private:
    static constexpr std::uint32_t none = std::numeric_limits<std::uint32_t>::max();
    struct Node {
        std::string piece;
        std::uint32_t left;
        std::uint32_t right;
    };
    std::vector<Node> nodes;
};

struct Value {
    enum class Kind : std::uint8_t { number, string, object } kind;
    double number;
    std::uint32_t text; // a string's or an object's text in Strings
};

ScriptValue numberValue(double x)
{
    // JScript hands back whole numbers that fit as 32-bit integers; -0 stays
    // a double.
    if (x >= std::numeric_limits<std::int32_t>::min() && x <= std::numeric_limits<std::int32_t>::max()
        && std::trunc(x) == x && !(x == 0 && std::signbit(x)))
        return static_cast<std::int32_t>(x);
    return x;
}

ExpressionOutcome run(const Compiler &program)
{
    Strings strings;
    std::vector<Value> stack;
    stack.reserve(program.code.size());

    // Objects and strings never read as numbers here: each holds a regular
    // expression's text, which starts with "/".
    auto toNumber = [](const Value &v) {
        return v.kind == Value::Kind::number ? v.number : std::numeric_limits<double>::quiet_NaN();
    };
    auto toText = [&](const Value &v) {
        return v.kind == Value::Kind::number ? strings.leaf(jsNumberToString(v.number)) : v.text;
    };

    for (const Instruction &in : program.code) {
        switch (in.op) {
        case Op::number:
            stack.push_back({ Value::Kind::number, in.number, 0 });
            break;
        case Op::regex:
            stack.push_back(
                { Value::Kind::object, 0, strings.leaf(std::string(program.regexes[in.argument])) });
            break;
        case Op::plus:
            stack.back() = { Value::Kind::number, toNumber(stack.back()), 0 };
            break;
        case Op::negate:
            stack.back() = { Value::Kind::number, -toNumber(stack.back()), 0 };
            break;
        case Op::increment:
            return { std::nullopt, message::illegalAssignment };
        case Op::call:
            // Arguments are evaluated before the callee is checked, and no
            // value here can be called.
            return { std::nullopt, message::functionExpected };
        default: {
            Value right = stack.back();
            stack.pop_back();
            Value &left = stack.back();
            if (in.op == Op::add && (left.kind != Value::Kind::number || right.kind != Value::Kind::number)) {
                left = { Value::Kind::string, 0, strings.join(toText(left), toText(right)) };
                break;
            }
            double a = toNumber(left);
            double b = toNumber(right);
            double result = in.op == Op::add ? a + b
                : in.op == Op::subtract      ? a - b
                : in.op == Op::multiply      ? a * b
                                             : a / b;
            left = { Value::Kind::number, result, 0 };
            break;
        }
        }
    }

    const Value &result = stack.back();
    switch (result.kind) {
    case Value::Kind::number:
        return { numberValue(result.number), {} };
    case Value::Kind::string:
        return { ScriptValue(strings.text(result.text)), {} };
    case Value::Kind::object:
    default:
        return { ScriptValue(ScriptObject { strings.text(result.text) }), {} };
    }
}

} // namespace

ExpressionOutcome evaluateJScriptExpression(std::string_view text)
{
    Compiler program(text);
    if (auto error = program.compile(); !error.empty())
        return { std::nullopt, error, program.position() };
    if (program.empty)
        return { ScriptValue(), {} };
    return run(program);
}

std::string jsNumberToString(double value)
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value > 0 ? "Infinity" : "-Infinity";
    if (value == 0)
        return "0";

    // The shortest digits that read back as the same double, then the
    // layout rules of the language's number-to-string conversion.
    char buffer[64];
    auto [end, error]
        = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific);
    (void)error;
    std::string_view scientific(buffer, static_cast<std::size_t>(end - buffer));
    auto ePos = scientific.find('e');
    std::string digits;
    for (char c : scientific.substr(0, ePos))
        if (c != '.')
            digits += c;
    int exponent = 0;
    std::string_view exponentText = scientific.substr(ePos + 1);
    if (exponentText.front() == '+')
        exponentText.remove_prefix(1);
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);

    const int k = static_cast<int>(digits.size());
    const int n = exponent + 1; // the decimal point's place after the first digit
    std::string out = value < 0 ? "-" : "";
    if (k <= n && n <= 21) {
        out += digits;
        out.append(static_cast<std::size_t>(n - k), '0');
    } else if (0 < n && n <= 21) {
        out += digits.substr(0, static_cast<std::size_t>(n));
        out += '.';
        out += digits.substr(static_cast<std::size_t>(n));
    } else if (-6 < n && n <= 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-n), '0');
        out += digits;
    } else {
        out += digits[0];
        if (k > 1) {
            out += '.';
            out += digits.substr(1);
        }
        out += 'e';
        out += n - 1 >= 0 ? '+' : '-';
        out += std::to_string(std::abs(n - 1));
    }
    return out;
}
