// SPDX-License-Identifier: MIT
// Pictures through the Windows Imaging Component: the system's own decoders
// for JPEG, BMP, icons, cursors and GIF. The layer's guards (the size before
// and after, the file cap, JPEG's marker checks) are applied around this.
#include <windows.h>

#include <wincodec.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "win32platform.h"
#include "window/picture.h"

namespace {

// A decode that runs longer than this gives up: a hostile block must not
// freeze the game.
constexpr ULONGLONG decodeTimeLimitMs = 2000;
// Rows copied between two looks at the clock.
constexpr UINT rowsPerStrip = 64;

// Releases a COM interface when it goes.
template <typename Interface> class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef &) = delete;
    ComRef &operator=(const ComRef &) = delete;
    ~ComRef()
    {
        if (m_p)
            m_p->Release();
    }
    Interface **put() { return &m_p; }
    Interface *operator->() const { return m_p; }
    Interface *get() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    Interface *m_p = nullptr;
};

const GUID *containerOf(PictureFormat format)
{
    switch (format) {
    case PictureFormat::jpeg:
        return &GUID_ContainerFormatJpeg;
    case PictureFormat::bmp:
        return &GUID_ContainerFormatBmp;
    case PictureFormat::icon:
    case PictureFormat::cursor:
        return &GUID_ContainerFormatIco;
    case PictureFormat::gif:
        return &GUID_ContainerFormatGif;
    default:
        return nullptr;
    }
}

// One block opened with the decoder its format names (never guessed from
// the content), down to its first frame.
struct Opened {
    ComRef<IWICImagingFactory> factory;
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;
    // A cursor is an icon file whose type field says 2; the icon decoder
    // takes it once the field says 1 (the hot spot is not needed).
    std::vector<unsigned char> patched;

    bool open(const unsigned char *data, std::size_t size, PictureFormat format)
    {
        const GUID *container = containerOf(format);
        if (!container || size == 0 || size > 0xffffffffu)
            return false;
        if (format == PictureFormat::cursor && size >= 4) {
            patched.assign(data, data + size);
            patched[2] = 1;
            patched[3] = 0;
            data = patched.data();
        }
        if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                IID_IWICImagingFactory, reinterpret_cast<void **>(factory.put()))))
            return false;
        if (FAILED(factory->CreateStream(stream.put()))
            || FAILED(stream->InitializeFromMemory(const_cast<BYTE *>(data), DWORD(size))))
            return false;
        if (FAILED(factory->CreateDecoder(*container, nullptr, decoder.put()))
            || FAILED(decoder->Initialize(stream.get(), WICDecodeMetadataCacheOnDemand)))
            return false;
        return SUCCEEDED(decoder->GetFrame(0, frame.put()));
    }
};

class WicPictureReader : public PictureReader {
public:
    std::optional<std::pair<std::int64_t, std::int64_t>> declaredSize(
        const unsigned char *data, std::size_t size, PictureFormat format) override
    {
        try {
            Opened opened;
            UINT width = 0, height = 0;
            if (!opened.open(data, size, format) || FAILED(opened.frame->GetSize(&width, &height)))
                return std::nullopt;
            return std::pair<std::int64_t, std::int64_t>(width, height);
        } catch (...) {
            return std::nullopt;
        }
    }

    Picture read(const unsigned char *data, std::size_t size, PictureFormat format) override
    {
        try {
            return decode(data, size, format);
        } catch (...) {
            // Out of memory for the pixels, or anything else: no picture.
            return {};
        }
    }

private:
    static Picture decode(const unsigned char *data, std::size_t size, PictureFormat format)
    {
        const ULONGLONG started = GetTickCount64();
        Opened opened;
        UINT width = 0, height = 0;
        if (!opened.open(data, size, format) || FAILED(opened.frame->GetSize(&width, &height))
            || !pictureSizeAllowed(width, height))
            return {};
        // JPEG has no transparency; the others may.
        const bool opaque = format == PictureFormat::jpeg;
        ComRef<IWICFormatConverter> converter;
        if (FAILED(opened.factory->CreateFormatConverter(converter.put()))
            || FAILED(converter->Initialize(opened.frame.get(),
                opaque ? GUID_WICPixelFormat32bppBGR : GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                nullptr, 0.0, WICBitmapPaletteTypeCustom)))
            return {};

        Picture picture = Picture::ofSize(
            std::int32_t(width), std::int32_t(height), opaque ? PixelLayout::rgb32 : PixelLayout::argb32);
        if (picture.isNull())
            return {};
        const UINT stride = UINT(picture.stride);
        for (UINT y = 0; y < height; y += rowsPerStrip) {
            const UINT rows = std::min(rowsPerStrip, height - y);
            const WICRect strip { 0, INT(y), INT(width), INT(rows) };
            if (FAILED(converter->CopyPixels(&strip, stride, stride * rows, picture.row(std::int32_t(y)))))
                return {};
            if (GetTickCount64() - started > decodeTimeLimitMs)
                return {};
        }
        if (opaque) {
            // The converter leaves the fourth byte as it pleases.
            for (std::int32_t y = 0; y < picture.height; ++y) {
                std::uint32_t *row = picture.wordRow(y);
                for (std::int32_t x = 0; x < picture.width; ++x)
                    row[x] |= 0xff000000u;
            }
        } else if (isOpaque(picture)) {
            picture.layout = PixelLayout::rgb32;
        }
        return picture;
    }

    static bool isOpaque(const Picture &picture)
    {
        for (std::int32_t y = 0; y < picture.height; ++y) {
            const std::uint32_t *row = picture.wordRow(y);
            for (std::int32_t x = 0; x < picture.width; ++x)
                if ((row[x] >> 24) != 0xff)
                    return false;
        }
        return true;
    }
};

} // namespace

PictureReader &win32PictureReader()
{
    static WicPictureReader reader;
    return reader;
}
