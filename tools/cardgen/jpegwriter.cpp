// SPDX-License-Identifier: MIT
// JPEG output through libjpeg itself, so the files are exactly what the game's decoder expects:
// baseline, three YCbCr components, no progressive scans.
#include "art.h"

#include <QByteArray>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace cardgen {

bool writeJpeg(const QImage &image, const QString &path, int quality, bool fullColour, const QString &name)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);

    jpeg_compress_struct cinfo {};
    jpeg_error_mgr errors {};
    // The standard error exit prints the message and ends the tool, which is all a generator needs.
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);

    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);

    cinfo.image_width = static_cast<JDIMENSION>(rgb.width());
    cinfo.image_height = static_cast<JDIMENSION>(rgb.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    // The defaults halve the colour resolution; full resolution keeps thin red strokes free of fringes.
    if (fullColour) {
        for (int c = 0; c < 3; ++c) {
            cinfo.comp_info[c].h_samp_factor = 1;
            cinfo.comp_info[c].v_samp_factor = 1;
        }
    }
    // Optimised Huffman tables: smaller files, still baseline.
    cinfo.optimize_coding = TRUE;

    jpeg_start_compress(&cinfo, TRUE);
    // Right after the header, before any picture data: the name costs a few bytes and no pixel.
    const QByteArray comment = name.toUtf8();
    jpeg_write_marker(&cinfo, JPEG_COM, reinterpret_cast<const JOCTET *>(comment.constData()),
        static_cast<unsigned int>(comment.size()));
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);

    QFile file(path);
    const qint64 length = static_cast<qint64>(size);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(reinterpret_cast<const char *>(buffer), length) == length;
    std::free(buffer);
    return written;
}

} // namespace cardgen
