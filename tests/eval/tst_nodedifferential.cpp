// SPDX-License-Identifier: MIT
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <bit>
#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "eval/expression.h"

namespace {

// Each case in sloppy-mode global eval, the whole text as a script: its
// value is that of its one expression statement, undefined when it holds
// none. One line per case: E rejected, U undefined, N and the double's bits,
// S a string, O an object's text.
constexpr char nodeScript[] = R"js(
const fs = require('fs');
const cases = fs.readFileSync(process.argv[2], 'latin1').split('\n');
cases.pop();
const view = new DataView(new ArrayBuffer(8));
const out = [];
for (const s of cases) {
    let v;
    try { v = (0, eval)(s); } catch (e) { out.push('E'); continue; }
    if (v === undefined) out.push('U');
    else if (typeof v === 'number') {
        if (Number.isNaN(v)) { out.push('NNaN'); continue; }
        view.setFloat64(0, v);
        out.push('N' + view.getBigUint64(0).toString(16));
    } else if (typeof v === 'string') out.push('S' + v);
    else out.push('O' + String(v));
}
fs.writeFileSync(process.argv[3], out.join('\n') + '\n');
)js";

std::string numberLine(double x)
{
    if (std::isnan(x))
        return "NNaN";
    char buffer[32];
    std::snprintf(
        buffer, sizeof buffer, "N%llx", static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(x)));
    return buffer;
}

std::string outcomeLine(const ExpressionOutcome &outcome)
{
    if (!outcome.value)
        return "E";
    struct Visitor {
        std::string operator()(std::monostate) const { return "U"; }
        std::string operator()(std::int32_t v) const { return numberLine(v); }
        std::string operator()(float v) const { return numberLine(v); }
        std::string operator()(double v) const { return numberLine(v); }
        std::string operator()(ScriptCurrency) const { return "?currency"; }
        std::string operator()(const std::string &v) const { return "S" + v; }
        std::string operator()(const ScriptObject &v) const { return "O" + v.text; }
    };
    return std::visit(Visitor {}, *outcome.value);
}

class Cases {
public:
    explicit Cases(unsigned seed)
        : random(seed)
    {
    }

    // A four-card expression as a player builds one: ranks 1 to 13, the four
    // operators, one of the five groupings; now and then a sign or two
    // ranks side by side.
    std::string fourCards()
    {
        static const char *shapes[] = { "((a o b) o c) o d", "(a o (b o c)) o d", "(a o b) o (c o d)",
            "a o ((b o c) o d)", "a o (b o (c o d))", "a o b o c o d" };
        std::string out;
        for (const char *p = shapes[below(6)]; *p; ++p) {
            if (*p == ' ')
                continue;
            if (*p >= 'a' && *p <= 'd') {
                if (below(10) == 0)
                    out += "-";
                out += std::to_string(1 + below(13));
                if (below(15) == 0)
                    out += std::to_string(1 + below(13));
            } else if (*p == 'o') {
                out += "+-*/"[below(4)];
            } else {
                out += *p;
            }
        }
        return out;
    }

    // Button presses in any order: ranks 0 to 13 and symbols.
    std::string presses()
    {
        static const char *symbols[] = { "+", "-", "*", "/", "(", ")" };
        std::string out;
        for (int n = 1 + below(9); n > 0; --n)
            out += below(5) < 2 ? std::to_string(below(14)) : symbols[below(6)];
        return out;
    }

    // Any characters of the game's alphabet, symbols more often.
    std::string junk()
    {
        static const char alphabet[] = "+-*/()+-*/()0123456789";
        std::string out;
        for (int n = below(17); n > 0; --n)
            out += alphabet[below(sizeof alphabet - 1)];
        return out;
    }

    // Slash-heavy texts, where comments and regular expression literals
    // begin.
    std::string slashes()
    {
        static const char alphabet[] = "/////()+-*123";
        std::string out;
        for (int n = 1 + below(12); n > 0; --n)
            out += alphabet[below(sizeof alphabet - 1)];
        return out;
    }

    // Regular expression literals, valid or not, joined to numbers and to
    // each other by operators ("+" most often, which makes strings), with
    // now and then a stray symbol.
    std::string regexes()
    {
        static const char body[] = "12()*+-";
        static const char operators[] = "++++-*/";
        static const char symbols[] = "+-*/()";
        std::string out;
        for (int n = 1 + below(4); n > 0; --n) {
            if (below(2) == 0) {
                out += '/';
                for (int k = 1 + below(4); k > 0; --k)
                    out += body[below(sizeof body - 1)];
                out += '/';
            } else {
                out += std::to_string(below(14));
            }
            if (below(8) == 0)
                out += symbols[below(sizeof symbols - 1)];
            if (n > 1)
                out += operators[below(sizeof operators - 1)];
        }
        return out;
    }

private:
    int below(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }
    std::mt19937 random;
};

} // namespace

class NodeDifferentialTest : public QObject {
    Q_OBJECT

private slots:
    void agreesWithNodeOnAcceptanceAndValue()
    {
        QString node = QStandardPaths::findExecutable("node");
        if (node.isEmpty())
            QSKIP("node is not on PATH: the comparison with a JavaScript engine was not run");

        std::vector<std::string> cases = { "", "24", "()", "3(4)", "1++2", "1+++2", "++3", "1++", "1--2",
            "-0", "0/0", "1/0", "013", "018", "0178", "00", "8//3", "8/*3*/", "/**/", "/1/+1", "1+/2/", "/+/",
            "/1/2", "/(*)/", "/()/", "1/ /2/", "3()", "3(4)++", "(1)(2)", "0777777777777777777777",
            // octal ties, rounded to even
            "01000000000000000002", "01000000000000000006", std::string(400, '9') };
        Cases make(20240601);
        for (int i = 0; i < 20'000; ++i)
            cases.push_back(make.fourCards());
        for (int i = 0; i < 10'000; ++i)
            cases.push_back(make.presses());
        for (int i = 0; i < 10'000; ++i)
            cases.push_back(make.junk());
        for (int i = 0; i < 5'000; ++i)
            cases.push_back(make.slashes());
        for (int i = 0; i < 5'000; ++i)
            cases.push_back(make.regexes());

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString script = dir.filePath("eval.js");
        const QString input = dir.filePath("cases.txt");
        const QString output = dir.filePath("results.txt");
        {
            QFile file(script);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(nodeScript);
            QFile in(input);
            QVERIFY(in.open(QIODevice::WriteOnly));
            for (const std::string &c : cases)
                in.write((c + '\n').c_str());
        }
        QProcess process;
        process.start(node, { script, input, output });
        QVERIFY(process.waitForFinished(60'000));
        QCOMPARE(process.exitCode(), 0);

        QFile results(output);
        QVERIFY(results.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = results.readAll().split('\n');
        lines.removeLast();
        QCOMPARE(lines.size(), qsizetype(cases.size()));

        std::map<char, int> kinds; // E, U, N, S, O
        int exponents = 0;
        QStringList disagreements;
        for (std::size_t i = 0; i < cases.size(); ++i) {
            ExpressionOutcome outcome = evaluateJScriptExpression(cases[i]);
            std::string mine = outcomeLine(outcome);
            ++kinds[mine[0]];
            std::string theirs = lines[qsizetype(i)].toStdString();
            // Node knows the exponent operator "**", which JScript never had:
            // there a "*" right after a "*" operator is a syntax error.
            std::size_t at = outcome.errorPosition;
            if (theirs != "E" && outcome.errorDescription == "Syntax error" && at != std::string::npos
                && at > 0 && cases[i][at] == '*' && cases[i][at - 1] == '*') {
                ++exponents;
                continue;
            }
            if (theirs != mine && disagreements.size() < 20) {
                std::string line = "'";
                line.append(cases[i]).append("': node ").append(theirs).append(", here ").append(mine);
                disagreements << QString::fromStdString(line);
            }
        }
        qInfo("%zu cases compared with node: %d numbers, %d strings, %d objects, %d empty, %d rejected "
              "(%d of them for the exponent operator, which node has and JScript lacks)",
            cases.size(), kinds['N'], kinds['S'], kinds['O'], kinds['U'], kinds['E'], exponents);
        if (!disagreements.isEmpty())
            QFAIL(qPrintable(disagreements.join('\n')));
    }
};

QTEST_GUILESS_MAIN(NodeDifferentialTest)
#include "tst_nodedifferential.moc"
