// SPDX-License-Identifier: MIT
// The system's decoders (WIC) through decodePicture, as the game uses them:
// every picture the game ships, the fuzz seeds, and hostile blocks, which
// must come out as no picture, never a crash or a hang.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "window/picture.h"
#include "window/win32/win32platform.h"
#include "window/win32/win32text.h"

namespace {

using Bytes = std::vector<unsigned char>;
namespace fs = std::filesystem;

const fs::path sourceDir { KELMORA_SOURCE_DIR };

Bytes readFile(const fs::path &path)
{
    Bytes bytes;
    if (FILE *file = _wfopen(path.c_str(), L"rb")) {
        unsigned char buffer[4096];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            bytes.insert(bytes.end(), buffer, buffer + got);
        std::fclose(file);
    }
    return bytes;
}

Picture decode(const Bytes &bytes)
{
    return decodePicture(bytes.data(), bytes.size(), &win32PictureReader());
}

// The reader needs COM on the thread, as the program's start gives it.
class PictureReaderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    static void TearDownTestSuite() { CoUninitialize(); }
};

struct Rgb8 {
    int red, green, blue;
};

Rgb8 pixelAt(const Picture &picture, int x, int y)
{
    const std::uint32_t pixel = picture.wordRow(y)[x];
    return { int((pixel >> 16) & 0xff), int((pixel >> 8) & 0xff), int(pixel & 0xff) };
}

bool similar(Rgb8 a, Rgb8 b, int tolerance)
{
    return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance
        && std::abs(a.blue - b.blue) <= tolerance;
}

// "红桃(7)" → "红桃 7": the comment our card generator writes.
std::wstring cardName(const fs::path &file)
{
    const std::wstring stem = file.stem().wstring();
    const std::size_t open = stem.find(L'('), close = stem.find(L')');
    const int rank = std::stoi(stem.substr(open + 1, close - open - 1));
    static const wchar_t *const faces[] = { L"A", L"J", L"Q", L"K" };
    const std::wstring rankText = rank == 1 ? faces[0] : rank > 10 ? faces[rank - 10] : std::to_wstring(rank);
    return stem.substr(0, open) + L" " + rankText;
}

TEST_F(PictureReaderTest, everyCardDecodesToItsSizeWithItsNameAsComment)
{
    int cards = 0;
    for (const auto &entry : fs::directory_iterator(sourceDir / "pkp")) {
        if (entry.path().extension() != L".jpg")
            continue;
        ++cards;
        SCOPED_TRACE(entry.path().filename().string());
        const Picture picture = decode(readFile(entry.path()));
        ASSERT_FALSE(picture.isNull());
        EXPECT_EQ(picture.width, 156);
        EXPECT_EQ(picture.height, 251);
        EXPECT_EQ(picture.layout, PixelLayout::rgb32);
        EXPECT_EQ(wideCommentText(picture.comment), cardName(entry.path()));
    }
    EXPECT_EQ(cards, 52);
}

TEST_F(PictureReaderTest, builtInPicturesDecode)
{
    for (const char *name : { "ace.jpg", "two.jpg", "ten.jpg", "four.jpg" }) {
        SCOPED_TRACE(name);
        const Picture picture = decode(readFile(sourceDir / "game" / "builtin" / name));
        ASSERT_FALSE(picture.isNull());
        EXPECT_EQ(picture.width, 156);
        EXPECT_EQ(picture.height, 251);
    }
}

// The fuzz seeds: red top-left quarter, blue bottom-right, white elsewhere
// (greyscale for grey.jpg), 12 x 9.
struct Seed {
    const char *file;
    bool colour;
    int tolerance;
};

class SeedTest : public PictureReaderTest, public ::testing::WithParamInterface<Seed> { };

TEST_P(SeedTest, decodesWithItsColours)
{
    const Seed seed = GetParam();
    const Picture picture = decode(readFile(sourceDir / "fuzz" / "corpus" / "picture" / seed.file));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.width, 12);
    EXPECT_EQ(picture.height, 9);
    if (seed.colour) {
        EXPECT_TRUE(similar(pixelAt(picture, 1, 1), { 255, 0, 0 }, seed.tolerance));
        EXPECT_TRUE(similar(pixelAt(picture, 10, 7), { 0, 0, 255 }, seed.tolerance));
    }
    EXPECT_TRUE(similar(pixelAt(picture, 5, 8), { 255, 255, 255 }, seed.tolerance));
}

INSTANTIATE_TEST_SUITE_P(Seeds, SeedTest,
    ::testing::Values(Seed { "baseline.jpg", true, 48 }, Seed { "progressive.jpg", true, 48 },
        Seed { "grey.jpg", false, 48 }, Seed { "cmyk.jpg", true, 64 }, Seed { "ycck.jpg", true, 64 },
        Seed { "picture.bmp", true, 0 }, Seed { "picture.ico", true, 0 }, Seed { "picture.cur", true, 0 },
        Seed { "picture.gif", true, 0 }));

// ---- Hostile blocks --------------------------------------------------------

Bytes card()
{
    return readFile(sourceDir / "pkp" / L"黑桃(1).jpg");
}

Bytes seed(const char *file)
{
    return readFile(sourceDir / "fuzz" / "corpus" / "picture" / file);
}

std::size_t find(const Bytes &bytes, std::initializer_list<unsigned char> needle, std::size_t from = 0)
{
    const auto at
        = std::search(bytes.begin() + std::ptrdiff_t(from), bytes.end(), needle.begin(), needle.end());
    return at == bytes.end() ? std::string::npos : std::size_t(at - bytes.begin());
}

void putBig16(Bytes &bytes, std::size_t at, unsigned value)
{
    bytes[at] = static_cast<unsigned char>(value >> 8);
    bytes[at + 1] = static_cast<unsigned char>(value);
}

void putLittle32(Bytes &bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + std::size_t(i)] = static_cast<unsigned char>(value >> (8 * i));
}

Bytes jpegDeclaring(unsigned width, unsigned height)
{
    Bytes jpeg = card();
    const std::size_t frame = find(jpeg, { 0xFF, 0xC0 });
    putBig16(jpeg, frame + 5, height);
    putBig16(jpeg, frame + 7, width);
    return jpeg;
}

Bytes bmpDeclaring(std::uint32_t width, std::uint32_t height)
{
    Bytes bmp = seed("picture.bmp");
    putLittle32(bmp, 18, width);
    putLittle32(bmp, 22, height);
    return bmp;
}

Bytes gifDeclaring(unsigned width, unsigned height)
{
    Bytes gif = seed("picture.gif");
    // The logical screen and the first image descriptor.
    gif[6] = static_cast<unsigned char>(width);
    gif[7] = static_cast<unsigned char>(width >> 8);
    gif[8] = static_cast<unsigned char>(height);
    gif[9] = static_cast<unsigned char>(height >> 8);
    const std::size_t image = find(gif, { 0x2C, 0x00, 0x00, 0x00, 0x00 });
    if (image != std::string::npos) {
        gif[image + 5] = gif[6];
        gif[image + 6] = gif[7];
        gif[image + 7] = gif[8];
        gif[image + 8] = gif[9];
    }
    return gif;
}

// The first scan of a progressive file, repeated.
Bytes withFirstScanRepeated(const Bytes &jpeg, int copies)
{
    const std::size_t start = find(jpeg, { 0xFF, 0xDA });
    std::size_t end = start + 2 + ((std::size_t(jpeg[start + 2]) << 8) | jpeg[start + 3]);
    while (end + 1 < jpeg.size()
        && !(jpeg[end] == 0xFF && jpeg[end + 1] != 0x00 && !(jpeg[end + 1] >= 0xD0 && jpeg[end + 1] <= 0xD7)))
        ++end;
    Bytes out(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(end));
    for (int i = 1; i < copies; ++i)
        out.insert(out.end(), jpeg.begin() + std::ptrdiff_t(start), jpeg.begin() + std::ptrdiff_t(end));
    out.insert(out.end(), jpeg.begin() + std::ptrdiff_t(end), jpeg.end());
    return out;
}

Bytes magicThenJunk(std::initializer_list<unsigned char> magic)
{
    Bytes bytes(magic);
    for (int i = 0; i < 600; ++i)
        bytes.push_back(static_cast<unsigned char>((i * 73 + 41) % 251));
    return bytes;
}

struct Hostile {
    const char *name;
    Bytes (*make)();
};

class HostileTest : public PictureReaderTest, public ::testing::WithParamInterface<Hostile> { };

TEST_P(HostileTest, isNoPicture)
{
    const Bytes bytes = GetParam().make();
    EXPECT_TRUE(decode(bytes).isNull());
}

INSTANTIATE_TEST_SUITE_P(Blocks, HostileTest,
    ::testing::Values(Hostile { "empty", [] { return Bytes(); } },
        Hostile { "JPEG start marker and one byte",
            [] {
                return Bytes { 0xFF, 0xD8, 0xFF };
            } },
        Hostile { "JPEG declaring 65535 x 65535", [] { return jpegDeclaring(65535, 65535); } },
        Hostile { "JPEG one wider than allowed", [] { return jpegDeclaring(maxPictureSide + 1, 8); } },
        Hostile { "BMP declaring 65536 x 65536", [] { return bmpDeclaring(65536, 65536); } },
        Hostile { "BMP of a negative width", [] { return bmpDeclaring(0xFFFFFFF0u, 9); } },
        Hostile { "GIF declaring 65535 x 65535", [] { return gifDeclaring(65535, 65535); } },
        Hostile { "JPEG cut before its scan",
            [] {
                Bytes jpeg = card();
                jpeg.resize(find(jpeg, { 0xFF, 0xDA }));
                return jpeg;
            } },
        Hostile { "JPEG cut in its headers",
            [] {
                Bytes jpeg = card();
                jpeg.resize(100);
                return jpeg;
            } },
        Hostile { "JPEG with thousands of scans",
            [] { return withFirstScanRepeated(seed("progressive.jpg"), 2000); } },
        Hostile { "JPEG repeating a refinement scan over a big picture",
            [] {
                return readFile(
                    sourceDir / "fuzz" / "regressions" / "picture" / "jpeg-repeated-refinement-scans.jpg");
            } },
        Hostile { "JPEG magic then junk",
            [] {
                return magicThenJunk({ 0xFF, 0xD8, 0xFF, 0xE0 });
            } },
        Hostile { "BMP magic then junk",
            [] {
                return magicThenJunk({ 'B', 'M' });
            } },
        Hostile { "icon magic then junk",
            [] {
                return magicThenJunk({ 0, 0, 1, 0, 1, 0 });
            } },
        Hostile { "cursor magic then junk",
            [] {
                return magicThenJunk({ 0, 0, 2, 0, 1, 0 });
            } },
        Hostile { "GIF magic then junk",
            [] {
                return magicThenJunk({ 'G', 'I', 'F', '8', '9', 'a' });
            } }),
    [](const ::testing::TestParamInfo<Hostile> &info) {
        std::string name;
        for (const char *c = info.param.name; *c; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

// The size comes from the header alone: the layer refuses a block before
// anything is allocated for its pixels.
TEST_F(PictureReaderTest, declaredSizeReadsTheHeaderOnly)
{
    const Bytes bmp = bmpDeclaring(65536, 65536);
    const auto size = win32PictureReader().declaredSize(bmp.data(), bmp.size(), PictureFormat::bmp);
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(*size, (std::pair<std::int64_t, std::int64_t>(65536, 65536)));
}

// Cut anywhere in the scan data, a JPEG gives the picture or none, never
// anything out of bounds.
TEST_F(PictureReaderTest, jpegCutInItsScanGivesAPictureOfItsSizeOrNone)
{
    const Bytes whole = card();
    const std::size_t scan = find(whole, { 0xFF, 0xDA });
    for (std::size_t keep = scan + 2; keep < whole.size(); keep += 97) {
        const Bytes cut(whole.begin(), whole.begin() + std::ptrdiff_t(keep));
        const Picture picture = decode(cut);
        if (!picture.isNull()) {
            EXPECT_EQ(picture.width, 156);
            EXPECT_EQ(picture.height, 251);
        }
    }
}

// Every prefix of each seed and single-byte damage in its first bytes:
// no crash, and any picture that comes out is within bounds.
class DamagedSeedTest : public PictureReaderTest, public ::testing::WithParamInterface<const char *> { };

TEST_P(DamagedSeedTest, neverCrashesNorExceedsTheBounds)
{
    const Bytes whole = seed(GetParam());
    ASSERT_FALSE(whole.empty());
    const auto check = [](const Bytes &bytes) {
        const Picture picture = decode(bytes);
        return picture.isNull() || pictureSizeAllowed(picture.width, picture.height);
    };
    for (std::size_t keep = 0; keep < whole.size(); ++keep)
        ASSERT_TRUE(check(Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(keep)))) << keep;
    for (std::size_t at = 0; at < std::min<std::size_t>(whole.size(), 160); ++at)
        for (unsigned char value : { 0x00, 0xFF, 0x80, 0x7F }) {
            Bytes damaged = whole;
            damaged[at] = value;
            ASSERT_TRUE(check(damaged)) << at;
        }
}

INSTANTIATE_TEST_SUITE_P(Seeds, DamagedSeedTest,
    ::testing::Values(
        "baseline.jpg", "progressive.jpg", "picture.bmp", "picture.ico", "picture.cur", "picture.gif"));

} // namespace
