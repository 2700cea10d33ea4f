// SPDX-License-Identifier: MIT
// Writing one card picture (156 x 251 JPEG) through the picture decoder and
// through a picture box, against a bare libjpeg decode of the same bytes.
// Prints the medians of 10 repetitions and their ratios.

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QPainter>

#include <benchmark/benchmark.h>

#include "barejpeg.h"
#include "runtime/memory.h"
#include "window/picture.h"
#include "window/qt/picturebox.h"
#include "window/qt/qtplatform.h"

namespace {

QByteArray card;

// A stand-in of the cards' kind when the card pictures are not there: white
// card, rank and pip in the corners, a noisy photograph in the middle.
QByteArray standInCard()
{
    QImage image(156, 251, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    quint32 state = 7;
    for (int y = 40; y < 211; ++y)
        for (int x = 20; x < 136; ++x) {
            state = state * 1664525u + 1013904223u;
            const int shade = 100 + int((state >> 24) % 40) + (x + y) / 4;
            image.setPixel(x, y, qRgb(shade, shade - 30, shade - 60));
        }
    painter.setPen(Qt::black);
    painter.drawText(QRect(4, 4, 20, 20), Qt::AlignCenter, "A");
    painter.drawText(QRect(132, 227, 20, 20), Qt::AlignCenter, "A");
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(75);
    writer.write(image);
    return bytes;
}

void bareLibjpeg(benchmark::State &state)
{
    std::vector<unsigned char> pixels;
    for (auto _ : state) {
        bareJpegDecode(
            reinterpret_cast<const unsigned char *>(card.constData()), std::size_t(card.size()), pixels);
        benchmark::DoNotOptimize(pixels.data());
    }
}

void throughDecodePicture(benchmark::State &state)
{
    for (auto _ : state) {
        const Picture picture = decodePicture(reinterpret_cast<const unsigned char *>(card.constData()),
            std::size_t(card.size()), &qtPictureReader());
        benchmark::DoNotOptimize(picture.words.get());
    }
}

// Decoded by the layer and handed to the box, as a picture property write
// does after copying the block.
void throughPictureBox(benchmark::State &state)
{
    PictureBox box;
    box.resize(168, 256);
    Bytes block = newBytes(card.constData(), std::size_t(card.size()));
    for (auto _ : state) {
        Bytes copy = newBytes(bytesData(block), std::size_t(bytesCount(block)));
        box.setPicture(decodePicture(static_cast<const unsigned char *>(bytesData(copy)),
            std::size_t(bytesCount(copy)), &qtPictureReader()));
        releaseMemory(copy);
        benchmark::DoNotOptimize(box.hasImage());
    }
    releaseMemory(block);
}

BENCHMARK(bareLibjpeg)->Repetitions(10)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);
BENCHMARK(throughDecodePicture)->Repetitions(10)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);
BENCHMARK(throughPictureBox)->Repetitions(10)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's median to set them against each other at the end.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> medians;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // The first card picture of the source tree, else a stand-in.
    const QStringList cards
        = QDir(QStringLiteral(KELMORA_PKP_DIR)).entryList({ "*.jpg" }, QDir::Files, QDir::Name);
    QFile file(cards.isEmpty() ? QString() : QStringLiteral(KELMORA_PKP_DIR "/") + cards.first());
    if (file.open(QIODevice::ReadOnly)) {
        card = file.readAll();
        std::printf("card picture: %s (%lld bytes)\n", qPrintable(file.fileName()),
            static_cast<long long>(card.size()));
    } else {
        card = standInCard();
        std::printf(
            "card picture: generated 156 x 251 baseline (%lld bytes)\n", static_cast<long long>(card.size()));
    }
    const Picture check = decodePicture(reinterpret_cast<const unsigned char *>(card.constData()),
        std::size_t(card.size()), &qtPictureReader());
    if (check.isNull()) {
        std::fprintf(stderr, "the card picture does not decode\n");
        return 1;
    }
    std::printf("decoded: %d x %d\n", check.width, check.height);

    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto bare = reporter.medians.find("bareLibjpeg");
    if (bare != reporter.medians.end() && bare->second > 0)
        for (const auto &[name, median] : reporter.medians)
            if (name != "bareLibjpeg")
                std::printf("%s / bareLibjpeg (medians): %.2f\n", name.c_str(), median / bare->second);
    return 0;
}
