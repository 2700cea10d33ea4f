// SPDX-License-Identifier: MIT
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <fstream>

#include "gbkliteral.h"
#include "runtime/files.h"

namespace {
void writeFile(const std::filesystem::path &path, std::string_view content)
{
    std::ofstream(path, std::ios::binary) << content;
}

QByteArray bytesOf(Bytes block)
{
    return QByteArray(reinterpret_cast<const char *>(bytesData(block)), bytesCount(block));
}
} // namespace

class FilesTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    std::filesystem::path root() const { return folder.path().toStdString(); }

private slots:
    void initTestCase()
    {
        QVERIFY(folder.isValid());
        std::filesystem::create_directories(root() / "pkp");
        writeFile(root() / "pkp" / "黑桃(1).jpg", "\xff\xd8 card");
        writeFile(root() / "empty.jpg", "");
        std::filesystem::create_directories(root() / "红桃(2).jpg");
        // Sparse: costs no disk.
        writeFile(root() / "huge.jpg", "\xff\xd8");
        std::filesystem::resize_file(root() / "huge.jpg", maxReadBytes + 1);
        writeFile(root() / "largest.jpg", "\xff\xd8");
        std::filesystem::resize_file(root() / "largest.jpg", maxReadBytes);
    }

    void readingGivesTheWholeFileOrNoBlock_data()
    {
        QTest::addColumn<QByteArray>("utf8Name");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray base = folder.path().toUtf8();
        QTest::newRow("Chinese name, forward slashes")
            << base + "/pkp/黑桃(1).jpg" << QByteArray("\xff\xd8 card");
        QTest::newRow("backslash separators") << base + "\\pkp\\黑桃(1).jpg" << QByteArray("\xff\xd8 card");
        QTest::newRow("missing file") << base + "/pkp/黑桃(2).jpg" << QByteArray();
        QTest::newRow("empty file") << base + "/empty.jpg" << QByteArray();
        QTest::newRow("folder named like a card") << base + "/红桃(2).jpg" << QByteArray();
        QTest::newRow("empty name") << QByteArray() << QByteArray();
        QTest::newRow("over the size limit") << base + "/huge.jpg" << QByteArray();
    }
    void readingGivesTheWholeFileOrNoBlock()
    {
        QFETCH(QByteArray, utf8Name);
        QFETCH(QByteArray, expected);
        const std::string name = gbk(utf8Name.toStdString());
        Bytes block = readFile(name.c_str());
        QCOMPARE(block == nullptr, expected.isEmpty());
        QCOMPARE(bytesOf(block), expected);
        releaseMemory(block);
        QCOMPARE(readFile(nullptr), nullptr);
    }

    void aFileOfTheLimitIsReadWhole()
    {
        const std::string name = (root() / "largest.jpg").string();
        Bytes block = readFile(name.c_str());
        QCOMPARE(bytesCount(block), std::int32_t(maxReadBytes));
        releaseMemory(block);
    }

    void runDirectoryCutsAtTheLastSeparatorCharacter_data()
    {
        QTest::addColumn<QByteArray>("program");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("Windows path") << QByteArray("D:\\游戏\\x.exe") << QByteArray("D:\\游戏");
        QTest::newRow("drive root") << QByteArray("D:\\x.exe") << QByteArray("D:");
        QTest::newRow("Linux path") << QByteArray("/opt/游戏/kelmora") << QByteArray("/opt/游戏");
        // 乗 is 81 5C in GBK: its second byte is no separator.
        QTest::newRow("second byte 0x5C") << QByteArray("D:\\乗\\乗.exe") << QByteArray("D:\\乗");
        QTest::newRow("folder ending in 0x5C byte") << QByteArray("D:\\a乗") << QByteArray("D:");
        QTest::newRow("no separator") << QByteArray("kelmora") << QByteArray();
    }
    void runDirectoryCutsAtTheLastSeparatorCharacter()
    {
        QFETCH(QByteArray, program);
        QFETCH(QByteArray, expected);
        setRunDirectoryFromProgramPath(gbk(program.toStdString()));
        Text directory = runDirectory();
        QCOMPARE(directory == nullptr, expected.isEmpty());
        QCOMPARE(QByteArray(directory), QByteArray::fromStdString(gbk(expected.toStdString())));
        releaseMemory(directory);
    }

    void startUpFindsTheProgramFolderAndEntersIt()
    {
        initRunDirectory();
        Text directory = runDirectory();
        const auto expected = std::filesystem::read_symlink("/proc/self/exe").parent_path();
        QCOMPARE(QByteArray(directory), QByteArray::fromStdString(gbk(expected.string())));
        QCOMPARE(std::filesystem::current_path(), expected);
        releaseMemory(directory);
    }
};

QTEST_GUILESS_MAIN(FilesTest)
#include "tst_files.moc"
