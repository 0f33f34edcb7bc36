#pragma once
// kxvSPI: one Susie plug-in, a DLL exporting the five published functions. It
// binds the library, reads its format list, asks it about a file, reads the
// picture information and has it decode into a TBitmap. While decoding it is
// itself the stream the bitmap loads from: the plug-in's DIB as a BMP file image
// with the pixel bits read in place.
//
// The 32-bit build binds *.spi plug-ins, the 64-bit build *.sph plug-ins, whose
// offset-or-length and user-data arguments and IsSupported's second argument
// are pointer-sized. Everything a plug-in hands back is bounded by the block it
// came in; a plug-in that faults fails the call it faulted in.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "external/dib_file_stream.h"
#include "framework/palette.h"
#include "framework/win32/handles.h"

class TBitmap;

namespace spi {

// Pointer-sized in 64-bit plug-ins; in 32-bit ones a long, which is the same width.
using LongPtr = std::intptr_t;
using ProgressCallback = int(WINAPI*)(int num, int denom, LongPtr data);
using GetPluginInfoProc = int(WINAPI*)(int infoNo, char* buffer, int length);
using IsSupportedProc = int(WINAPI*)(const char* fileName, std::uintptr_t handleOrHead);
using GetPictureInfoProc = int(WINAPI*)(const char* input, LongPtr offset, unsigned flag, void* info);
using GetPictureProc = int(WINAPI*)(const char* input, LongPtr offset, unsigned flag, HLOCAL* info, HLOCAL* bits,
                                    ProgressCallback progress, LongPtr data);

// The picture-info record as published: packed, text handle at offset 22
// (26 bytes in 32-bit plug-ins, 30 in 64-bit ones). Plug-ins get a zeroed
// buffer of this size, which also holds the naturally aligned variant.
constexpr std::size_t kPictureInfoBuffer = 40;
constexpr std::size_t kInfoTextHandleOffset = 22;
// What IsSupported is shown of a file.
constexpr std::size_t kHeadSize = 2048;
constexpr int kInfoLength = 80;

}  // namespace spi

class kxvSPI : public TDibFileStream {
public:
    kxvSPI() = default;
    explicit kxvSPI(const std::string& path);
    ~kxvSPI() override;

    bool SetSpiName(const std::string& path);
    bool FreeSpi();
    int GetPluginInfo(int number, char* buffer, int length);
    void SetFileName(const std::string& name);
    void SetMemory(const std::uint8_t* data);
    bool IsSupport();
    bool GetPictureInfo();
    // On success `palette` receives the picture's palette (none above 8 bits).
    // A DIB whose blocks are smaller than its header says raises EInvalidGraphic,
    // as does the bitmap's own loading of what the plug-in handed over.
    bool GetPicture(TBitmap* bitmap, PaletteHandle& palette);
    bool GetPreview(TBitmap* bitmap, PaletteHandle& palette);
    PaletteHandle StoreBitmap(TBitmap* bitmap, UniqueLocal info, UniqueLocal bits);

    std::int32_t LastError = 0;
    bool Loaded = false;
    std::string SpiName;
    UniqueModule Module;
    std::uint16_t PluginType = 0;
    std::uint16_t ApiVersion = 0;
    std::string Filter;
    bool MemoryMode = false;
    std::int32_t Offset = 0;
    std::string FileName;
    const std::uint8_t* Memory = nullptr;
    bool Support = false;
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::uint16_t XDensity = 0;
    std::uint16_t YDensity = 0;
    std::int16_t ColorDepth = 0;
    std::string Info;  // empty when the plug-in gave no text
    std::unique_ptr<kxvSPI> Next;

private:
    bool Decode(spi::GetPictureProc entry, TBitmap* bitmap, PaletteHandle& palette);
    void TakeInfoText(const std::uint8_t* record);
    // The first argument of the picture calls: the file's narrow path, or the
    // image itself in memory mode.
    const char* Input(const std::string& path) const;

    spi::GetPluginInfoProc getPluginInfo_ = nullptr;
    spi::IsSupportedProc isSupported_ = nullptr;
    spi::GetPictureInfoProc getPictureInfo_ = nullptr;
    spi::GetPictureProc getPicture_ = nullptr;
    spi::GetPictureProc getPreview_ = nullptr;
};
