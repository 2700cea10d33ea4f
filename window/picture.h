#pragma once

#include <cstddef>
#include <cstdint>

#include <QImage>

// The picture formats a picture box recognises from a block's first bytes.
enum class PictureFormat { none, jpeg, bmp, icon, cursor, gif, pcx8, pcx1 };

// Pictures beyond these bounds are refused from their header alone, before
// anything is allocated for their pixels: a damaged or hostile file must not
// be able to ask for gigabytes. The byte bound counts 4 bytes a pixel.
inline constexpr int maxPictureSide = 16384;
inline constexpr std::int64_t maxPictureBytes = std::int64_t(64) * 1024 * 1024;

// True when a picture of this size may be decoded.
bool pictureSizeAllowed(std::int64_t width, std::int64_t height);

// The format from the first six bytes; fewer than six bytes is no picture.
PictureFormat sniffPictureFormat(const unsigned char *data, std::size_t size);

// The picture in a block, or a null image when the block is unrecognised,
// too large or fails to decode. Reports nothing. JPEG pictures come back as
// 24-bit colour.
QImage decodePicture(const unsigned char *data, std::size_t size);
