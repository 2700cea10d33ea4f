// SPDX-License-Identifier: MIT
#include <QCoreApplication>
#include <QProcess>
#include <QTest>

#include <cstring>

#include "gbkliteral.h"
#include "runtime/fatal.h"
#include "runtime/memory.h"

namespace {
constexpr char suitName[] = "\xba\xda\xcc\xd2"; // a constant text, as the game keeps them

// Children run by the fatal-error tests; each must end the process.
int runChild(std::string_view what)
{
    if (what == "index-above") {
        void *values = newIntArray(4);
        intArrayElement(values, 5) = 1;
    } else if (what == "index-below") {
        void *values = newIntArray(4);
        intArrayElement(values, 0) = 1;
    } else if (what == "allocation") {
        // Far beyond any machine's heap: the allocator must refuse it.
        (void)allocateMemory(std::size_t(1) << 62);
    }
    return 0;
}
} // namespace

class MemoryTest : public QObject {
    Q_OBJECT

private slots:
    void releasingConstantsAndNullDoesNothing()
    {
        QVERIFY(isConstantData(suitName));
        QVERIFY(isConstantData(""));
        releaseMemory(suitName);
        releaseMemory("");
        releaseMemory(nullptr);
        QCOMPARE(std::strcmp(suitName, "\xba\xda\xcc\xd2"), 0);

        Text owned = newText("24");
        QVERIFY(!isConstantData(owned));
        Text variable = owned;
        replaceText(variable, suitName); // releases the owned text, keeps the constant
        replaceText(variable, suitName);
        replaceText(variable, nullptr);
        QCOMPARE(variable, nullptr);
    }

    void byteBlocksHaveTheArrayLayout()
    {
        QCOMPARE(newBytes("x", 0), nullptr);
        Bytes block = newBytes("abc", 3);
        std::int32_t header[2];
        std::memcpy(header, block, sizeof header);
        QCOMPARE(header[0], 1);
        QCOMPARE(header[1], 3);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(bytesData(block)), bytesCount(block)),
            QByteArray("abc"));
        releaseMemory(block);
        QCOMPARE(bytesCount(nullptr), 0);
    }

    void arrayElementsCountFromOne()
    {
        void *values = newIntArray(4);
        QCOMPARE(arrayElementCount(values), 4);
        for (int i = 1; i <= 4; ++i)
            QCOMPARE(intArrayElement(values, i), 0);
        intArrayElement(values, 4) = 13;
        QCOMPARE(static_cast<std::int32_t *>(values)[2 + 3], 13);
        releaseMemory(values);
    }

    void fatalErrorsReportAndEndWithMinusOne_data()
    {
        QTest::addColumn<QString>("child");
        QTest::addColumn<QByteArray>("report");
        QTest::newRow("index above the count")
            << "index-above"
            << QByteArray("运行时出错!\r\n\r\n错误代码：1\r\n\r\n错误信息：数组成员引用下标超出定义范围\r\n");
        QTest::newRow("index below one")
            << "index-below"
            << QByteArray(
                   "运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1\r\n");
        QTest::newRow("refused allocation")
            << "allocation"
            << QByteArray("运行时出错!\r\n\r\n错误信息：分配 4611686018427387904 字节内存失败!\r\n");
    }
    void fatalErrorsReportAndEndWithMinusOne()
    {
        QFETCH(QString, child);
        QFETCH(QByteArray, report);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // The sanitizer's allocator would report the huge request itself.
        environment.insert("ASAN_OPTIONS", "allocator_may_return_null=1:detect_leaks=0");
        process.setProcessEnvironment(environment);
        process.start(QCoreApplication::applicationFilePath(), { "--child", child });
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 255);
        // A sanitizer may warn before the report; the report closes the output.
        const QByteArray output = process.readAllStandardError();
        QVERIFY2(output.endsWith(report), output.constData());
    }

    void reportTextHasTheCodeLineOnlyForNonZeroCodes()
    {
        QCOMPARE(QByteArray::fromStdString(composeFatalReport(0, nullptr)),
            QByteArray::fromStdString(gbk("运行时出错!\r\n\r\n")));
        QCOMPARE(QByteArray::fromStdString(composeFatalReport(7, "")),
            QByteArray::fromStdString(gbk("运行时出错!\r\n\r\n错误代码：7\r\n\r\n")));
    }
};

int main(int argc, char **argv)
{
    if (argc == 3 && std::string_view(argv[1]) == "--child")
        return runChild(argv[2]);
    QCoreApplication app(argc, argv);
    MemoryTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_memory.moc"
