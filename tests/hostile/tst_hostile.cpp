// SPDX-License-Identifier: MIT
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

#include "runtime/files.h"
#include "session.h"
#include "window/qt/picturebox.h"

using namespace session;

namespace {

// Seed 10423 deals these four cards, ranks in order.
const char *const dealtNames[] = { "方块(5).jpg", "红桃(12).jpg", "黑桃(1).jpg", "梅花(7).jpg" };
const char *const dealtRanks = "5 12 1 7 ";

enum class Kind { bytes, sparse, folder, unreadable };

QByteArray realCard()
{
    QFile file(QCoreApplication::applicationDirPath() + "/pkp/" + QString::fromUtf8(dealtNames[0]));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The same garbage on every run, so a failure can be replayed.
QByteArray garbage(qsizetype size)
{
    QByteArray out(size, '\0');
    std::uint32_t state = 12345;
    for (char &c : out) {
        state = state * 214013u + 2531011u;
        c = char(state >> 16);
    }
    return out;
}

QByteArray withGarbage(const QByteArray &header)
{
    return header + garbage(4096);
}

// A real card whose frame header claims 65500 x 65500 pixels.
QByteArray hugeFrame()
{
    QByteArray card = realCard();
    const qsizetype frame = card.indexOf("\xFF\xC0");
    if (frame < 0)
        return {};
    for (int at : { 5, 7 }) {
        card[frame + at] = char(0xFF);
        card[frame + at + 1] = char(0xDC);
    }
    return card;
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class HostileTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { start(); }
    void init() { openWindow(); }
    void cleanup()
    {
        closeWindow();
        initRunDirectory();
    }

    void hostileCardFilesLeaveTheDealGoing_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QByteArray>("content");

        const QByteArray card = realCard();
        QVERIFY(!card.isEmpty());
        // Cut at 100 bytes, a real card has no scan yet, so no picture at all.
        QVERIFY(card.indexOf("\xFF\xDA") > 100);
        const QByteArray jpegHeader = card.left(20);

        QTest::newRow("corrupt jpeg") << Kind::bytes << withGarbage(jpegHeader);
        QTest::newRow("truncated jpeg") << Kind::bytes << card.left(100);
        QTest::newRow("empty file") << Kind::bytes << QByteArray();
        QTest::newRow("200 MB file") << Kind::sparse << QByteArray("\xFF\xD8\xFF\xE0", 4);
        QTest::newRow("65500 x 65500 jpeg") << Kind::bytes << hugeFrame();
        QTest::newRow("folder") << Kind::folder << QByteArray();
        QTest::newRow("unreadable") << Kind::unreadable << card;
        QTest::newRow("text") << Kind::bytes << QByteArray("not a picture at all\r\n");
        QTest::newRow("bmp header") << Kind::bytes << withGarbage("BM");
        QTest::newRow("icon header") << Kind::bytes << withGarbage(QByteArray("\x00\x00\x01\x00\x01\x00", 6));
        QTest::newRow("cursor header")
            << Kind::bytes << withGarbage(QByteArray("\x00\x00\x02\x00\x01\x00", 6));
        QTest::newRow("gif header") << Kind::bytes << withGarbage("GIF89a");
        QTest::newRow("pcx 8-bit header") << Kind::bytes << withGarbage("\x0A\x05\x01\x08");
        QTest::newRow("pcx 1-bit header") << Kind::bytes << withGarbage("\x0A\x03\x01\x01");
    }

    // A fatal error would end this process, so getting past the deal at all
    // is the first check.
    void hostileCardFilesLeaveTheDealGoing()
    {
        QFETCH(Kind, kind);
        QFETCH(QByteArray, content);
        if (kind == Kind::unreadable && geteuid() == 0)
            QSKIP("running as root: file permissions do not stop reading");

        QTemporaryDir run;
        QVERIFY(run.isValid());
        QDir folder(run.path());
        QVERIFY(folder.mkdir("pkp"));
        for (const char *name : dealtNames) {
            const QString path = folder.filePath("pkp/" + QString::fromUtf8(name));
            if (kind == Kind::folder) {
                QVERIFY(QDir().mkdir(path));
                continue;
            }
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(content), content.size());
            // Sparse: the length costs no disk.
            if (kind == Kind::sparse)
                QVERIFY(file.resize(qint64(200) * 1024 * 1024));
            file.close();
            if (kind == Kind::unreadable)
                QVERIFY(file.setPermissions({}));
        }

        const std::optional<std::string> program = utf8ToGbk(folder.filePath("kelmora").toStdString());
        QVERIFY(program);
        setRunDirectoryFromProgramPath(*program);
        nextDealSeed(10423);
        QElapsedTimer timer;
        timer.start();
        click(control::dealButton);
        qInfo("deal took %lld ms", timer.elapsed());

        for (ControlId box : cards)
            QVERIFY(!static_cast<PictureBox *>(widget(box))->hasImage());
        QCOMPARE(utf8(historyText), std::string(dealtRanks));
        const std::int32_t ranks[] = { 5, 12, 1, 7 };
        for (int card = 1; card <= 4; ++card)
            QCOMPARE(intArrayElement(cardValues, card), ranks[card - 1]);
    }
};

QTEST_MAIN(HostileTest)
#include "tst_hostile.moc"
