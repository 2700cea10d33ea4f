#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

// The picture formats a picture box recognises from a block's first bytes.
enum class PictureFormat { none, jpeg, bmp, icon, cursor, gif, pcx8, pcx1 };

// Pictures beyond these bounds are refused from their header alone, before
// anything is allocated for their pixels: a damaged or hostile file must not
// be able to ask for gigabytes. The byte bound counts 4 bytes a pixel.
inline constexpr int maxPictureSide = 16384;
inline constexpr std::int64_t maxPictureBytes = std::int64_t(64) * 1024 * 1024;

// True when a picture of this size may be decoded.
bool pictureSizeAllowed(std::int64_t width, std::int64_t height);

// A decoded picture: rows top to bottom, each pixel 0xAARRGGBB in a 32-bit
// word (in memory B, G, R, A on a little-endian machine, as both Qt's RGB32
// and a Windows DIB lay it out). Opaque pictures have alpha 255 everywhere.
// Move-only: a backend may take the words over instead of copying them.
struct Picture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool hasAlpha = false;
    std::unique_ptr<std::uint32_t[]> pixels; // width * height words; none when null

    // Room for a picture of this size, its words not yet set.
    static Picture ofSize(std::int32_t width, std::int32_t height);

    bool isNull() const { return !pixels; }
    std::uint32_t *row(std::int32_t y) const { return pixels.get() + std::size_t(y) * std::size_t(width); }
    std::uint32_t pixel(std::int32_t x, std::int32_t y) const { return row(y)[x]; }
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

// The format from the first six bytes; fewer than six bytes is no picture.
PictureFormat sniffPictureFormat(const unsigned char *data, std::size_t size);

// The picture in a block, or a null picture when the block is unrecognised,
// too large or fails to decode. Reports nothing. JPEG and PCX are decoded
// here; the other formats by `reader` (none: they decode to nothing).
Picture decodePicture(const unsigned char *data, std::size_t size, PictureReader *reader);
