#include "wic_image_writer_win32.h"

#include <windows.h>
#include <wincodec.h>

#include "framework/win32/com.h"
#include "framework/win32/wide.h"

namespace {

// Encodes one frame of `format` into a new file; `fill` gives it its pixels
// (and palette) through the factory and the frame, told the format the encoder
// settled on.
template <typename Fill>
bool Encode(const std::string& path, const GUID& container, int width, int height, WICPixelFormatGUID format,
            Fill fill)
{
    const ComScope com;
    UniqueCom<IWICImagingFactory> factory;
    UniqueCom<IWICStream> stream;
    UniqueCom<IWICBitmapEncoder> encoder;
    UniqueCom<IWICBitmapFrameEncode> frame;
    return com.ready() &&
           SUCCEEDED(
               CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.put()))) &&
           SUCCEEDED(factory->CreateStream(stream.put())) &&
           SUCCEEDED(stream->InitializeFromFilename(Utf8ToWide(path).c_str(), GENERIC_WRITE)) &&
           SUCCEEDED(factory->CreateEncoder(container, nullptr, encoder.put())) &&
           SUCCEEDED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) &&
           SUCCEEDED(encoder->CreateNewFrame(frame.put(), nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
           SUCCEEDED(frame->SetSize(UINT(width), UINT(height))) && SUCCEEDED(frame->SetPixelFormat(&format)) &&
           fill(factory.get(), frame.get(), format) && SUCCEEDED(frame->Commit()) &&
           SUCCEEDED(encoder->Commit());
}

}  // namespace

bool WriteWicImage(const std::string& path, TWicContainer container, int width, int height,
                   const std::vector<std::uint8_t>& pixels, bool alpha)
{
    const WICPixelFormatGUID format = alpha ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat24bppBGR;
    std::vector<std::uint8_t> packed;
    const UINT stride = alpha ? UINT(width) * 4 : (UINT(width) * 3 + 3) & ~3u;
    if (alpha) {
        packed = pixels;
    } else {
        packed.assign(std::size_t(stride) * height, 0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c) packed[y * stride + x * 3 + c] = pixels[(y * width + x) * 4 + c];
    }
    const GUID& kind = container == TWicContainer::Png ? GUID_ContainerFormatPng : GUID_ContainerFormatJpeg;
    return Encode(path, kind, width, height, format,
                  [&](IWICImagingFactory* factory, IWICBitmapFrameEncode* frame, const WICPixelFormatGUID&) {
                      UniqueCom<IWICBitmap> source;
                      return SUCCEEDED(factory->CreateBitmapFromMemory(UINT(width), UINT(height), format, stride,
                                                                       UINT(packed.size()), packed.data(),
                                                                       source.put())) &&
                             SUCCEEDED(frame->WriteSource(source.get(), nullptr));
                  });
}

bool WriteWicIndexedPng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& indices,
                        const std::vector<std::uint32_t>& colors)
{
    std::vector<WICColor> table(colors.begin(), colors.end());
    std::vector<BYTE> rows(indices.begin(), indices.end());
    return Encode(path, GUID_ContainerFormatPng, width, height, GUID_WICPixelFormat8bppIndexed,
                  [&](IWICImagingFactory* factory, IWICBitmapFrameEncode* frame, const WICPixelFormatGUID& settled) {
                      UniqueCom<IWICPalette> palette;
                      return settled == GUID_WICPixelFormat8bppIndexed && SUCCEEDED(factory->CreatePalette(palette.put())) &&
                             SUCCEEDED(palette->InitializeCustom(table.data(), UINT(table.size()))) &&
                             SUCCEEDED(frame->SetPalette(palette.get())) &&
                             SUCCEEDED(frame->WritePixels(UINT(height), UINT(width), UINT(rows.size()), rows.data()));
                  });
}

std::vector<std::uint8_t> TestPattern(int width, int height)
{
    std::vector<std::uint8_t> pixels(std::size_t(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &pixels[(std::size_t(y) * width + x) * 4];
            const bool dark = ((x / 8) + (y / 8)) % 2 != 0;
            p[0] = std::uint8_t(x * 255 / (width > 1 ? width - 1 : 1));
            p[1] = std::uint8_t(y * 255 / (height > 1 ? height - 1 : 1));
            p[2] = std::uint8_t(dark ? 40 : 220);
            p[3] = std::uint8_t(255 - (x + y) % 256);
        }
    }
    return pixels;
}
