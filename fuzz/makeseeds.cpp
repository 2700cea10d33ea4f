// SPDX-License-Identifier: MIT
// Writes one small picture of each recognised format into the folder given,
// for the picture fuzzer's seed corpus:
//   fuzz_makeseeds fuzz/corpus/picture

#include <cstdio>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "fixtures.h"

namespace {

// A few colours and edges, so the encoders use more than one code.
QImage sample(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height / 2, Qt::red);
    painter.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, Qt::blue);
    painter.setPen(Qt::black);
    painter.drawLine(0, height - 1, width - 1, 0);
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s folder\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const QImage image = sample(12, 9);
    QImage mono = solidImage(19, 5, Qt::white);
    for (int x = 0; x < 19; x += 3)
        mono.setPixelColor(x, x % 5, Qt::black);

    const struct {
        const char *name;
        QByteArray bytes;
    } seeds[] = {
        { "baseline.jpg", encodeJpeg(image, JpegKind::baseline, 75) },
        { "progressive.jpg", encodeJpeg(image, JpegKind::progressive, 75) },
        { "grey.jpg", encodeJpeg(image, JpegKind::grey, 75) },
        { "cmyk.jpg", encodeJpeg(image, JpegKind::cmykAdobe, 75) },
        { "ycck.jpg", encodeJpeg(image, JpegKind::ycck, 75) },
        { "picture.bmp", encodeWithQt(image, "bmp") },
        { "picture.ico", encodeWithQt(image, "ico") },
        { "picture.cur", iconToCursor(encodeWithQt(image, "ico")) },
        { "picture.gif", encodeGif(image) },
        { "palette8.pcx", encodePcx(image, PcxKind::palette8) },
        { "palette8-runs-across.pcx", encodePcx(image, PcxKind::palette8, true) },
        { "rgb8.pcx", encodePcx(image, PcxKind::rgb8) },
        { "mono1.pcx", encodePcx(mono, PcxKind::mono1) },
    };
    for (const auto &seed : seeds) {
        QFile file(folder.filePath(QString::fromLatin1(seed.name)));
        if (!file.open(QIODevice::WriteOnly) || file.write(seed.bytes) != seed.bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", seed.name);
            return 1;
        }
    }
    return 0;
}
