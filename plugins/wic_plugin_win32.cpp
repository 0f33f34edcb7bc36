// A Susie import plug-in that decodes what the Windows Imaging Component decodes,
// with the Unicode exports (names ending in W: wide file names and texts) beside
// the narrow ones.
// It hands pictures back as plug-ins do: a BITMAPINFO block and bottom-up pixel
// bits in local memory, 8 bits with the colour table for palette sources, 32
// bits with alpha where the source has alpha, 24 bits otherwise. Every failure
// is a result code; nothing escapes and nothing is shown.
#include <windows.h>
#include <wincodec.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include "framework/win32/com.h"

namespace {

enum Result : int {
    kOk = 0,
    kAborted = 1,
    kUnknownFormat = 2,
    kBrokenData = 3,
    kNoMemory = 4,
    kReadError = 6,
    kInternalError = 8,
};

using LongPtr = std::intptr_t;
using ProgressCallback = int(WINAPI*)(int num, int denom, LongPtr data);

struct Format {
    const char* description;
    const char* patterns;
};
constexpr Format kFormats[] = {
    {"PNG", "*.png"},
    {"JPEG", "*.jpg;*.jpeg;*.jpe;*.jfif"},
    {"TIFF", "*.tif;*.tiff"},
    {"ICO", "*.ico"},
    {"GIF", "*.gif"},
    {"BMP", "*.bmp;*.dib"},
};

#pragma pack(push, 1)
struct PictureInfo {
    std::int32_t left, top, width, height;
    std::uint16_t xDensity, yDensity;
    std::int16_t colorDepth;
    HLOCAL text;
};
#pragma pack(pop)

class LocalBlock {
public:
    explicit LocalBlock(SIZE_T size) : handle_(LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, size)) {}
    ~LocalBlock()
    {
        if (handle_) LocalFree(handle_);
    }
    LocalBlock(const LocalBlock&) = delete;
    LocalBlock& operator=(const LocalBlock&) = delete;
    HLOCAL get() const { return handle_; }
    HLOCAL release() { return std::exchange(handle_, nullptr); }

private:
    HLOCAL handle_;
};

class LocalView {
public:
    explicit LocalView(HLOCAL handle) : handle_(handle), data_(static_cast<BYTE*>(LocalLock(handle))) {}
    ~LocalView()
    {
        if (data_) LocalUnlock(handle_);
    }
    LocalView(const LocalView&) = delete;
    LocalView& operator=(const LocalView&) = delete;
    BYTE* data() const { return data_; }

private:
    HLOCAL handle_;
    BYTE* data_;
};

bool HasSignature(const BYTE* head, std::size_t size)
{
    const auto starts = [&](const char* magic, std::size_t n) { return size >= n && std::memcmp(head, magic, n) == 0; };
    return starts("\x89PNG\r\n\x1a\n", 8) || starts("\xFF\xD8\xFF", 3) || starts("II*\0", 4) ||
           starts("MM\0*", 4) || starts("\0\0\1\0", 4) || starts("GIF8", 4) || starts("BM", 2);
}

// The input: a file by its narrow or wide path from `offset` on, or an image in
// memory of `length` bytes.
struct Source {
    UniqueCom<IWICImagingFactory> factory;
    UniqueCom<IWICStream> file;
    UniqueCom<IWICStream> stream;
    UniqueCom<IWICBitmapDecoder> decoder;
    UniqueCom<IWICBitmapFrameDecode> frame;
};

struct Input {
    const void* argument;
    bool wide;  // a file's name is wide text
};

int Open(Source& source, Input input, LongPtr offsetOrLength, unsigned flag)
{
    if (!input.argument) return kReadError;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(source.factory.put()))))
        return kInternalError;
    if (FAILED(source.factory->CreateStream(source.stream.put()))) return kInternalError;
    if ((flag & 7) == 0) {
        wchar_t* converted = nullptr;
        if (!input.wide) {
            const auto* narrow = static_cast<const char*>(input.argument);
            const int n = MultiByteToWideChar(CP_ACP, 0, narrow, -1, nullptr, 0);
            if (n <= 0) return kReadError;
            converted = new (std::nothrow) wchar_t[n];
            if (!converted) return kNoMemory;
            MultiByteToWideChar(CP_ACP, 0, narrow, -1, converted, n);
        }
        const wchar_t* wide = input.wide ? static_cast<const wchar_t*>(input.argument) : converted;
        HRESULT hr;
        if (offsetOrLength <= 0) {
            hr = source.stream->InitializeFromFilename(wide, GENERIC_READ);
        } else {
            hr = source.factory->CreateStream(source.file.put());
            if (SUCCEEDED(hr)) hr = source.file->InitializeFromFilename(wide, GENERIC_READ);
            ULARGE_INTEGER start, rest;
            start.QuadPart = static_cast<ULONGLONG>(offsetOrLength);
            rest.QuadPart = ~ULONGLONG{0} - start.QuadPart;
            if (SUCCEEDED(hr)) hr = source.stream->InitializeFromIStreamRegion(source.file.get(), start, rest);
        }
        delete[] converted;
        if (FAILED(hr)) return kReadError;
    } else {
        if (offsetOrLength <= 0 || static_cast<ULONGLONG>(offsetOrLength) > 0xFFFFFFFFu) return kBrokenData;
        if (FAILED(source.stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(input.argument)),
                                                       static_cast<DWORD>(offsetOrLength))))
            return kNoMemory;
    }
    if (FAILED(source.factory->CreateDecoderFromStream(source.stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                       source.decoder.put())))
        return kUnknownFormat;
    if (FAILED(source.decoder->GetFrame(0, source.frame.put()))) return kBrokenData;
    return kOk;
}

bool IsIndexed(const WICPixelFormatGUID& format)
{
    return format == GUID_WICPixelFormat1bppIndexed || format == GUID_WICPixelFormat2bppIndexed ||
           format == GUID_WICPixelFormat4bppIndexed || format == GUID_WICPixelFormat8bppIndexed;
}

struct FormatFacts {
    UINT bitsPerPixel = 0;
    bool alpha = false;
};

FormatFacts Facts(IWICImagingFactory* factory, const WICPixelFormatGUID& format)
{
    FormatFacts facts;
    UniqueCom<IWICComponentInfo> info;
    if (FAILED(factory->CreateComponentInfo(format, info.put()))) return facts;
    UniqueCom<IWICPixelFormatInfo2> pixelInfo;
    if (FAILED(info->QueryInterface(IID_PPV_ARGS(pixelInfo.put())))) return facts;
    pixelInfo->GetBitsPerPixel(&facts.bitsPerPixel);
    BOOL transparency = FALSE;
    if (SUCCEEDED(pixelInfo->SupportsTransparency(&transparency))) facts.alpha = transparency != FALSE;
    return facts;
}

int ReadInfo(Input input, LongPtr offsetOrLength, unsigned flag, PictureInfo& info)
{
    Source source;
    if (const int result = Open(source, input, offsetOrLength, flag)) return result;
    UINT width = 0, height = 0;
    if (FAILED(source.frame->GetSize(&width, &height)) || width == 0 || height == 0 || width > INT32_MAX ||
        height > INT32_MAX)
        return kBrokenData;
    WICPixelFormatGUID format{};
    source.frame->GetPixelFormat(&format);
    double dpiX = 0, dpiY = 0;
    source.frame->GetResolution(&dpiX, &dpiY);
    info = {};
    info.width = static_cast<std::int32_t>(width);
    info.height = static_cast<std::int32_t>(height);
    info.xDensity = static_cast<std::uint16_t>(dpiX > 0 && dpiX < 65536 ? dpiX + 0.5 : 0);
    info.yDensity = static_cast<std::uint16_t>(dpiY > 0 && dpiY < 65536 ? dpiY + 0.5 : 0);
    info.colorDepth = static_cast<std::int16_t>(Facts(source.factory.get(), format).bitsPerPixel);
    return kOk;
}

int Decode(Input input, LongPtr offsetOrLength, unsigned flag, HLOCAL* infoOut, HLOCAL* bitsOut,
           ProgressCallback progress, LongPtr data)
{
    if (!infoOut || !bitsOut) return kInternalError;
    if (progress && progress(0, 1, data)) return kAborted;
    Source source;
    if (const int result = Open(source, input, offsetOrLength, flag)) return result;
    UINT width = 0, height = 0;
    if (FAILED(source.frame->GetSize(&width, &height)) || width == 0 || height == 0) return kBrokenData;
    WICPixelFormatGUID format{};
    source.frame->GetPixelFormat(&format);

    const bool indexed = IsIndexed(format);
    const bool alpha = !indexed && Facts(source.factory.get(), format).alpha;
    const UINT bits = indexed ? 8 : alpha ? 32 : 24;
    const WICPixelFormatGUID target = indexed ? GUID_WICPixelFormat8bppIndexed
                                      : alpha ? GUID_WICPixelFormat32bppBGRA
                                              : GUID_WICPixelFormat24bppBGR;
    const ULONGLONG stride = (ULONGLONG{width} * bits + 31) / 32 * 4;
    const ULONGLONG imageSize = stride * height;
    if (stride > 0x7FFFFFFF || imageSize > 0x7FFFFFFF) return kNoMemory;

    UniqueCom<IWICPalette> palette;
    UINT colors = 0;
    WICColor table[256] = {};
    if (indexed) {
        if (FAILED(source.factory->CreatePalette(palette.put())) ||
            FAILED(source.frame->CopyPalette(palette.get())) ||
            FAILED(palette->GetColors(256, table, &colors)))
            return kBrokenData;
    }
    UniqueCom<IWICFormatConverter> converter;
    if (FAILED(source.factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(source.frame.get(), target, WICBitmapDitherTypeNone, palette.get(), 0,
                                     indexed ? WICBitmapPaletteTypeCustom : WICBitmapPaletteTypeMedianCut)))
        return kBrokenData;

    LocalBlock infoBlock(sizeof(BITMAPINFOHEADER) + 4 * SIZE_T{colors});
    LocalBlock bitsBlock(static_cast<SIZE_T>(imageSize));
    if (!infoBlock.get() || !bitsBlock.get()) return kNoMemory;
    {
        LocalView header(infoBlock.get());
        LocalView pixels(bitsBlock.get());
        if (!header.data() || !pixels.data()) return kNoMemory;
        if (FAILED(converter->CopyPixels(nullptr, static_cast<UINT>(stride), static_cast<UINT>(imageSize), pixels.data())))
            return kBrokenData;
        // WIC gives rows top-down; DIBs are bottom-up.
        BYTE* top = pixels.data();
        BYTE* bottom = pixels.data() + (height - 1) * stride;
        for (; top < bottom; top += stride, bottom -= stride)
            for (ULONGLONG i = 0; i < stride; ++i) std::swap(top[i], bottom[i]);

        auto* bih = reinterpret_cast<BITMAPINFOHEADER*>(header.data());
        bih->biSize = sizeof(BITMAPINFOHEADER);
        bih->biWidth = static_cast<LONG>(width);
        bih->biHeight = static_cast<LONG>(height);
        bih->biPlanes = 1;
        bih->biBitCount = static_cast<WORD>(bits);
        bih->biCompression = BI_RGB;
        bih->biSizeImage = static_cast<DWORD>(imageSize);
        bih->biClrUsed = colors;
        auto* quads = reinterpret_cast<RGBQUAD*>(header.data() + sizeof(BITMAPINFOHEADER));
        for (UINT i = 0; i < colors; ++i)
            quads[i] = RGBQUAD{BYTE(table[i]), BYTE(table[i] >> 8), BYTE(table[i] >> 16), 0};
    }
    if (progress && progress(1, 1, data)) return kAborted;
    *infoOut = infoBlock.release();
    *bitsOut = bitsBlock.release();
    return kOk;
}

// The texts are ASCII: a wide buffer takes them character by character.
template <typename Char>
int CopyText(const char* text, Char* buffer, int length)
{
    if (!buffer || length <= 0) return 0;
    const int n = static_cast<int>(std::strlen(text));
    const int copied = n < length ? n : length - 1;
    for (int i = 0; i < copied; ++i) buffer[i] = Char(text[i]);
    buffer[copied] = Char(0);
    return copied;
}

template <typename Char>
int PluginInfo(int infoNo, Char* buffer, int length)
{
    if (infoNo == 0) return CopyText("00IN", buffer, length);
    if (infoNo == 1) return CopyText("TALVERN WIC import plug-in", buffer, length);
    const int index = infoNo / 2 - 1;
    if (index < 0 || index >= static_cast<int>(sizeof kFormats / sizeof kFormats[0])) return 0;
    return CopyText(infoNo % 2 ? kFormats[index].description : kFormats[index].patterns, buffer, length);
}

int PictureInfoOf(Input input, LongPtr offsetOrLength, unsigned flag, PictureInfo* info)
{
    if (!info) return kInternalError;
    ComScope com;
    if (!com.ready()) return kInternalError;
    PictureInfo result{};
    const int code = ReadInfo(input, offsetOrLength, flag, result);
    if (code == kOk) *info = result;
    return code;
}

int PictureOf(Input input, LongPtr offsetOrLength, unsigned flag, HLOCAL* info, HLOCAL* bits,
              ProgressCallback progress, LongPtr data)
{
    ComScope com;
    if (!com.ready()) return kInternalError;
    return Decode(input, offsetOrLength, flag, info, bits, progress, data);
}

}  // namespace

extern "C" {

__declspec(dllexport) int WINAPI GetPluginInfo(int infoNo, char* buffer, int length)
{
    return PluginInfo(infoNo, buffer, length);
}

__declspec(dllexport) int WINAPI GetPluginInfoW(int infoNo, wchar_t* buffer, int length)
{
    return PluginInfo(infoNo, buffer, length);
}

// The second argument is the open file's handle or a pointer to the file's
// first 2 KB; a handle's high bits are zero.
__declspec(dllexport) int WINAPI IsSupported(const char*, std::uintptr_t handleOrHead)
{
    BYTE head[16] = {};
    std::size_t size = 0;
    if ((handleOrHead & ~std::uintptr_t{0xFFFF}) == 0) {
        DWORD read = 0;
        const auto file = reinterpret_cast<HANDLE>(handleOrHead);
        if (!file || SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
            !ReadFile(file, head, sizeof head, &read, nullptr))
            return 0;
        size = read;
    } else {
        std::memcpy(head, reinterpret_cast<const void*>(handleOrHead), sizeof head);
        size = sizeof head;
    }
    return HasSignature(head, size) ? 1 : 0;
}

__declspec(dllexport) int WINAPI IsSupportedW(const wchar_t*, std::uintptr_t handleOrHead)
{
    return IsSupported(nullptr, handleOrHead);
}

__declspec(dllexport) int WINAPI GetPictureInfo(const char* input, LongPtr offsetOrLength, unsigned flag,
                                                PictureInfo* info)
{
    return PictureInfoOf({input, false}, offsetOrLength, flag, info);
}

__declspec(dllexport) int WINAPI GetPictureInfoW(const wchar_t* input, LongPtr offsetOrLength, unsigned flag,
                                                 PictureInfo* info)
{
    return PictureInfoOf({input, true}, offsetOrLength, flag, info);
}

__declspec(dllexport) int WINAPI GetPicture(const char* input, LongPtr offsetOrLength, unsigned flag, HLOCAL* info,
                                            HLOCAL* bits, ProgressCallback progress, LongPtr data)
{
    return PictureOf({input, false}, offsetOrLength, flag, info, bits, progress, data);
}

__declspec(dllexport) int WINAPI GetPictureW(const wchar_t* input, LongPtr offsetOrLength, unsigned flag, HLOCAL* info,
                                             HLOCAL* bits, ProgressCallback progress, LongPtr data)
{
    return PictureOf({input, true}, offsetOrLength, flag, info, bits, progress, data);
}

__declspec(dllexport) int WINAPI GetPreview(const char* input, LongPtr offsetOrLength, unsigned flag, HLOCAL* info,
                                            HLOCAL* bits, ProgressCallback progress, LongPtr data)
{
    return GetPicture(input, offsetOrLength, flag, info, bits, progress, data);
}

__declspec(dllexport) int WINAPI GetPreviewW(const wchar_t* input, LongPtr offsetOrLength, unsigned flag, HLOCAL* info,
                                             HLOCAL* bits, ProgressCallback progress, LongPtr data)
{
    return GetPictureW(input, offsetOrLength, flag, info, bits, progress, data);
}

}  // extern "C"
