// SPDX-License-Identifier: MIT
#include <QTest>

#include <stdexcept>
#include <string>
#include <vector>

#include "eval/scriptcomponent.h"
#include "eval/scriptengine.h"
#include "gbkliteral.h"

namespace {

QByteArray takeText(Text text)
{
    QByteArray bytes(text);
    releaseMemory(text);
    return bytes;
}

QByteArray errorInfo(ScriptComponent &component)
{
    return takeText(valueText(component.readProperty(scriptkind::errorInfo)));
}

// An engine that writes down the calls made on it and answers as told.
class RecordingEngine final : public ScriptEngine {
public:
    explicit RecordingEngine(std::vector<std::string> &log)
        : log(log)
    {
    }

    bool setAllowUI(bool allow) override { return note("allowUI " + std::to_string(allow)); }
    bool setLanguage(std::string_view language) override { return note("language " + std::string(language)); }
    bool reset() override { return note("reset"); }
    bool setTimeout(std::int32_t ms) override { return note("timeout " + std::to_string(ms)); }
    std::optional<ScriptValue> eval(std::string_view expression) override
    {
        note("eval " + std::string(expression));
        if (failWith)
            lastError = failWith;
        return failWith ? std::nullopt : std::optional<ScriptValue>(answer);
    }
    std::optional<ScriptError> error() const override { return lastError; }
    void clearError() override
    {
        note("clear");
        lastError.reset();
    }

    ScriptValue answer;
    std::optional<ScriptError> failWith;

private:
    bool note(std::string call)
    {
        log.push_back(std::move(call));
        return true;
    }
    std::vector<std::string> &log;
    std::optional<ScriptError> lastError;
};

} // namespace

class ScriptComponentTest : public QObject {
    Q_OBJECT

private slots:
    void creationSetsUpTheEngineInOrder()
    {
        std::vector<std::string> log;
        ScriptComponent component([&] { return std::make_unique<RecordingEngine>(log); });
        QVERIFY(component.engineCreated());
        std::vector<std::string> expected { "allowUI 1", "language JScript", "language JScript", "reset",
            "timeout -1" };
        QCOMPARE(log, expected);

        log.clear();
        component.writeProperty(scriptkind::timeout, 5000);
        component.writeProperty(scriptkind::language, textValue("VBScript"));
        component.writeProperty(scriptkind::language, textValue(nullptr));
        component.writeProperty(scriptkind::errorInfo, textValue("ignored"));
        expected = { "timeout 5000", "language VBScript", "reset", "language ", "reset" };
        QCOMPARE(log, expected);
        QCOMPARE(component.readProperty(scriptkind::timeout), 5000);
        QCOMPARE(valueText(component.readProperty(scriptkind::language)), nullptr);
    }

    void propertiesStartAtTheirDefaults()
    {
        ScriptComponent component;
        QCOMPARE(takeText(valueText(component.readProperty(scriptkind::language))), QByteArray("JScript"));
        QCOMPARE(component.readProperty(scriptkind::timeout), -1);
        QCOMPARE(valueText(component.readProperty(scriptkind::errorInfo)), nullptr);
    }

    // The built-in engine knows JScript by its names; any other language
    // makes every evaluation fail, until JScript is chosen again.
    void languageDecidesWhetherAnythingEvaluates_data()
    {
        QTest::addColumn<QByteArray>("language");
        QTest::addColumn<bool>("evaluates");
        QTest::newRow("JScript") << QByteArray("JScript") << true;
        QTest::newRow("any case") << QByteArray("jscript") << true;
        QTest::newRow("JavaScript") << QByteArray("JavaScript") << true;
        QTest::newRow("VBScript") << QByteArray("VBScript") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("with a blank") << QByteArray("JScript ") << false;
        QTest::newRow("Chinese") << QByteArray(gbk("脚本").c_str()) << false;
    }
    void languageDecidesWhetherAnythingEvaluates()
    {
        QFETCH(QByteArray, language);
        QFETCH(bool, evaluates);
        ScriptComponent component;
        component.writeProperty(
            scriptkind::language, textValue(language.isEmpty() ? nullptr : language.data()));
        QCOMPARE(takeText(valueText(component.readProperty(scriptkind::language))), language);
        QCOMPARE(takeText(component.evaluateExpression("3*8")), evaluates ? QByteArray("24") : QByteArray());
        if (!evaluates)
            QVERIFY(errorInfo(component).startsWith("Error: "));

        component.writeProperty(scriptkind::language, textValue("JScript"));
        QCOMPARE(takeText(component.evaluateExpression("3*8")), QByteArray("24"));
    }

    // The error is kept until 错误信息 is read, then cleared.
    void errorInfoIsComposedOnceThenCleared_data()
    {
        QTest::addColumn<QByteArray>("expression");
        QTest::addColumn<QByteArray>("info");
        QTest::newRow("syntax") << QByteArray("()") << QByteArray("Error: Syntax error, (); in line 1");
        QTest::newRow("run time") << QByteArray("3(4)")
                                  << QByteArray("Error: Function expected, 3(4); in line 1");
    }
    void errorInfoIsComposedOnceThenCleared()
    {
        QFETCH(QByteArray, expression);
        QFETCH(QByteArray, info);
        ScriptComponent component;
        QCOMPARE(component.evaluateExpression(expression.constData()), nullptr);
        QCOMPARE(takeText(component.evaluateExpression("24")), QByteArray("24")); // a later success keeps it
        QCOMPARE(errorInfo(component), info);
        QCOMPARE(errorInfo(component), QByteArray());
    }

    void missingEngineEvaluatesNothing_data()
    {
        QTest::addColumn<bool>("factoryThrows");
        QTest::newRow("factory gives none") << false;
        QTest::newRow("factory fails") << true;
    }
    void missingEngineEvaluatesNothing()
    {
        QFETCH(bool, factoryThrows);
        ScriptComponent component([&]() -> std::unique_ptr<ScriptEngine> {
            if (factoryThrows)
                throw std::runtime_error("no such class");
            return nullptr;
        });
        QVERIFY(!component.engineCreated());
        for (const char *expression : { "24", "3*8", "", "()" })
            QCOMPARE(component.evaluateExpression(expression), nullptr);
        const QByteArray missing(gbk("脚本组件创建失败,请检查msscript.ocx是否注册!").c_str());
        QCOMPARE(errorInfo(component), missing);
        QCOMPARE(errorInfo(component), missing); // nothing to clear: it stays
        component.writeProperty(scriptkind::timeout, 100);
        component.writeProperty(scriptkind::language, textValue("JScript"));
        QCOMPARE(component.readProperty(scriptkind::timeout), 100);
        QCOMPARE(component.evaluateExpression("24"), nullptr);
    }

    // 错误信息 is cut to 256 bytes without splitting a double-byte
    // character, however much Chinese the error holds.
    void errorInfoIsCutAtACharacterBoundary_data()
    {
        QTest::addColumn<QByteArray>("description");
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<int>("length");
        const std::string chinese = gbk("中");
        auto repeat = [](const std::string &s, int n) {
            std::string out;
            for (int i = 0; i < n; ++i)
                out += s;
            return QByteArray(out.c_str());
        };
        // "Error: " is 7 bytes, so the description's characters start at an
        // odd offset, or at an even one after an ASCII "x".
        QTest::newRow("short Chinese kept whole")
            << QByteArray(gbk("语法错误").c_str()) << QByteArray("1+") << 7 + 8 + 2 + 2 + 11;
        QTest::newRow("character across 256 dropped") << repeat(chinese, 200) << QByteArray("1") << 256 - 1;
        QTest::newRow("character ending at 256 kept")
            << QByteArray("x") + repeat(chinese, 200) << QByteArray("1") << 256;
        QTest::newRow("ASCII cut at 256") << QByteArray(300, 'x') << QByteArray("1") << 256;
    }
    void errorInfoIsCutAtACharacterBoundary()
    {
        QFETCH(QByteArray, description);
        QFETCH(QByteArray, source);
        QFETCH(int, length);
        std::vector<std::string> log;
        ScriptComponent component([&] {
            auto engine = std::make_unique<RecordingEngine>(log);
            engine->failWith = ScriptError { description.toStdString(), source.toStdString(), 1 };
            return engine;
        });
        QCOMPARE(component.evaluateExpression(source.constData()), nullptr);
        QByteArray info = errorInfo(component);
        const QByteArray whole = "Error: " + description + ", " + source + "; in line 1";
        QCOMPARE(info.size(), length);
        QVERIFY(whole.startsWith(info));
        QVERIFY(gbkToUtf8(info.toStdString()).has_value()); // no half character at the end
        QCOMPARE(log.back(), std::string("clear"));
    }

    // The built-in engine's own error for Chinese input, end to end.
    void chineseExpressionErrorStaysWholeCharacters()
    {
        std::string expression = "1+";
        for (int i = 0; i < 150; ++i)
            expression += gbk("中");
        ScriptComponent component;
        QCOMPARE(component.evaluateExpression(expression.c_str()), nullptr);
        QByteArray info = errorInfo(component);
        QVERIFY(info.startsWith("Error: Invalid character, 1+"));
        QCOMPARE(info.size(), 256); // the characters start at the even offset 28
        QVERIFY(gbkToUtf8(info.toStdString()).has_value());
    }
};

QTEST_GUILESS_MAIN(ScriptComponentTest)
#include "tst_scriptcomponent.moc"
