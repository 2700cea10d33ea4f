// SPDX-License-Identifier: MIT
#include "fixtures.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <QBuffer>
#include <QHash>
#include <QImageWriter>
#include <QtGlobal>

#include <jpeglib.h>

namespace {

void appendWord(QByteArray &out, int value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

} // namespace

QByteArray encodeJpeg(const QImage &source, JpegKind kind, int quality)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);

    const bool cmyk = kind == JpegKind::cmykAdobe || kind == JpegKind::cmykPlain || kind == JpegKind::ycck;
    info.image_width = JDIMENSION(image.width());
    info.image_height = JDIMENSION(image.height());
    info.input_components = kind == JpegKind::grey ? 1 : cmyk ? 4 : 3;
    info.in_color_space = kind == JpegKind::grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (kind == JpegKind::ycck)
        jpeg_set_colorspace(&info, JCS_YCCK);
    if (kind == JpegKind::cmykPlain)
        info.write_Adobe_marker = FALSE;
    if (kind == JpegKind::progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);

    const bool inverted = kind != JpegKind::cmykPlain;
    std::vector<JSAMPLE> row(std::size_t(image.width()) * 4);
    for (int y = 0; y < image.height(); ++y) {
        auto in = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int r = qRed(in[x]), g = qGreen(in[x]), b = qBlue(in[x]);
            JSAMPLE *out = row.data() + std::size_t(x) * std::size_t(info.input_components);
            if (kind == JpegKind::grey) {
                out[0] = JSAMPLE(qGray(in[x]));
            } else if (cmyk) {
                const int k = 255 - std::max({ r, g, b });
                const int c = k == 255 ? 0 : (255 - r - k) * 255 / (255 - k);
                const int m = k == 255 ? 0 : (255 - g - k) * 255 / (255 - k);
                const int ye = k == 255 ? 0 : (255 - b - k) * 255 / (255 - k);
                const int inks[4] = { c, m, ye, k };
                for (int i = 0; i < 4; ++i)
                    out[i] = JSAMPLE(inverted ? 255 - inks[i] : inks[i]);
            } else {
                out[0] = JSAMPLE(r);
                out[1] = JSAMPLE(g);
                out[2] = JSAMPLE(b);
            }
        }
        JSAMPROW rowPointer = row.data();
        jpeg_write_scanlines(&info, &rowPointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray result(reinterpret_cast<const char *>(buffer), qsizetype(size));
    std::free(buffer);
    return result;
}

QByteArray withJpegComment(const QByteArray &jpeg, const QByteArray &comment)
{
    const qsizetype length = comment.size() + 2;
    QByteArray segment("\xff\xfe", 2);
    segment.append(char(length >> 8)).append(char(length & 0xff)).append(comment);
    return QByteArray(jpeg).insert(2, segment);
}

QByteArray withJpegFrameSize(QByteArray jpeg, int width, int height)
{
    // Walk the marker segments up to the first frame header (SOF0 to SOF15,
    // leaving out DHT C4, JPG C8 and DAC CC).
    qsizetype at = 2;
    while (at + 4 <= jpeg.size()) {
        const auto marker = static_cast<unsigned char>(jpeg[at + 1]);
        const int length
            = static_cast<unsigned char>(jpeg[at + 2]) << 8 | static_cast<unsigned char>(jpeg[at + 3]);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            jpeg[at + 5] = char(height >> 8);
            jpeg[at + 6] = char(height & 0xFF);
            jpeg[at + 7] = char(width >> 8);
            jpeg[at + 8] = char(width & 0xFF);
            return jpeg;
        }
        at += 2 + length;
    }
    qFatal("no frame header");
}

QByteArray withFirstScanRepeated(const QByteArray &jpeg, int copies)
{
    const qsizetype start = jpeg.indexOf("\xFF\xDA");
    Q_ASSERT(start > 0);
    // The entropy data ends at the first marker that is neither a stuffed
    // zero nor a restart marker.
    qsizetype end = start + 2;
    end += static_cast<unsigned char>(jpeg[end]) << 8 | static_cast<unsigned char>(jpeg[end + 1]);
    while (end + 1 < jpeg.size()) {
        const auto next = static_cast<unsigned char>(jpeg[end + 1]);
        if (static_cast<unsigned char>(jpeg[end]) == 0xFF && next != 0x00 && !(next >= 0xD0 && next <= 0xD7))
            break;
        ++end;
    }
    const QByteArray scan = jpeg.mid(start, end - start);
    return jpeg.left(end) + scan.repeated(copies) + jpeg.mid(end);
}

QByteArray encodeWithQt(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image))
        qFatal("cannot write %s: %s", format, qPrintable(writer.errorString()));
    return bytes;
}

QByteArray iconToCursor(QByteArray icon)
{
    icon[2] = 2;
    // In a cursor's directory entry the planes and bit count are the hotspot.
    for (int i = 10; i < 14; ++i)
        icon[i] = 0;
    return icon;
}

QByteArray encodeGif(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    Q_ASSERT(image.width() * image.height() <= 240);
    QList<QRgb> palette;
    std::vector<int> indices;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb colour = image.pixel(x, y) | 0xFF000000;
            qsizetype index = palette.indexOf(colour);
            if (index < 0) {
                index = palette.size();
                palette.append(colour);
            }
            indices.push_back(int(index));
        }
    Q_ASSERT(palette.size() <= 256);

    QByteArray out("GIF89a");
    appendWord(out, image.width());
    appendWord(out, image.height());
    out.append(char(0xF7)); // a global table of 256 colours
    out.append(char(0));
    out.append(char(0));
    for (int i = 0; i < 256; ++i) {
        const QRgb colour = i < palette.size() ? palette[i] : 0;
        out.append(char(qRed(colour)));
        out.append(char(qGreen(colour)));
        out.append(char(qBlue(colour)));
    }
    out.append(char(0x2C));
    appendWord(out, 0);
    appendWord(out, 0);
    appendWord(out, image.width());
    appendWord(out, image.height());
    out.append(char(0));
    out.append(char(8)); // minimum code size: 9-bit codes, clear 256, end 257

    // Few enough codes that the code width never grows past 9 bits.
    QByteArray packed;
    unsigned bits = 0;
    int bitCount = 0;
    auto put = [&](int code) {
        bits |= unsigned(code) << bitCount;
        bitCount += 9;
        while (bitCount >= 8) {
            packed.append(char(bits & 0xFF));
            bits >>= 8;
            bitCount -= 8;
        }
    };
    put(256);
    for (int index : indices)
        put(index);
    put(257);
    if (bitCount > 0)
        packed.append(char(bits & 0xFF));
    for (qsizetype at = 0; at < packed.size(); at += 255) {
        const QByteArray block = packed.mid(at, 255);
        out.append(char(block.size()));
        out.append(block);
    }
    out.append(char(0));
    out.append(char(0x3B));
    return out;
}

QByteArray encodePcx(const QImage &source, PcxKind kind, bool runsAcrossLines)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int width = image.width(), height = image.height();
    const int planes = kind == PcxKind::rgb8 ? 3 : 1;
    const int bits = kind == PcxKind::mono1 ? 1 : 8;
    int bytesPerLine = kind == PcxKind::mono1 ? (width + 7) / 8 : width;
    bytesPerLine += bytesPerLine % 2;

    QList<QRgb> palette;
    QByteArray raw; // every scanline, unpacked
    for (int y = 0; y < height; ++y) {
        auto in = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int plane = 0; plane < planes; ++plane) {
            QByteArray line(bytesPerLine, '\0');
            for (int x = 0; x < width; ++x) {
                if (kind == PcxKind::mono1) {
                    if (qGray(in[x]) > 127)
                        line[x / 8] = char(line[x / 8] | (0x80 >> (x % 8)));
                } else if (kind == PcxKind::rgb8) {
                    line[x] = char(plane == 0 ? qRed(in[x]) : plane == 1 ? qGreen(in[x]) : qBlue(in[x]));
                } else {
                    const QRgb colour = in[x] | 0xFF000000;
                    qsizetype index = palette.indexOf(colour);
                    if (index < 0) {
                        index = palette.size();
                        palette.append(colour);
                    }
                    line[x] = char(index);
                }
            }
            raw.append(line);
        }
    }
    Q_ASSERT(palette.size() <= 256);

    QByteArray out(128, '\0');
    out[0] = 0x0A;
    out[1] = kind == PcxKind::mono1 ? 3 : 5;
    out[2] = 1;
    out[3] = char(bits);
    QByteArray fields;
    appendWord(fields, 0);
    appendWord(fields, 0);
    appendWord(fields, width - 1);
    appendWord(fields, height - 1);
    out.replace(4, 8, fields);
    out[65] = char(planes);
    out[66] = char(bytesPerLine & 0xFF);
    out[67] = char(bytesPerLine >> 8);
    out[68] = 1;

    const qsizetype lineBytes = qsizetype(bytesPerLine) * planes;
    const qsizetype chunk = runsAcrossLines ? raw.size() : lineBytes;
    for (qsizetype start = 0; start < raw.size(); start += chunk) {
        const qsizetype end = start + chunk;
        for (qsizetype at = start; at < end;) {
            const char value = raw[at];
            qsizetype run = 1;
            while (at + run < end && run < 63 && raw[at + run] == value)
                ++run;
            if (run > 1 || (static_cast<unsigned char>(value) & 0xC0) == 0xC0)
                out.append(char(0xC0 | run));
            out.append(value);
            at += run;
        }
    }
    if (kind == PcxKind::palette8) {
        out.append(char(0x0C));
        for (int i = 0; i < 256; ++i) {
            const QRgb colour = i < palette.size() ? palette[i] : 0;
            out.append(char(qRed(colour)));
            out.append(char(qGreen(colour)));
            out.append(char(qBlue(colour)));
        }
    }
    return out;
}

QImage solidImage(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

int colourDistance(QColor a, QColor b)
{
    return std::max(
        { std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue()) });
}
