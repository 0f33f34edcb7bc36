#include "wic_image_writer_win32.h"

#include <windows.h>
#include <wincodec.h>

#include "framework/win32/wide.h"

namespace {

template <typename T>
struct Com {
    T* p = nullptr;
    ~Com()
    {
        if (p) p->Release();
    }
    T* operator->() const { return p; }
};

}  // namespace

bool WriteWicImage(const std::string& path, TWicContainer container, int width, int height,
                   const std::vector<std::uint8_t>& pixels, bool alpha)
{
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool written = false;
    {
        Com<IWICImagingFactory> factory;
        Com<IWICStream> stream;
        Com<IWICBitmapEncoder> encoder;
        Com<IWICBitmapFrameEncode> frame;
        Com<IWICBitmap> source;
        WICPixelFormatGUID format = alpha ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat24bppBGR;
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
        written =
            SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory.p))) &&
            SUCCEEDED(factory->CreateStream(&stream.p)) &&
            SUCCEEDED(stream->InitializeFromFilename(Cp932ToWide(path).c_str(), GENERIC_WRITE)) &&
            SUCCEEDED(factory->CreateEncoder(container == TWicContainer::Png ? GUID_ContainerFormatPng
                                                                              : GUID_ContainerFormatJpeg,
                                             nullptr, &encoder.p)) &&
            SUCCEEDED(encoder->Initialize(stream.p, WICBitmapEncoderNoCache)) &&
            SUCCEEDED(encoder->CreateNewFrame(&frame.p, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
            SUCCEEDED(frame->SetSize(UINT(width), UINT(height))) && SUCCEEDED(frame->SetPixelFormat(&format)) &&
            SUCCEEDED(factory->CreateBitmapFromMemory(UINT(width), UINT(height),
                                                      alpha ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat24bppBGR,
                                                      stride, UINT(packed.size()), packed.data(), &source.p)) &&
            SUCCEEDED(frame->WriteSource(source.p, nullptr)) && SUCCEEDED(frame->Commit()) &&
            SUCCEEDED(encoder->Commit());
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return written;
}

bool WriteWicIndexedPng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& indices,
                        const std::vector<std::uint32_t>& colors)
{
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool written = false;
    {
        Com<IWICImagingFactory> factory;
        Com<IWICStream> stream;
        Com<IWICBitmapEncoder> encoder;
        Com<IWICBitmapFrameEncode> frame;
        Com<IWICPalette> palette;
        WICPixelFormatGUID format = GUID_WICPixelFormat8bppIndexed;
        std::vector<WICColor> table(colors.begin(), colors.end());
        std::vector<BYTE> rows(indices.begin(), indices.end());
        written =
            SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory.p))) &&
            SUCCEEDED(factory->CreateStream(&stream.p)) &&
            SUCCEEDED(stream->InitializeFromFilename(Cp932ToWide(path).c_str(), GENERIC_WRITE)) &&
            SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder.p)) &&
            SUCCEEDED(encoder->Initialize(stream.p, WICBitmapEncoderNoCache)) &&
            SUCCEEDED(encoder->CreateNewFrame(&frame.p, nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
            SUCCEEDED(frame->SetSize(UINT(width), UINT(height))) && SUCCEEDED(frame->SetPixelFormat(&format)) &&
            format == GUID_WICPixelFormat8bppIndexed && SUCCEEDED(factory->CreatePalette(&palette.p)) &&
            SUCCEEDED(palette->InitializeCustom(table.data(), UINT(table.size()))) &&
            SUCCEEDED(frame->SetPalette(palette.p)) &&
            SUCCEEDED(frame->WritePixels(UINT(height), UINT(width), UINT(rows.size()), rows.data())) &&
            SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return written;
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
