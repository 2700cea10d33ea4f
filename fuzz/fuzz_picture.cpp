// SPDX-License-Identifier: MIT
// Any bytes as a picture box's picture: sniffed and decoded by the window
// layer (with Qt's readers for the formats it leaves to the toolkit), then
// painted by the Qt picture box, the way a card file reaches the screen.
// Also the JPEG marker walk the Windows build bounds its decoder with.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QApplication>
#include <QImage>

#include "window/picture.h"
#include "window/qt/picturebox.h"
#include "window/qt/qtplatform.h"

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
    // The marker walk that bounds JPEGs before the Windows decoder sees them.
    if (const auto outline = readJpegOutline(data, size)) {
        if (outline->width < 0 || outline->height < 0 || (outline->scans < 1 && outline->scanBlocks != 0)
            || outline->comment.size() > std::size_t(maxPictureCommentBytes))
            std::abort();
    }
    Picture picture = decodePicture(data, size, &qtPictureReader());
    // Whatever comes out is within bounds; painting reads all of it.
    if (!picture.isNull() && !pictureSizeAllowed(picture.width, picture.height))
        std::abort();
    PictureBox box;
    box.resize(boxWidth, boxHeight);
    // The mode follows from the input so that every mode is reached
    // without a framing byte the seed files would lack.
    box.setDisplayMode(std::int32_t(size % 3));
    box.setPicture(std::move(picture));
    QImage canvas(box.size(), QImage::Format_ARGB32_Premultiplied);
    box.render(&canvas);
    return 0;
}
