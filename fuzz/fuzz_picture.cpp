// SPDX-License-Identifier: MIT
// Any bytes as a picture box's picture: copied into a byte block, sniffed,
// decoded and painted, the way the game hands a card file to its box.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QApplication>
#include <QImage>

#include "runtime/memory.h"
#include "window/picturebox.h"

namespace {

// Qt's readers warn about every damaged file; only a fatal message counts.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg) {
        std::fputs(qPrintable(message), stderr);
        std::abort();
    }
}

// The size of the game's card boxes: big pictures get cut or scaled.
constexpr int boxWidth = 168;
constexpr int boxHeight = 256;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Painting needs a GUI application but no display.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication application(*argc, *argv);
    qInstallMessageHandler(quietMessages);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Bytes block = newBytes(data, size);
    {
        PictureBox box;
        box.resize(boxWidth, boxHeight);
        // The mode follows from the input so that every mode is reached
        // without a framing byte the seed files would lack.
        box.setDisplayMode(std::int32_t(size % 3));
        box.setPicture(block);
        QImage canvas(box.size(), QImage::Format_ARGB32_Premultiplied);
        box.render(&canvas);
        // The stored value is a copy of what was given (no block for none).
        if ((block && box.picture() == block) || bytesCount(box.picture()) != bytesCount(block)
            || (size && std::memcmp(bytesData(box.picture()), data, size) != 0))
            std::abort();
    }
    releaseMemory(block);
    return 0;
}
