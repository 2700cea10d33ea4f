// SPDX-License-Identifier: MIT
#include <QAccessible>
#include <QtTest>

#include <functional>

#include "fixtures.h"
#include "runtime/memory.h"
#include "window/form.h"
#include "window/lifecycle.h"
#include "window/operations.h"
#include "window/qt/picturebox.h"
#include "window/qt/qtplatform.h"
#include "window/qt/qttesting.h"
#include "window/registry_p.h"
#include "window/testing.h"

// The picture box as the game uses it: a control of a loaded window, its
// picture and display mode written and read as properties.

namespace {

const QColor red(200, 40, 60);

constexpr WindowId boxWindow = 0x50420001;
constexpr ControlId boxUnit = 0x50420100;
constexpr ControlId boxId = 0x50420101;

// One box of the size of the first card box.
constexpr ControlData boxControls[] = {
    { .kind = ControlKind::pictureBox,
        .name = "图片框1",
        .id = boxId,
        .left = 0,
        .top = 0,
        .width = 168,
        .height = 256 },
};
constexpr WindowData boxWindows[] = {
    { .name = "窗口",
        .id = boxWindow,
        .unit = boxUnit,
        .title = "图片框",
        .width = 300,
        .height = 300,
        .background = { 128, 160, 128 },
        .icons = {},
        .escapeCloses = false,
        .bindings = {},
        .controls = boxControls },
};
constexpr Form boxForm { boxWindows, {} };

// A byte block for the length of one test.
class Block {
public:
    explicit Block(const QByteArray &bytes)
        : m_block(newBytes(bytes.constData(), std::size_t(bytes.size())))
    {
    }
    ~Block() { releaseMemory(m_block); }
    Block(const Block &) = delete;
    Block &operator=(const Block &) = delete;
    operator Bytes() const { return m_block; }

private:
    Bytes m_block;
};

PictureBox &box()
{
    return *static_cast<PictureBox *>(controlWidget(boxWindow, boxId));
}

void setPicture(Bytes block)
{
    writeProperty(boxWindow, boxId, PictureProperty::picture, -1, bytesValue(block));
}

void setPicture(const QByteArray &bytes)
{
    setPicture(Block(bytes));
}

// The stored block as the game reads it back.
QByteArray storedPicture()
{
    Bytes block = valueBytes(readProperty(boxWindow, boxId, PictureProperty::picture, -1));
    QByteArray bytes(reinterpret_cast<const char *>(bytesData(block)), bytesCount(block));
    releaseMemory(block);
    return bytes;
}

// The block the box holds itself.
Bytes heldBlock()
{
    LoadedWindow *window = findLoadedWindow(boxWindow);
    return findControl(*window, boxId)->picture;
}

void setDisplayMode(std::int32_t mode)
{
    writeProperty(boxWindow, boxId, PictureProperty::displayMode, -1, mode);
}

std::int32_t displayMode()
{
    return std::int32_t(readProperty(boxWindow, boxId, PictureProperty::displayMode, -1));
}

void resizeBox(int width, int height)
{
    writeProperty(boxWindow, boxId, Property::width, -1, width);
    writeProperty(boxWindow, boxId, Property::height, -1, height);
}

QColor faceColour(const QWidget &widget)
{
    return widget.palette().color(QPalette::Active, QPalette::Button);
}

QImage grabBox()
{
    return box().grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QByteArray cardJpeg()
{
    return encodeJpeg(solidImage(156, 251, red));
}

bool onlyFaceColour(const QImage &image, QColor face)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != face)
                return false;
    return true;
}

// Counts the paints that reach the box.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

struct Probe {
    QPoint at;
    bool picture; // the picture's colour there, else the face colour
};

} // namespace

Q_DECLARE_METATYPE(QList<Probe>)

class TestPictureBox : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { startRuntime(qtPlatform(), boxForm, {}); }
    void init() { loadWindow(boxWindow); }
    void cleanup() { unloadWindow(boxWindow); }
    void blockWithoutPictureClearsTheOldOne_data();
    void blockWithoutPictureClearsTheOldOne();
    void keepsItsOwnCopyOfTheBlock();
    void paintsByDisplayMode_data();
    void paintsByDisplayMode();
    void disabledBoxLooksTheSame();
    void ownSizePictureIsCrispAtDoubleDensity();
    void changesRepaintTheBox_data();
    void changesRepaintTheBox();
    void describesThePictureItShows();
};

void TestPictureBox::blockWithoutPictureClearsTheOldOne_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty block") << QByteArray();
    QTest::newRow("text file") << QByteArray("Kelmora notes\r\nsecond line\r\n");
    QTest::newRow("five bytes of a JPEG") << cardJpeg().left(5);
    QTest::newRow("JPEG cut in its headers") << cardJpeg().left(60);
}

void TestPictureBox::blockWithoutPictureClearsTheOldOne()
{
    QFETCH(QByteArray, bytes);

    setPicture(cardJpeg());
    QVERIFY(box().hasImage());
    QVERIFY(!onlyFaceColour(grabBox(), faceColour(box())));

    setPicture(bytes);
    QVERIFY(!box().hasImage());
    QVERIFY(onlyFaceColour(grabBox(), faceColour(box())));
    // The block is still the stored value, picture or not.
    if (bytes.isEmpty())
        QCOMPARE(heldBlock(), nullptr);
    else
        QCOMPARE(storedPicture(), bytes);
}

void TestPictureBox::keepsItsOwnCopyOfTheBlock()
{
    const QByteArray card = cardJpeg();
    {
        Block block(card);
        setPicture(block);
        QVERIFY(heldBlock() != static_cast<Bytes>(block));
    }
    QCOMPARE(storedPicture(), card);

    // Handing the box its own stored block back must not read freed memory.
    setPicture(heldBlock());
    QCOMPARE(storedPicture(), card);
    QVERIFY(box().hasImage());
}

void TestPictureBox::paintsByDisplayMode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("storedMode");
    QTest::addColumn<QList<Probe>>("probes");

    // Every box is 168 x 256, the size of the first card box.
    auto bmp = [](int width, int height) { return encodeWithQt(solidImage(width, height, red), "bmp"); };

    QTest::newRow("0: card at the top-left, face colour right and below")
        << cardJpeg() << 0 << 0
        << QList<Probe> { { { 0, 0 }, true }, { { 155, 0 }, true }, { { 0, 250 }, true },
               { { 155, 250 }, true }, { { 156, 0 }, false }, { { 156, 250 }, false },
               { { 167, 128 }, false }, { { 0, 251 }, false }, { { 155, 251 }, false },
               { { 167, 255 }, false } };
    QTest::newRow("0: larger picture cut off") << bmp(200,
        300) << 0 << 0 << QList<Probe> { { { 0, 0 }, true }, { { 167, 255 }, true }, { { 167, 0 }, true } };
    QTest::newRow("1: stretched to fill")
        << bmp(40, 20) << 1 << 1
        << QList<Probe> { { { 0, 0 }, true }, { { 167, 0 }, true }, { { 0, 255 }, true },
               { { 167, 255 }, true }, { { 84, 128 }, true } };
    QTest::newRow("2: smaller picture centred at its own size")
        << bmp(40, 20) << 2 << 2
        << QList<Probe> { { { 64, 118 }, true }, { { 103, 137 }, true }, { { 63, 118 }, false },
               { { 104, 137 }, false }, { { 64, 117 }, false }, { { 103, 138 }, false },
               { { 0, 0 }, false } };
    // 336 x 128 fits as 168 x 64, rows 96 to 159.
    QTest::newRow("2: wider picture shrunk keeping proportions")
        << bmp(336, 128) << 2 << 2
        << QList<Probe> { { { 84, 93 }, false }, { { 84, 99 }, true }, { { 84, 156 }, true },
               { { 84, 162 }, false }, { { 1, 128 }, true }, { { 166, 128 }, true } };
    // 100 x 512 fits as 50 x 256, columns 59 to 108.
    QTest::newRow("2: taller picture shrunk keeping proportions")
        << bmp(100, 512) << 2 << 2
        << QList<Probe> { { { 56, 128 }, false }, { { 62, 128 }, true }, { { 105, 128 }, true },
               { { 111, 128 }, false }, { { 84, 1 }, true }, { { 84, 254 }, true } };
    QTest::newRow("negative mode is 0") << bmp(
        40, 20) << -3 << 0 << QList<Probe> { { { 0, 0 }, true }, { { 39, 19 }, true }, { { 40, 0 }, false } };
    QTest::newRow("unknown mode is kept and drawn as 0") << bmp(40,
        20) << 7 << 7 << QList<Probe> { { { 0, 0 }, true }, { { 39, 19 }, true }, { { 84, 128 }, false } };
}

void TestPictureBox::paintsByDisplayMode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, mode);
    QFETCH(int, storedMode);
    QFETCH(QList<Probe>, probes);

    setDisplayMode(mode);
    QCOMPARE(displayMode(), storedMode);
    setPicture(bytes);
    QVERIFY(box().hasImage());

    const QImage shot = grabBox();
    QCOMPARE(shot.size(), QSize(168, 256));
    const QColor face = faceColour(box());
    QVERIFY(colourDistance(face, red) > 60);
    for (const Probe &probe : probes) {
        const QColor seen = shot.pixelColor(probe.at);
        const QColor expected = probe.picture ? red : face;
        QVERIFY2(colourDistance(seen, expected) <= 8,
            qPrintable(QStringLiteral("at %1,%2: %3 instead of %4")
                           .arg(probe.at.x())
                           .arg(probe.at.y())
                           .arg(seen.name(), expected.name())));
    }
}

void TestPictureBox::disabledBoxLooksTheSame()
{
    // A style may give disabled and inactive buttons a different face; the
    // box keeps the one face colour.
    QPalette palette = box().palette();
    palette.setColor(QPalette::Active, QPalette::Button, QColor(236, 233, 216));
    palette.setColor(QPalette::Inactive, QPalette::Button, QColor(236, 233, 216));
    palette.setColor(QPalette::Disabled, QPalette::Button, QColor(90, 90, 90));
    box().setPalette(palette);
    QImage picture = solidImage(156, 251, red);
    for (int y = 100; y < 150; ++y)
        for (int x = 0; x < 156; ++x)
            picture.setPixelColor(x, y, QColor(20, 180, 40));
    setPicture(encodeWithQt(picture, "bmp"));

    const QImage enabled = grabBox();
    QCOMPARE(enabled.pixelColor(160, 10), QColor(236, 233, 216));
    writeProperty(boxWindow, boxId, Property::disabled, -1, 1);
    QVERIFY(!box().isEnabled());
    QCOMPARE(grabBox(), enabled);
}

// At own size the picture is drawn without smoothing: at a device pixel
// ratio of 2 every picture pixel becomes an exact 2 x 2 block.
void TestPictureBox::ownSizePictureIsCrispAtDoubleDensity()
{
    QImage checker(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            checker.setPixelColor(x, y, (x + y) % 2 ? QColor(Qt::black) : QColor(Qt::white));

    resizeBox(20, 20);
    for (int mode : { 0, 2 }) {
        setDisplayMode(mode);
        setPicture(encodeWithQt(checker, "bmp"));
        QImage shot(40, 40, QImage::Format_RGB32);
        shot.setDevicePixelRatio(2);
        box().render(&shot);

        const QPoint origin = mode == 0 ? QPoint(0, 0) : QPoint(12, 12); // device pixels
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                QVERIFY2(shot.pixelColor(origin + QPoint(x, y)) == checker.pixelColor(x / 2, y / 2),
                    qPrintable(QStringLiteral("mode %1 at %2,%3").arg(mode).arg(x).arg(y)));
    }
}

void TestPictureBox::changesRepaintTheBox_data()
{
    using Change = std::function<void()>;
    QTest::addColumn<Change>("change");

    QTest::newRow("new picture") << Change([] { setPicture(cardJpeg()); });
    QTest::newRow("picture removed") << Change([] { setPicture(Bytes(nullptr)); });
    QTest::newRow("undecodable picture") << Change([] { setPicture(QByteArray("text")); });
    QTest::newRow("display mode") << Change([] { setDisplayMode(2); });
}

void TestPictureBox::changesRepaintTheBox()
{
    using Change = std::function<void()>;
    QFETCH(Change, change);

    PaintCounter counter;
    box().installEventFilter(&counter);
    setPicture(encodeWithQt(solidImage(40, 20, red), "bmp"));
    QVERIFY(QTest::qWaitForWindowExposed(box().window()));
    QTRY_VERIFY(counter.paints > 0);
    QTest::qWait(20);
    counter.paints = 0;

    change();
    QTRY_VERIFY(counter.paints > 0);
}

// A screen reader hears the comment of the picture shown; a box without a
// picture, or whose picture has no comment, has no description. (That a
// change is announced shows only on a live accessibility bus: the real-window
// test hears it.)
void TestPictureBox::describesThePictureItShows()
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&box());
    QCOMPARE(accessible->role(), QAccessible::Graphic);
    QVERIFY(accessible->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    QCOMPARE(accessible->text(QAccessible::Description), QString());

    const QByteArray named = withJpegComment(cardJpeg(), "K");
    const struct {
        QByteArray bytes;
        QString description;
    } steps[] = {
        { withJpegComment(cardJpeg(), QString("红桃 7").toUtf8()), "红桃 7" },
        { withJpegComment(cardJpeg(), "\xc3\xb7\xbb\xa8 10"), "梅花 10" },
        { cardJpeg(), "" }, // a card set without names
        { named, "K" }, { QByteArray(), "" }, // no picture
        { named, "K" }, { named.left(200), "" }, // no picture decoded
    };
    for (const auto &step : steps) {
        setPicture(step.bytes);
        QCOMPARE(accessible->text(QAccessible::Description), step.description);
        QCOMPARE(box().pictureComment(), step.description);
    }
}

QTEST_MAIN(TestPictureBox)
#include "tst_picturebox.moc"
