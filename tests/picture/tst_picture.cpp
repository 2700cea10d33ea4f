// SPDX-License-Identifier: MIT
#include <QtTest>

#include <csetjmp>
#include <cstdio>
#include <functional>
#include <vector>

// jpeglib.h expects size_t and FILE to be declared already.
#include <jpeglib.h>

#include "fixtures.h"
#include "window/picture.h"
#include "window/qt/picturebox.h"
#include "window/qt/qtplatform.h"

namespace {

const QColor red(200, 40, 60);
const QColor blue(30, 60, 210);

// Decoded with Qt's readers for the formats the layer leaves to the toolkit;
// a copy, so that it outlives the picture.
QImage decode(const QByteArray &bytes)
{
    const Picture picture = decodePicture(reinterpret_cast<const unsigned char *>(bytes.constData()),
        std::size_t(bytes.size()), &qtPictureReader());
    QImage image = pictureImage(picture).copy();
    // The comment's text as the picture box shows it to a screen reader.
    if (!image.isNull())
        image.setText(QString::fromLatin1(pictureCommentKey),
            pictureCommentText(QByteArrayView(picture.comment.data(), qsizetype(picture.comment.size()))));
    return image;
}

// Top half red, bottom half blue, split on a JPEG block boundary: a swapped
// channel order or an upside-down picture shows at the probes.
QImage twoBands(int width, int height)
{
    QImage image = solidImage(width, height, red);
    for (int y = height / 2; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixelColor(x, y, blue);
    return image;
}

// A stand-in for a few bytes of pseudo-random damage, free of 0xFF so that
// it never spells a JPEG marker.
QByteArray garbage(int count)
{
    QByteArray bytes;
    quint32 state = 12345;
    for (int i = 0; i < count; ++i) {
        state = state * 1103515245u + 12345u;
        bytes.append(char((state >> 16) % 0xFF));
    }
    return bytes;
}

QByteArray tinyFixture(PictureFormat format)
{
    const QImage image = twoBands(8, 8);
    switch (format) {
    case PictureFormat::jpeg:
        return encodeJpeg(twoBands(16, 16));
    case PictureFormat::bmp:
        return encodeWithQt(image, "bmp");
    case PictureFormat::icon:
        return encodeWithQt(image, "ico");
    case PictureFormat::cursor:
        return iconToCursor(encodeWithQt(image, "ico"));
    case PictureFormat::gif:
        return encodeGif(image);
    case PictureFormat::pcx8:
        return encodePcx(image, PcxKind::palette8);
    case PictureFormat::pcx1:
        return encodePcx(image, PcxKind::mono1);
    case PictureFormat::none:
        break;
    }
    return {};
}

// The scans of a JPEG and the 8x8 blocks they pass over, as libjpeg itself
// reads them: a scan of one component covers that component's blocks, an
// interleaved scan whole MCUs. nullopt when libjpeg fails on the file.
struct ScanCount {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    std::jmp_buf failed;
    int scans = 0;
    std::int64_t blocks = 0;
};

extern "C" void scanCountFailed(j_common_ptr info)
{
    std::longjmp(static_cast<ScanCount *>(info->client_data)->failed, 1);
}

extern "C" void scanCountQuiet(j_common_ptr) { }

void addScan(ScanCount &count)
{
    const jpeg_decompress_struct &info = count.info;
    ++count.scans;
    count.blocks += info.comps_in_scan == 1
        ? std::int64_t(info.cur_comp_info[0]->width_in_blocks) * info.cur_comp_info[0]->height_in_blocks
        : std::int64_t(info.MCUs_per_row) * info.MCU_rows_in_scan * info.blocks_in_MCU;
}

// Only trivially destructible locals: error_exit jumps back here.
bool countScans(ScanCount &count, const unsigned char *data, std::size_t size)
{
    count.info.err = jpeg_std_error(&count.errors);
    count.info.client_data = &count;
    count.errors.error_exit = scanCountFailed;
    count.errors.output_message = scanCountQuiet;
    if (setjmp(count.failed))
        return false;
    jpeg_create_decompress(&count.info);
    jpeg_mem_src(&count.info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&count.info, TRUE);
    // Buffered-image mode reads scan by scan without producing rows.
    count.info.buffered_image = TRUE;
    jpeg_start_decompress(&count.info);
    addScan(count);
    for (;;) {
        const int step = jpeg_consume_input(&count.info);
        if (step == JPEG_REACHED_SOS)
            addScan(count);
        else if (step == JPEG_REACHED_EOI || step == JPEG_SUSPENDED)
            break;
    }
    return true;
}

std::optional<std::pair<int, std::int64_t>> libjpegScans(const QByteArray &jpeg)
{
    ScanCount count {};
    const bool counted = countScans(
        count, reinterpret_cast<const unsigned char *>(jpeg.constData()), std::size_t(jpeg.size()));
    jpeg_destroy_decompress(&count.info);
    if (!counted)
        return std::nullopt;
    return std::pair(count.scans, count.blocks);
}

std::optional<JpegOutline> outlineOf(const QByteArray &bytes)
{
    // A copy of exactly the right length, so that a read past the end is
    // caught (sanitizer build).
    const std::vector<unsigned char> exact(bytes.begin(), bytes.end());
    return readJpegOutline(exact.data(), exact.size());
}

} // namespace

Q_DECLARE_METATYPE(PictureFormat)

class TestPicture : public QObject {
    Q_OBJECT

private slots:
    void sniffsByTheFirstSixBytes_data();
    void sniffsByTheFirstSixBytes();
    void decodesEveryFormat_data();
    void decodesEveryFormat();
    void headerThenGarbageIsNoPicture_data();
    void headerThenGarbageIsNoPicture();
    void oversizedHeaderIsRefusedBeforeDecoding_data();
    void oversizedHeaderIsRefusedBeforeDecoding();
    void truncatedJpeg_data();
    void truncatedJpeg();
    void endlessScansAreRefused_data();
    void endlessScansAreRefused();
    void scanWorkOverABigPictureIsBounded();
    void damagedFilesNeverCrash_data();
    void damagedFilesNeverCrash();
    void decodesTheCardPictures();
    void commentTextIsReadableAndSafe_data();
    void commentTextIsReadableAndSafe();
    void aJpegKeepsItsFirstComment_data();
    void aJpegKeepsItsFirstComment();
    void jpegOutlineAgreesWithLibjpeg_data();
    void jpegOutlineAgreesWithLibjpeg();
    void jpegOutlineRefusesBrokenMarkers_data();
    void jpegOutlineRefusesBrokenMarkers();
};

void TestPicture::sniffsByTheFirstSixBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<PictureFormat>("format");

    auto row = [](const char *name, const QByteArray &bytes, PictureFormat format) {
        QTest::newRow(name) << bytes << format;
    };
    row("JPEG", QByteArray::fromHex("FFD8FFE00010"), PictureFormat::jpeg);
    row("BMP", QByteArray("BM\x36\x00\x00\x00", 6), PictureFormat::bmp);
    row("icon", QByteArray::fromHex("000001000100"), PictureFormat::icon);
    row("icon, count in the high byte", QByteArray::fromHex("000001000001"), PictureFormat::icon);
    row("cursor", QByteArray::fromHex("000002000200"), PictureFormat::cursor);
    row("GIF87a", "GIF87a", PictureFormat::gif);
    row("GIF89a", "GIF89a", PictureFormat::gif);
    row("PCX 8-bit, version 5", QByteArray::fromHex("0A0501080000"), PictureFormat::pcx8);
    row("PCX 8-bit, version 0", QByteArray::fromHex("0A0001080000"), PictureFormat::pcx8);
    row("PCX 1-bit", QByteArray::fromHex("0A0301010000"), PictureFormat::pcx1);

    row("five bytes of JPEG", QByteArray::fromHex("FFD8FFE000"), PictureFormat::none);
    row("empty", QByteArray(), PictureFormat::none);
    row("icon with count 0", QByteArray::fromHex("000001000000"), PictureFormat::none);
    row("cursor with count 0", QByteArray::fromHex("000002000000"), PictureFormat::none);
    row("icon type 3", QByteArray::fromHex("000003000100"), PictureFormat::none);
    row("GIF88a", "GIF88a", PictureFormat::none);
    row("PCX version 6", QByteArray::fromHex("0A0601080000"), PictureFormat::none);
    row("PCX not run-length", QByteArray::fromHex("0A0500080000"), PictureFormat::none);
    row("PCX 1-bit version 5", QByteArray::fromHex("0A0501010000"), PictureFormat::none);
    row("PCX 4 bits", QByteArray::fromHex("0A0501040000"), PictureFormat::none);
    row("lower-case bm", QByteArray("bm\x36\x00\x00\x00", 6), PictureFormat::none);
    row("text", "hello, world\r\n", PictureFormat::none);
}

void TestPicture::sniffsByTheFirstSixBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(PictureFormat, format);
    QCOMPARE(sniffPictureFormat(
                 reinterpret_cast<const unsigned char *>(bytes.constData()), std::size_t(bytes.size())),
        format);
}

void TestPicture::decodesEveryFormat_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QColor>("top"); // colour at the top-left
    QTest::addColumn<QColor>("bottom"); // colour at the bottom-right
    QTest::addColumn<int>("tolerance"); // per channel
    QTest::addColumn<int>("depth"); // bits a pixel, 0 for any

    const QImage bands = twoBands(16, 16);
    const QImage card = twoBands(156, 251);
    const QColor grey(qGray(red.rgb()), qGray(red.rgb()), qGray(red.rgb()));
    const QColor greyBlue(qGray(blue.rgb()), qGray(blue.rgb()), qGray(blue.rgb()));
    const QColor black(0, 0, 0), white(255, 255, 255);

    QTest::newRow("JPEG card size") << encodeJpeg(card) << QSize(156, 251) << red << blue << 8 << 24;
    QTest::newRow("JPEG progressive")
        << encodeJpeg(bands, JpegKind::progressive) << QSize(16, 16) << red << blue << 8 << 24;
    QTest::newRow("JPEG greyscale expands to grey colour")
        << encodeJpeg(bands, JpegKind::grey) << QSize(16, 16) << grey << greyBlue << 3 << 24;
    QTest::newRow("JPEG CMYK, Adobe inverted")
        << encodeJpeg(bands, JpegKind::cmykAdobe) << QSize(16, 16) << red << blue << 10 << 24;
    QTest::newRow("JPEG CMYK, plain")
        << encodeJpeg(bands, JpegKind::cmykPlain) << QSize(16, 16) << red << blue << 10 << 24;
    QTest::newRow("JPEG YCCK") << encodeJpeg(bands, JpegKind::ycck) << QSize(16, 16) << red << blue << 10
                               << 24;
    QTest::newRow("BMP") << encodeWithQt(bands, "bmp") << QSize(16, 16) << red << blue << 0 << 0;
    QTest::newRow("icon") << encodeWithQt(bands, "ico") << QSize(16, 16) << red << blue << 0 << 0;
    QTest::newRow("cursor") << iconToCursor(encodeWithQt(bands, "ico")) << QSize(16, 16) << red << blue << 0
                            << 0;
    QTest::newRow("GIF") << encodeGif(twoBands(12, 10)) << QSize(12, 10) << red << blue << 0 << 0;
    QTest::newRow("PCX 8-bit palette")
        << encodePcx(bands, PcxKind::palette8) << QSize(16, 16) << red << blue << 0 << 0;
    QTest::newRow("PCX 8-bit palette, odd width, runs across lines")
        << encodePcx(twoBands(13, 6), PcxKind::palette8, true) << QSize(13, 6) << red << blue << 0 << 0;
    QTest::newRow("PCX 8-bit RGB planes")
        << encodePcx(twoBands(7, 4), PcxKind::rgb8) << QSize(7, 4) << red << blue << 0 << 0;
    QImage mono = solidImage(19, 5, Qt::white);
    for (int x = 10; x < 19; ++x)
        mono.setPixelColor(x, 4, Qt::black);
    QTest::newRow("PCX 1-bit") << encodePcx(mono, PcxKind::mono1) << QSize(19, 5) << white << black << 0 << 0;
}

void TestPicture::decodesEveryFormat()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, size);
    QFETCH(QColor, top);
    QFETCH(QColor, bottom);
    QFETCH(int, tolerance);
    QFETCH(int, depth);

    const QImage image = decode(bytes);
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), size);
    if (depth)
        QCOMPARE(image.depth(), depth);
    const QColor seenTop = image.pixelColor(0, 0);
    const QColor seenBottom = image.pixelColor(size.width() - 1, size.height() - 1);
    QVERIFY2(colourDistance(seenTop, top) <= tolerance, qPrintable(seenTop.name()));
    QVERIFY2(colourDistance(seenBottom, bottom) <= tolerance, qPrintable(seenBottom.name()));
}

void TestPicture::headerThenGarbageIsNoPicture_data()
{
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray junk = garbage(600);
    QTest::newRow("JPEG") << QByteArray::fromHex("FFD8") + junk;
    QTest::newRow("BMP") << QByteArray("BM") + junk;
    QTest::newRow("icon") << QByteArray::fromHex("000001000100") + junk;
    QTest::newRow("cursor") << QByteArray::fromHex("000002000100") + junk;
    QTest::newRow("GIF") << QByteArray("GIF89a") + junk;
    QTest::newRow("PCX 8-bit") << QByteArray::fromHex("0A050108") + junk;
    QTest::newRow("PCX 1-bit") << QByteArray::fromHex("0A030101") + junk;
    QTest::newRow("PCX header only") << encodePcx(solidImage(4, 4, red), PcxKind::rgb8).left(128);
    QTest::newRow("JPEG, six bytes") << QByteArray::fromHex("FFD8FFD9FFD9");
}

void TestPicture::headerThenGarbageIsNoPicture()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(decode(bytes).isNull());
}

// A file whose header claims a huge picture must be refused from the header,
// before its pixels are allocated: a sanitizer build aborts on the attempt,
// and a plain build would decode gigapixels of filler.
void TestPicture::oversizedHeaderIsRefusedBeforeDecoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size"); // the picture when allowed, else invalid

    const QByteArray jpeg = encodeJpeg(solidImage(8, 8, red));
    QTest::newRow("JPEG 65500 x 65500") << withJpegFrameSize(jpeg, 65500, 65500) << QSize();
    QTest::newRow("JPEG one too wide") << withJpegFrameSize(jpeg, maxPictureSide + 1, 8) << QSize();
    QTest::newRow("JPEG one too high") << withJpegFrameSize(jpeg, 8, maxPictureSide + 1) << QSize();
    QTest::newRow("JPEG over the byte bound") << withJpegFrameSize(jpeg, 4097, 4096) << QSize();
    QTest::newRow("JPEG widest allowed")
        << withJpegFrameSize(jpeg, maxPictureSide, 8) << QSize(maxPictureSide, 8);

    QByteArray bmp = encodeWithQt(solidImage(8, 8, red), "bmp");
    auto bmpSized = [bmp](qint32 width, qint32 height) mutable {
        qToLittleEndian(width, bmp.data() + 18);
        qToLittleEndian(height, bmp.data() + 22);
        return bmp;
    };
    QTest::newRow("BMP 20000 x 20000") << bmpSized(20000, 20000) << QSize();
    QTest::newRow("BMP 5000 x 5000") << bmpSized(5000, 5000) << QSize();

    QByteArray gif = encodeGif(solidImage(4, 4, red));
    auto gifSized = [gif](quint16 width, quint16 height) mutable {
        qToLittleEndian(width, gif.data() + 6);
        qToLittleEndian(height, gif.data() + 8);
        const qsizetype descriptor = 13 + 768;
        qToLittleEndian(width, gif.data() + descriptor + 5);
        qToLittleEndian(height, gif.data() + descriptor + 7);
        return gif;
    };
    QTest::newRow("GIF 65535 x 65535") << gifSized(65535, 65535) << QSize();
    QTest::newRow("GIF 5000 x 5000") << gifSized(5000, 5000) << QSize();

    QByteArray pcx = encodePcx(solidImage(4, 4, red), PcxKind::rgb8);
    qToLittleEndian(quint16(65535), pcx.data() + 8);
    qToLittleEndian(quint16(65535), pcx.data() + 10);
    qToLittleEndian(quint16(65535), pcx.data() + 66);
    QTest::newRow("PCX 65536 x 65536") << pcx << QSize();
    QTest::newRow("PCX one too wide")
        << encodePcx(solidImage(maxPictureSide + 1, 1, red), PcxKind::mono1) << QSize();
    QTest::newRow("PCX widest allowed")
        << encodePcx(solidImage(maxPictureSide, 1, red), PcxKind::mono1) << QSize(maxPictureSide, 1);
}

void TestPicture::oversizedHeaderIsRefusedBeforeDecoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, size);
    const QImage image = decode(bytes);
    QCOMPARE(image.size(), size.isValid() ? size : QSize(0, 0));
}

// Premature end of data is a warning in libjpeg, not an error: the rows
// received are kept and the rest is filler. A card's rank sits in its
// top-left corner, which arrives first, so a cut-off card stays playable.
// A file cut before its first scan has no picture at all.
void TestPicture::truncatedJpeg_data()
{
    using Cut = std::function<QByteArray(const QByteArray &)>;
    QTest::addColumn<Cut>("cut");
    QTest::addColumn<bool>("picture"); // a picture comes out

    QTest::newRow("cut halfway through the scan data") << Cut([](const QByteArray &whole) {
        const qsizetype scan = whole.indexOf("\xFF\xDA");
        return whole.left(scan + (whole.size() - scan) / 2);
    }) << true;
    QTest::newRow("cut before the scan")
        << Cut([](const QByteArray &whole) { return whole.left(whole.indexOf("\xFF\xDA")); }) << false;
    QTest::newRow("cut in the headers")
        << Cut([](const QByteArray &whole) { return whole.left(100); }) << false;
    QTest::newRow("start marker and one more byte")
        << Cut([](const QByteArray &whole) { return whole.left(3); }) << false;
}

void TestPicture::truncatedJpeg()
{
    using Cut = std::function<QByteArray(const QByteArray &)>;
    QFETCH(Cut, cut);
    QFETCH(bool, picture);

    const QByteArray whole = encodeJpeg(twoBands(64, 64));
    const QImage image = decode(cut(whole));
    QCOMPARE(!image.isNull(), picture);
    if (picture) {
        QCOMPARE(image.size(), QSize(64, 64));
        QVERIFY(colourDistance(image.pixelColor(0, 0), red) <= 8);
    }
}

void TestPicture::endlessScansAreRefused_data()
{
    QTest::addColumn<int>("copies");
    QTest::addColumn<bool>("picture");

    QTest::newRow("a few repeated scans") << 10 << true;
    QTest::newRow("thousands of scans") << 2000 << false;
}

void TestPicture::endlessScansAreRefused()
{
    QFETCH(int, copies);
    QFETCH(bool, picture);

    const QByteArray jpeg = encodeJpeg(twoBands(16, 16), JpegKind::progressive);
    QCOMPARE(!decode(withFirstScanRepeated(jpeg, copies)).isNull(), picture);
}

// Fewer scans than the count limit can still take seconds each over a big
// picture. A usual progression of the largest allowed size decodes; the
// fuzzer's file, one refinement scan over 4096 x 4096 pixels repeated 490
// times in 16 KB, took 13 s before and is refused.
void TestPicture::scanWorkOverABigPictureIsBounded()
{
    const QImage big = solidImage(4096, 4096, red);
    QVERIFY(!decode(encodeJpeg(big, JpegKind::progressive)).isNull());

    QFile file(QStringLiteral(KELMORA_FUZZ_DIR "/regressions/picture/jpeg-repeated-refinement-scans.jpg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(decode(file.readAll()).isNull());
}

// Every prefix of a valid file and every single-byte damage in its first
// bytes: no crash, no read out of bounds (sanitizer build), and any picture
// that comes out is within bounds.
void TestPicture::damagedFilesNeverCrash_data()
{
    QTest::addColumn<PictureFormat>("format");
    QTest::newRow("JPEG") << PictureFormat::jpeg;
    QTest::newRow("BMP") << PictureFormat::bmp;
    QTest::newRow("icon") << PictureFormat::icon;
    QTest::newRow("cursor") << PictureFormat::cursor;
    QTest::newRow("GIF") << PictureFormat::gif;
    QTest::newRow("PCX 8-bit") << PictureFormat::pcx8;
    QTest::newRow("PCX 1-bit") << PictureFormat::pcx1;
}

void TestPicture::damagedFilesNeverCrash()
{
    QFETCH(PictureFormat, format);
    const QByteArray whole = tinyFixture(format);
    QVERIFY(!decode(whole).isNull());

    auto check = [](const QByteArray &bytes) {
        // A copy of exactly the right length, so that a read past the end is
        // caught.
        const std::vector<unsigned char> exact(bytes.begin(), bytes.end());
        const Picture picture = decodePicture(exact.data(), exact.size(), &qtPictureReader());
        return picture.isNull() || pictureSizeAllowed(picture.width, picture.height);
    };
    for (qsizetype keep = 0; keep < whole.size(); ++keep)
        QVERIFY2(check(whole.left(keep)), qPrintable(QString::number(keep)));
    for (qsizetype at = 0; at < std::min<qsizetype>(whole.size(), 160); ++at)
        for (char value : { char(0x00), char(0xFF), char(0x80), char(0x7F) }) {
            QByteArray damaged = whole;
            damaged[at] = value;
            QVERIFY2(check(damaged), qPrintable(QString::number(at)));
        }
}

// The game's own pictures, as installed beside the program.
void TestPicture::decodesTheCardPictures()
{
    const QDir folder(QStringLiteral(KELMORA_PKP_DIR));
    const QStringList cards = folder.entryList({ QStringLiteral("*.jpg") }, QDir::Files);
    if (cards.isEmpty())
        QSKIP("no card pictures in the source tree");
    // Each names its card as a screen reader should say it: 红桃(7).jpg is "红桃 7".
    const QRegularExpression fileName(QStringLiteral("(.+)\\((\\d+)\\)\\.jpg"));
    const QStringList courts { "A", "2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K" };
    for (const QString &name : cards) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QImage image = decode(file.readAll());
        QVERIFY2(image.size() == QSize(156, 251), qPrintable(name));
        const QRegularExpressionMatch parts = fileName.match(name);
        QVERIFY2(parts.hasMatch(), qPrintable(name));
        const QString said = parts.captured(1) + u' ' + courts.value(parts.captured(2).toInt() - 1);
        QCOMPARE(image.text(pictureCommentKey), said);
    }
}

void TestPicture::commentTextIsReadableAndSafe_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("UTF-8") << QString("红桃 7").toUtf8() << QString("红桃 7");
    QTest::newRow("GBK when not UTF-8") << QByteArray("\xc3\xb7\xbb\xa8 10") << QString("梅花 10");
    QTest::newRow("a byte that is no GBK shows as a replacement")
        << QByteArray("\x81\x20K") << QString(QChar::ReplacementCharacter) + "K";
    QTest::newRow("control characters dropped") << QByteArray("\xe9\xbb\x91\x07\xe6\xa1\x83\x00 \x1b"
                                                              "A",
        12) << QString("黑桃 A");
    QTest::newRow("line breaks and tabs are one space, ends trimmed")
        << QString(" 方块\r\n\tK \n").toUtf8() << QString("方块 K");
    QTest::newRow("direction overrides and byte-order marks dropped")
        << QString("\ufeff黑桃 \u202eA\u202c").toUtf8() << QString("黑桃 A");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("nothing but controls") << QByteArray("\x01\x02\r\n") << QString();
    QTest::newRow("cut to the bound")
        << QString(300, QChar(u'红')).toUtf8() << QString(maxPictureCommentLength, QChar(u'红'));
    QTest::newRow("the cut splits no character")
        << (QByteArray(maxPictureCommentLength - 1, 'a') + QString("😀b").toUtf8())
        << QString(maxPictureCommentLength - 1, QChar(u'a'));
}

void TestPicture::commentTextIsReadableAndSafe()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(pictureCommentText(bytes), text);
}

void TestPicture::aJpegKeepsItsFirstComment_data()
{
    const QByteArray plain = encodeJpeg(twoBands(32, 32));
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("comment");
    QTest::newRow("none") << plain << QString();
    QTest::newRow("one") << withJpegComment(plain, QString("红桃 7").toUtf8()) << QString("红桃 7");
    QTest::newRow("the first of two")
        << withJpegComment(withJpegComment(plain, "second"), "first") << QString("first");
    QTest::newRow("progressive") << withJpegComment(encodeJpeg(twoBands(32, 32), JpegKind::progressive), "K")
                                 << QString("K");
    // Far longer than is kept: the kept bytes end inside a character, which
    // must not turn the rest into GBK.
    QTest::newRow("longer than is kept") << withJpegComment(plain, QString(20000, QChar(u'红')).toUtf8())
                                         << QString(maxPictureCommentLength, QChar(u'红'));
    QTest::newRow("other formats carry none") << encodeWithQt(twoBands(32, 32), "bmp") << QString();
}

void TestPicture::aJpegKeepsItsFirstComment()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, comment);
    const QImage image = decode(file);
    QVERIFY(!image.isNull());
    // The comment takes nothing from the picture.
    QVERIFY(colourDistance(image.pixelColor(4, 4), red) < 16);
    QCOMPARE(image.text(pictureCommentKey), comment);
}

// The outline the Windows build bounds a JPEG by, before the system decoder
// runs, says what libjpeg finds in the file: the size and the comment that
// decoding gives, and the scans and blocks that libjpeg's own bound counts.
void TestPicture::jpegOutlineAgreesWithLibjpeg_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("leastScans");
    const auto addFolder = [](const QString &path) {
        const QDir folder(path);
        const QStringList names = folder.entryList({ QStringLiteral("*.jpg") }, QDir::Files);
        QVERIFY2(!names.isEmpty(), qPrintable(path));
        for (const QString &name : names) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QTest::newRow(qPrintable(folder.dirName() + u'/' + name))
                << file.readAll() << (name.startsWith(u"progressive") ? 2 : 1);
        }
    };
    addFolder(QStringLiteral(KELMORA_PKP_DIR));
    addFolder(QStringLiteral(KELMORA_FUZZ_DIR "/corpus/picture"));
    // Sizes off the block and MCU grid, for the rounding of the counts.
    const QImage odd = twoBands(33, 17);
    QTest::newRow("progressive, odd size, comment")
        << withJpegComment(encodeJpeg(odd, JpegKind::progressive), "K") << 2;
    QTest::newRow("baseline, odd size") << encodeJpeg(odd) << 1;
    QTest::newRow("grey, odd size") << encodeJpeg(odd, JpegKind::grey) << 1;
    QTest::newRow("YCCK") << encodeJpeg(odd, JpegKind::ycck) << 1;
    QTest::newRow("first of two comments, long")
        << withJpegComment(withJpegComment(encodeJpeg(odd), "second"), QString(3000, QChar(u'红')).toUtf8())
        << 1;
    QTest::newRow("repeated scans") << withFirstScanRepeated(encodeJpeg(odd, JpegKind::progressive), 20)
                                    << 22;
}

void TestPicture::jpegOutlineAgreesWithLibjpeg()
{
    QFETCH(QByteArray, file);
    QFETCH(int, leastScans);
    const Picture decoded = decodePicture(reinterpret_cast<const unsigned char *>(file.constData()),
        std::size_t(file.size()), &qtPictureReader());
    QVERIFY(!decoded.isNull());
    const auto outline = outlineOf(file);
    QVERIFY(outline);
    QCOMPARE(outline->width, decoded.width);
    QCOMPARE(outline->height, decoded.height);
    QCOMPARE(outline->comment, decoded.comment);
    const auto scans = libjpegScans(file);
    QVERIFY(scans);
    QCOMPARE(outline->scans, scans->first);
    QCOMPARE(outline->scanBlocks, scans->second);
    QVERIFY(outline->scans >= leastScans);
}

void TestPicture::jpegOutlineRefusesBrokenMarkers_data()
{
    const QByteArray whole = encodeJpeg(twoBands(64, 64));
    const qsizetype frame = whole.indexOf("\xFF\xC0");
    const qsizetype firstScan = whole.indexOf("\xFF\xDA");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("outline");

    QTest::newRow("whole") << whole << true;
    QTest::newRow("cut in the last scan") << whole.left(firstScan + 40) << true;
    QTest::newRow("not a JPEG") << encodeWithQt(twoBands(8, 8), "bmp") << false;
    QTest::newRow("start marker alone") << whole.left(2) << false;
    QTest::newRow("cut in a segment before the frame") << whole.left(frame - 3) << false;
    QTest::newRow("cut in the frame header") << whole.left(frame + 8) << false;
    QByteArray longer = whole;
    longer[frame + 2] = char(0x7F); // the frame's length runs past the end
    QTest::newRow("segment length past the end") << longer << false;
    QByteArray shorter = whole;
    shorter[frame + 2] = 0;
    shorter[frame + 3] = 1; // below the two bytes of the length itself
    QTest::newRow("segment length below 2") << shorter << false;
    const int frameLength = (uchar(whole[frame + 2]) << 8 | uchar(whole[frame + 3])) + 2;
    QTest::newRow("no frame header") << QByteArray(whole).remove(frame, frameLength) << false;
    QTest::newRow("no marker where one is due") << QByteArray(whole).insert(frame, 'x') << false;
}

void TestPicture::jpegOutlineRefusesBrokenMarkers()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, outline);
    const auto read = outlineOf(file);
    QCOMPARE(bool(read), outline);
    if (read) {
        QCOMPARE(read->width, 64);
        QCOMPARE(read->height, 64);
    }
}

QTEST_GUILESS_MAIN(TestPicture)
#include "tst_picture.moc"
