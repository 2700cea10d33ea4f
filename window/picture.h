// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

// The picture formats a picture box recognises from a block's first bytes.
enum class PictureFormat { none, jpeg, bmp, icon, cursor, gif, pcx8, pcx1 };

// Pictures beyond these bounds are refused from their header alone, before
// anything is allocated for their pixels: a damaged or hostile file must not
// be able to ask for gigabytes. The byte bound counts 4 bytes a pixel.
inline constexpr int maxPictureSide = 16384;
inline constexpr std::int64_t maxPictureBytes = std::int64_t(64) * 1024 * 1024;

// A JPEG's comment says what the card shows, in words, for a screen reader
// ("红桃 7"). It comes from the file and is untrusted: only its first bytes
// are kept, and the text a backend makes of it is bounded, so that a hostile
// file can neither hold much memory nor flood a screen reader.
inline constexpr int maxPictureCommentBytes = 4096;
inline constexpr int maxPictureCommentLength = 200; // UTF-16 units of the text shown

// True when a picture of this size may be decoded.
bool pictureSizeAllowed(std::int64_t width, std::int64_t height);

// How a decoded picture's rows hold its pixels. rgb24: three bytes a pixel,
// red, green, blue (what JPEG decodes to fastest). rgb32 and argb32: one
// 32-bit word a pixel, 0xAARRGGBB (in memory B, G, R, A on a little-endian
// machine, as both Qt's RGB32 and a Windows DIB lay it out); rgb32 has alpha
// 255 everywhere.
enum class PixelLayout { rgb24, rgb32, argb32 };

// A decoded picture: rows top to bottom, each starting on a 32-bit boundary.
// Move-only: a backend may take the rows over instead of copying them.
struct Picture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    PixelLayout layout = PixelLayout::rgb32;
    std::size_t stride = 0; // bytes from one row to the next
    std::unique_ptr<std::uint32_t[]> words; // height * stride bytes; none when null
    // A JPEG's first comment as the file holds it, at most
    // maxPictureCommentBytes and never ending inside a UTF-8 sequence; other
    // formats carry none.
    std::string comment;

    // Room for a picture of this size, its pixels not yet set.
    static Picture ofSize(std::int32_t width, std::int32_t height, PixelLayout layout);

    bool isNull() const { return !words; }
    unsigned char *row(std::int32_t y) const
    {
        return reinterpret_cast<unsigned char *>(words.get()) + std::size_t(y) * stride;
    }
    // A row of a 32-bit layout.
    std::uint32_t *wordRow(std::int32_t y) const { return words.get() + std::size_t(y) * (stride / 4); }
};

// Reads the formats that the layer leaves to the toolkit: BMP, icons,
// cursors and GIF. The size bounds are applied around it: to the size the
// header declares before `read`, and to what `read` gives.
class PictureReader {
public:
    virtual ~PictureReader() = default;
    // The size the header declares; nullopt when it cannot tell.
    virtual std::optional<std::pair<std::int64_t, std::int64_t>> declaredSize(
        const unsigned char *data, std::size_t size, PictureFormat format)
        = 0;
    // A null picture when the block fails to decode.
    virtual Picture read(const unsigned char *data, std::size_t size, PictureFormat format) = 0;
};

// What a JPEG's markers say before any decoding: the declared size, the
// scans (a progressive file has many) and the 8x8 blocks they pass over in
// all, and the first comment, kept as Picture::comment is.
struct JpegOutline {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t scans = 0;
    std::int64_t scanBlocks = 0;
    std::string comment;
};
// nullopt when the markers are broken before the first scan or there is no
// frame header. Reads only within the block.
std::optional<JpegOutline> readJpegOutline(const unsigned char *data, std::size_t size);

// A picture comment's bytes as the text a screen reader is given, as code
// points: UTF-8 when they are valid UTF-8 (what our card generator writes),
// else GBK, as older card sets may carry (a byte that is no GBK becomes
// U+FFFD). Control, format and non-characters are dropped, white space runs
// become one space, the ends are trimmed, and the text is cut to
// maxPictureCommentLength UTF-16 units without splitting a character.
std::u32string pictureCommentText(std::string_view bytes);

// The format from the first six bytes; fewer than six bytes is no picture.
PictureFormat sniffPictureFormat(const unsigned char *data, std::size_t size);

// The picture in a block, or a null picture when the block is unrecognised,
// too large or fails to decode. Reports nothing. JPEG and PCX are decoded
// here (JPEG on Windows by `reader`, within the bounds its markers show);
// the other formats by `reader` (none: they decode to nothing).
Picture decodePicture(const unsigned char *data, std::size_t size, PictureReader *reader);
