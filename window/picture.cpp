// SPDX-License-Identifier: MIT
#include "picture.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "runtime/gbk.h"

#ifndef _WIN32
// jpeglib.h expects size_t and FILE to be declared already.
#include <jpeglib.h>
#endif

Picture Picture::ofSize(std::int32_t width, std::int32_t height, PixelLayout layout)
{
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.layout = layout;
    const std::size_t wordsPerRow
        = layout == PixelLayout::rgb24 ? (std::size_t(width) * 3 + 3) / 4 : std::size_t(width);
    picture.stride = wordsPerRow * 4;
    // Not cleared: every decoder writes every pixel.
    picture.words.reset(new std::uint32_t[wordsPerRow * std::size_t(height)]);
    return picture;
}

bool pictureSizeAllowed(std::int64_t width, std::int64_t height)
{
    return width > 0 && height > 0 && width <= maxPictureSide && height <= maxPictureSide
        && width * height * 4 <= maxPictureBytes;
}

PictureFormat sniffPictureFormat(const unsigned char *data, std::size_t size)
{
    if (!data || size < 6)
        return PictureFormat::none;
    const unsigned char *d = data;
    const unsigned count = unsigned(d[4]) | unsigned(d[5]) << 8;
    if (d[0] == 0xFF && d[1] == 0xD8)
        return PictureFormat::jpeg;
    if (d[0] == 'B' && d[1] == 'M')
        return PictureFormat::bmp;
    if (d[0] == 0 && d[1] == 0 && d[2] == 1 && d[3] == 0 && count != 0)
        return PictureFormat::icon;
    if (d[0] == 0 && d[1] == 0 && d[2] == 2 && d[3] == 0 && count != 0)
        return PictureFormat::cursor;
    if (std::memcmp(d, "GIF87a", 6) == 0 || std::memcmp(d, "GIF89a", 6) == 0)
        return PictureFormat::gif;
    if (d[0] == 0x0A && d[1] <= 5 && d[2] == 1 && d[3] == 8)
        return PictureFormat::pcx8;
    if (d[0] == 0x0A && d[1] == 3 && d[2] == 1 && d[3] == 1)
        return PictureFormat::pcx1;
    return PictureFormat::none;
}

namespace {

// ---- JPEG --------------------------------------------------------------

// Progressive files may carry any number of scans, each a pass over the
// coefficients of the components it covers; a crafted one can keep the
// decoder busy for minutes. The count alone does not bound the work: a few
// hundred scans of a big picture still take many seconds, so the blocks all
// scans pass over are bounded too: 2^23 blocks is some ten passes over all
// components of the largest allowed picture, twice what the usual
// progressions need, and well under a second of work.
constexpr int maxJpegScans = 500;
constexpr std::int64_t maxJpegScanBlocks = std::int64_t(1) << 23;

// A comment longer than was kept may end inside a UTF-8 sequence; that
// piece goes, so the rest still reads as UTF-8.
std::string withoutCutSequence(std::string bytes)
{
    std::size_t lead = bytes.size();
    int continuations = 0;
    while (lead > 0 && continuations < 3 && (static_cast<unsigned char>(bytes[lead - 1]) & 0xC0) == 0x80) {
        --lead;
        ++continuations;
    }
    if (lead == 0)
        return bytes;
    const auto first = static_cast<unsigned char>(bytes[lead - 1]);
    const int needed = first >= 0xF0 ? 3 : first >= 0xE0 ? 2 : first >= 0xC0 ? 1 : 0;
    if (first >= 0xC0 && continuations < needed)
        bytes.resize(lead - 1);
    return bytes;
}

// Blocks of 8x8 samples one component has: its share of the picture's
// width and height, as its sampling factors give it, rounded up to blocks.
std::int64_t componentBlocks(std::int64_t width, std::int64_t height, std::int64_t h, std::int64_t v,
    std::int64_t maxH, std::int64_t maxV)
{
    const std::int64_t columns = (width * h + maxH - 1) / maxH;
    const std::int64_t rows = (height * v + maxV - 1) / maxV;
    return ((columns + 7) / 8) * ((rows + 7) / 8);
}

bool isFrameMarker(unsigned marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

} // namespace

std::optional<JpegOutline> readJpegOutline(const unsigned char *data, std::size_t size)
{
    if (!data || size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return std::nullopt;
    struct Component {
        int id;
        std::int64_t h, v;
    };
    JpegOutline outline;
    std::vector<Component> components;
    std::int64_t maxH = 1;
    std::int64_t maxV = 1;
    bool haveComment = false;
    std::size_t at = 2;
    while (at < size) {
        if (data[at] != 0xFF)
            return std::nullopt;
        while (at < size && data[at] == 0xFF) // fill bytes
            ++at;
        if (at >= size)
            break;
        const unsigned marker = data[at++];
        if (marker == 0xD9) // end of image
            break;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue; // no length
        if (size - at < 2)
            return std::nullopt;
        const std::size_t length = std::size_t(data[at]) << 8 | data[at + 1];
        if (length < 2 || length > size - at)
            return std::nullopt;
        const unsigned char *segment = data + at + 2;
        const std::size_t payload = length - 2;
        at += length;

        if (isFrameMarker(marker) && components.empty()) {
            if (payload < 6)
                return std::nullopt;
            outline.height = segment[1] << 8 | segment[2];
            outline.width = segment[3] << 8 | segment[4];
            const std::size_t count = segment[5];
            if (count == 0 || payload < 6 + count * 3)
                return std::nullopt;
            for (std::size_t i = 0; i < count; ++i) {
                const unsigned char *c = segment + 6 + i * 3;
                const std::int64_t h = c[1] >> 4;
                const std::int64_t v = c[1] & 15;
                if (h < 1 || h > 4 || v < 1 || v > 4)
                    return std::nullopt;
                components.push_back({ c[0], h, v });
                maxH = std::max(maxH, h);
                maxV = std::max(maxV, v);
            }
        } else if (marker == 0xFE && !haveComment) {
            const std::size_t kept = std::min<std::size_t>(payload, maxPictureCommentBytes);
            outline.comment.assign(reinterpret_cast<const char *>(segment), kept);
            if (kept < payload)
                outline.comment = withoutCutSequence(std::move(outline.comment));
            haveComment = true;
        } else if (marker == 0xDA) {
            if (components.empty() || payload < 1 || payload < 1 + std::size_t(segment[0]) * 2)
                return std::nullopt;
            ++outline.scans;
            // Counted as libjpeg counts them: a scan of one component covers
            // its own blocks, an interleaved one whole MCUs.
            std::int64_t unitBlocks = 0;
            for (std::size_t i = 0; i < segment[0]; ++i) {
                for (const Component &c : components) {
                    if (c.id != segment[1 + i * 2])
                        continue;
                    unitBlocks += c.h * c.v;
                    if (segment[0] == 1)
                        outline.scanBlocks
                            += componentBlocks(outline.width, outline.height, c.h, c.v, maxH, maxV);
                }
            }
            if (segment[0] > 1)
                outline.scanBlocks += (std::int64_t(outline.width) + 8 * maxH - 1) / (8 * maxH)
                    * ((std::int64_t(outline.height) + 8 * maxV - 1) / (8 * maxV)) * unitBlocks;
            // The entropy-coded data runs to the next marker that is neither
            // a stuffed byte nor a restart.
            while (at + 1 < size
                && !(
                    data[at] == 0xFF && data[at + 1] != 0 && !(data[at + 1] >= 0xD0 && data[at + 1] <= 0xD7)))
                ++at;
            if (at + 1 >= size)
                break; // a cut last scan: the decoder decides what it shows
        }
    }
    if (components.empty())
        return std::nullopt;
    return outline;
}

namespace {

constexpr std::uint32_t opaque(unsigned red, unsigned green, unsigned blue)
{
    return 0xff000000u | red << 16 | green << 8 | blue;
}

#ifndef _WIN32
// Everything the libjpeg run needs lives here, in the caller's frame, so the
// jump back from error_exit passes over libjpeg's C frames only: no C++
// object with a destructor is ever live in a frame that a longjmp skips.
struct JpegRun {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    jpeg_progress_mgr progress;
    std::jmp_buf failed;
    Picture picture;
    int countedScan = 0; // the last scan whose blocks were added
    std::int64_t scanBlocks = 0;
    std::string comment; // the first comment's kept bytes
};

JpegRun &runOf(j_common_ptr info)
{
    return *static_cast<JpegRun *>(info->client_data);
}

extern "C" void jpegErrorExit(j_common_ptr info)
{
    std::longjmp(runOf(info).failed, 1);
}

// Warnings and traces are not shown anywhere.
extern "C" void jpegOutputMessage(j_common_ptr) { }

// Called before each row a scan decodes, so a new scan is counted before any
// of its work is done.
extern "C" void jpegProgress(j_common_ptr info)
{
    auto decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > maxJpegScans)
        jpegErrorExit(info);
    JpegRun &run = runOf(info);
    if (decompress->input_scan_number == run.countedScan || decompress->comps_in_scan < 1)
        return;
    run.countedScan = decompress->input_scan_number;
    const jpeg_component_info *single = decompress->cur_comp_info[0];
    run.scanBlocks += decompress->comps_in_scan == 1
        ? std::int64_t(single->width_in_blocks) * single->height_in_blocks
        : std::int64_t(decompress->MCUs_per_row) * decompress->MCU_rows_in_scan * decompress->blocks_in_MCU;
    if (run.scanBlocks > maxJpegScanBlocks)
        jpegErrorExit(info);
}

// Adobe's CMYK files (the usual kind) store the inks inverted.
void cmykRowToRgb(const JSAMPLE *in, unsigned char *out, JDIMENSION width, bool inverted)
{
    for (JDIMENSION x = 0; x < width; ++x, in += 4, out += 3) {
        const unsigned c = inverted ? in[0] : 255u - in[0];
        const unsigned m = inverted ? in[1] : 255u - in[1];
        const unsigned y = inverted ? in[2] : 255u - in[2];
        const unsigned k = inverted ? in[3] : 255u - in[3];
        out[0] = static_cast<unsigned char>(c * k / 255);
        out[1] = static_cast<unsigned char>(m * k / 255);
        out[2] = static_cast<unsigned char>(y * k / 255);
    }
}

void keepFirstComment(JpegRun &run)
{
    for (jpeg_saved_marker_ptr marker = run.info.marker_list; marker; marker = marker->next) {
        if (marker->marker != JPEG_COM)
            continue;
        run.comment.assign(reinterpret_cast<const char *>(marker->data), marker->data_length);
        if (marker->original_length > marker->data_length)
            run.comment = withoutCutSequence(std::move(run.comment));
        return;
    }
}

// Runs the whole decode; false after any libjpeg error. Only trivially
// destructible locals from here on, and nothing written to them after the
// setjmp is read after a jump back.
bool runJpeg(JpegRun &run, const unsigned char *data, std::size_t size)
{
    jpeg_decompress_struct &info = run.info;
    // Both survive jpeg_create_decompress, which clears the rest.
    info.err = jpeg_std_error(&run.errors);
    info.client_data = &run;
    run.errors.error_exit = jpegErrorExit;
    run.errors.output_message = jpegOutputMessage;
    run.progress.progress_monitor = jpegProgress;

    if (setjmp(run.failed))
        return false;

    jpeg_create_decompress(&info);
    info.progress = &run.progress;
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_save_markers(&info, JPEG_COM, maxPictureCommentBytes);
    jpeg_read_header(&info, TRUE);
    keepFirstComment(run);

    // The size is known from the header alone: refuse before anything large
    // is allocated, by libjpeg or by us.
    if (!pictureSizeAllowed(info.image_width, info.image_height))
        return false;

    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    // Greyscale, YCbCr and RGB files all come out as RGB triples (three
    // bytes are much faster to write than four); CMYK and YCCK come out as
    // CMYK, converted below.
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != (cmyk ? 4 : 3))
        return false;

    run.picture = Picture::ofSize(
        std::int32_t(info.output_width), std::int32_t(info.output_height), PixelLayout::rgb24);

    // A CMYK row goes through a buffer of libjpeg's, released with it.
    JSAMPARRAY cmykRow = nullptr;
    if (cmyk)
        cmykRow = (*info.mem->alloc_sarray)(
            reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, info.output_width * 4, 1);
    const bool inverted = info.saw_Adobe_marker;

    while (info.output_scanline < info.output_height) {
        unsigned char *const row = run.picture.row(std::int32_t(info.output_scanline));
        JSAMPROW target = cmyk ? cmykRow[0] : row;
        // A memory source never suspends; no progress means a broken decoder.
        if (jpeg_read_scanlines(&info, &target, 1) != 1)
            return false;
        if (cmyk)
            cmykRowToRgb(cmykRow[0], row, info.output_width, inverted);
    }
    jpeg_finish_decompress(&info);
    return true;
}

Picture decodeLibJpeg(const unsigned char *data, std::size_t size)
{
    JpegRun run {};
    const bool decoded = runJpeg(run, data, size);
    // Safe in every state: after an error, before creation was complete, or
    // after finishing.
    jpeg_destroy_decompress(&run.info);
    if (!decoded)
        return {};
    run.picture.comment = std::move(run.comment);
    return std::move(run.picture);
}

#endif

// ---- The toolkit's readers (BMP, icon, cursor, GIF) ------------------------

Picture decodeWithReader(
    const unsigned char *data, std::size_t size, PictureFormat format, PictureReader *reader)
{
    if (!reader)
        return {};
    const auto declared = reader->declaredSize(data, size, format);
    if (declared && !pictureSizeAllowed(declared->first, declared->second))
        return {};
    Picture picture = reader->read(data, size, format);
    if (picture.isNull() || !pictureSizeAllowed(picture.width, picture.height))
        return {};
    return picture;
}

#ifdef _WIN32
// The system's decoder cannot be stopped once it runs, so the bounds libjpeg
// applies while decoding are checked here from the markers, before it
// starts: the size, the number of scans and the blocks they pass over.
Picture decodeJpeg(const unsigned char *data, std::size_t size, PictureReader *reader)
{
    auto outline = readJpegOutline(data, size);
    if (!outline || !pictureSizeAllowed(outline->width, outline->height) || outline->scans > maxJpegScans
        || outline->scanBlocks > maxJpegScanBlocks)
        return {};
    Picture picture = decodeWithReader(data, size, PictureFormat::jpeg, reader);
    if (!picture.isNull())
        picture.comment = std::move(outline->comment);
    return picture;
}
#else
Picture decodeJpeg(const unsigned char *data, std::size_t size, PictureReader *)
{
    return decodeLibJpeg(data, size);
}
#endif

// ---- PCX ------------------------------------------------------------------

constexpr std::size_t pcxHeaderSize = 128;
constexpr std::size_t pcxPaletteSize = 1 + 256 * 3; // the 0x0C mark and 256 RGB triples

unsigned readWord(const unsigned char *p)
{
    return unsigned(p[0]) | unsigned(p[1]) << 8;
}

// Run-length decoding over a bounded input. A run may carry over from one
// scanline to the next, as some writers do.
class PcxRuns {
public:
    PcxRuns(const unsigned char *begin, const unsigned char *end)
        : m_next(begin)
        , m_end(end)
    {
    }

    // Fills `count` bytes; false when the input ends first.
    bool fill(unsigned char *out, std::size_t count)
    {
        while (count > 0) {
            if (m_pending == 0) {
                if (m_next == m_end)
                    return false;
                const unsigned char code = *m_next++;
                if ((code & 0xC0) == 0xC0) {
                    if (m_next == m_end)
                        return false;
                    m_pending = code & 0x3F;
                    m_value = *m_next++;
                    continue;
                }
                m_pending = 1;
                m_value = code;
            }
            const std::size_t n = m_pending < count ? m_pending : count;
            std::memset(out, m_value, n);
            out += n;
            count -= n;
            m_pending -= n;
        }
        return true;
    }

private:
    const unsigned char *m_next;
    const unsigned char *m_end;
    std::size_t m_pending = 0;
    unsigned char m_value = 0;
};

// 8 bits a pixel: one plane with the 256-colour palette at the end of the
// file, or three planes of red, green and blue. 1 bit a pixel: one plane,
// black and white.
Picture decodePcx(const unsigned char *data, std::size_t size, PictureFormat format)
{
    if (size < pcxHeaderSize)
        return {};
    const unsigned xMin = readWord(data + 4), yMin = readWord(data + 6);
    const unsigned xMax = readWord(data + 8), yMax = readWord(data + 10);
    const unsigned planes = data[65];
    const std::size_t bytesPerLine = readWord(data + 66);
    if (xMax < xMin || yMax < yMin)
        return {};
    const int width = int(xMax - xMin + 1), height = int(yMax - yMin + 1);
    if (!pictureSizeAllowed(width, height))
        return {};

    const bool eightBit = format == PictureFormat::pcx8;
    if (eightBit ? (planes != 1 && planes != 3) : planes != 1)
        return {};
    const std::size_t neededPerLine = eightBit ? std::size_t(width) : (std::size_t(width) + 7) / 8;
    if (bytesPerLine < neededPerLine)
        return {};

    const unsigned char *runsEnd = data + size;
    const unsigned char *palette = nullptr;
    if (eightBit && planes == 1) {
        if (size < pcxHeaderSize + pcxPaletteSize || data[size - pcxPaletteSize] != 0x0C)
            return {};
        palette = data + size - pcxPaletteSize + 1;
        runsEnd = palette - 1; // the runs never read into the palette
    }

    Picture image = Picture::ofSize(width, height, PixelLayout::rgb32);
    std::vector<unsigned char> line(bytesPerLine * planes);
    PcxRuns runs(data + pcxHeaderSize, runsEnd);
    for (int y = 0; y < height; ++y) {
        if (!runs.fill(line.data(), line.size()))
            return {};
        std::uint32_t *const out = image.wordRow(y);
        for (int x = 0; x < width; ++x) {
            if (!eightBit) {
                const bool white = line[std::size_t(x) / 8] & (0x80 >> (x % 8));
                out[x] = white ? opaque(255, 255, 255) : opaque(0, 0, 0);
            } else if (palette) {
                const unsigned char *rgb = palette + 3 * std::size_t(line[std::size_t(x)]);
                out[x] = opaque(rgb[0], rgb[1], rgb[2]);
            } else {
                out[x] = opaque(line[std::size_t(x)], line[bytesPerLine + std::size_t(x)],
                    line[2 * bytesPerLine + std::size_t(x)]);
            }
        }
    }
    return image;
}

} // namespace

Picture decodePicture(const unsigned char *data, std::size_t size, PictureReader *reader)
{
    const PictureFormat format = sniffPictureFormat(data, size);
    switch (format) {
    case PictureFormat::jpeg:
        return decodeJpeg(data, size, reader);
    case PictureFormat::bmp:
    case PictureFormat::icon:
    case PictureFormat::cursor:
    case PictureFormat::gif:
        return decodeWithReader(data, size, format, reader);
    case PictureFormat::pcx8:
    case PictureFormat::pcx1:
        return decodePcx(data, size, format);
    case PictureFormat::none:
        break;
    }
    return {};
}

// ---- A comment as text ------------------------------------------------------

namespace {

// Unicode's White_Space characters.
bool isWhiteSpace(char32_t code)
{
    return code == 0x20 || (code >= 0x09 && code <= 0x0D) || code == 0x85 || code == 0xA0 || code == 0x1680
        || (code >= 0x2000 && code <= 0x200A) || code == 0x2028 || code == 0x2029 || code == 0x202F
        || code == 0x205F || code == 0x3000;
}

// Control characters (general category Cc) could move a braille cursor or a
// terminal; format characters (Cf: direction overrides and isolates,
// invisible joiners, soft hyphens, tags) could make the text read as
// something else; surrogates and non-characters are no text at all. The Cf
// ranges are Unicode 14's.
bool isDropped(char32_t code)
{
    struct Range {
        char32_t first, last;
    };
    static constexpr Range formatCharacters[] = { { 0xAD, 0xAD }, { 0x600, 0x605 }, { 0x61C, 0x61C },
        { 0x6DD, 0x6DD }, { 0x70F, 0x70F }, { 0x890, 0x891 }, { 0x8E2, 0x8E2 }, { 0x180E, 0x180E },
        { 0x200B, 0x200F }, { 0x202A, 0x202E }, { 0x2060, 0x2064 }, { 0x2066, 0x206F }, { 0xFEFF, 0xFEFF },
        { 0xFFF9, 0xFFFB }, { 0x110BD, 0x110BD }, { 0x110CD, 0x110CD }, { 0x13430, 0x13438 },
        { 0x1BCA0, 0x1BCA3 }, { 0x1D173, 0x1D17A }, { 0xE0001, 0xE0001 }, { 0xE0020, 0xE007F } };
    if (code < 0x20 || (code >= 0x7F && code <= 0x9F) || (code >= 0xD800 && code <= 0xDFFF))
        return true;
    if ((code >= 0xFDD0 && code <= 0xFDEF) || (code & 0xFFFE) == 0xFFFE)
        return true;
    return std::any_of(std::begin(formatCharacters), std::end(formatCharacters),
        [code](const Range &range) { return code >= range.first && code <= range.last; });
}

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
std::optional<std::u32string> decodeUtf8(std::string_view bytes)
{
    std::u32string codes;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const int more = lead < 0x80       ? 0
            : lead >= 0xC2 && lead <= 0xDF ? 1
            : lead >= 0xE0 && lead <= 0xEF ? 2
            : lead >= 0xF0 && lead <= 0xF4 ? 3
                                           : -1;
        if (more < 0 || bytes.size() - i <= std::size_t(more))
            return std::nullopt;
        char32_t code = more == 0 ? lead : lead & (0x3F >> more);
        for (int k = 1; k <= more; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + std::size_t(k)]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            code = code << 6 | (next & 0x3F);
        }
        if ((more == 2 && code < 0x800) || (more == 3 && (code < 0x10000 || code > 0x10FFFF))
            || (code >= 0xD800 && code <= 0xDFFF))
            return std::nullopt;
        codes += code;
        i += std::size_t(more) + 1;
    }
    return codes;
}

// GBK one character at a time, so that a byte that is no GBK spoils only
// itself (U+FFFD).
std::u32string decodeGbk(std::string_view bytes)
{
    std::u32string codes;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length
            = isGbkLeadByte(static_cast<unsigned char>(bytes[i])) && i + 1 < bytes.size() ? 2 : 1;
        const auto utf8 = gbkToUtf8(bytes.substr(i, length));
        const auto one = utf8 ? decodeUtf8(*utf8) : std::nullopt;
        codes += one && !one->empty() ? *one : std::u32string(1, U'\xFFFD');
        i += length;
    }
    return codes;
}

} // namespace

std::u32string pictureCommentText(std::string_view bytes)
{
    const auto utf8 = decodeUtf8(bytes);
    const std::u32string text = utf8 ? *utf8 : decodeGbk(bytes);
    std::u32string kept;
    std::size_t units = 0; // UTF-16 units of `kept`
    bool pendingSpace = false;
    for (const char32_t code : text) {
        if (isWhiteSpace(code)) {
            pendingSpace = !kept.empty();
            continue;
        }
        if (isDropped(code))
            continue;
        const std::size_t needed = (code > 0xFFFF ? 2 : 1) + (pendingSpace ? 1 : 0);
        if (units + needed > std::size_t(maxPictureCommentLength))
            break;
        if (pendingSpace)
            kept += U' ';
        pendingSpace = false;
        kept += code;
        units += needed;
    }
    return kept;
}
