// SPDX-License-Identifier: MIT
#pragma once

// The baseline the picture path is measured against: libjpeg alone, from
// memory to 24-bit rows, with nothing around it. Benchmark inputs are valid
// files, so libjpeg's own error exit is good enough here.

#include <cstddef>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

inline void bareJpegDecode(const unsigned char *data, std::size_t size, std::vector<unsigned char> &pixels)
{
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    const std::size_t stride = std::size_t(info.output_width) * 3;
    pixels.resize(stride * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels.data() + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
}
