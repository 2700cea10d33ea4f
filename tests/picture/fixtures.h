// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>

// Small pictures of every recognised format, written in memory.

enum class JpegKind { baseline, progressive, grey, cmykAdobe, cmykPlain, ycck };

// Through libjpeg's compressor. Grey takes each pixel's grey level; the CMYK
// kinds write the ink values that give the pixel's colour (inverted, as
// Adobe's files do, when an Adobe marker is written).
QByteArray encodeJpeg(const QImage &image, JpegKind kind = JpegKind::baseline, int quality = 90);

// Rewrites the width and height in a JPEG's frame header.
QByteArray withJpegFrameSize(QByteArray jpeg, int width, int height);
// Puts a comment (COM) segment holding `comment` right after the start
// marker, before any other; at most 65533 bytes.
QByteArray withJpegComment(const QByteArray &jpeg, const QByteArray &comment);
// Repeats the first scan (marker, header and entropy data) `copies` more times.
QByteArray withFirstScanRepeated(const QByteArray &jpeg, int copies);

// Through Qt's writers ("bmp", "ico").
QByteArray encodeWithQt(const QImage &image, const char *format);
// An icon file turned into a cursor file (type 2, hotspot 0, 0).
QByteArray iconToCursor(QByteArray icon);

// An uncompressed-LZW GIF89a of at most 240 pixels and 256 colours.
QByteArray encodeGif(const QImage &image);

enum class PcxKind { palette8, rgb8, mono1 };
// runsAcrossLines: one run-length stream for the whole picture instead of one
// per scanline, as some writers do.
QByteArray encodePcx(const QImage &image, PcxKind kind, bool runsAcrossLines = false);

// Solid picture of one colour.
QImage solidImage(int width, int height, QColor colour);
// Largest difference of any channel.
int colourDistance(QColor a, QColor b);
