#pragma once
// kxvSPI: one Susie plug-in, a DLL exporting the five published functions, run
// in a plug-in host (external/spi_host_win32.h) and never in this process. It
// has the host bind the library and read its format list, ask it about a file,
// read the picture information and decode into a TBitmap. While decoding it is
// itself the stream the bitmap loads from: the plug-in's DIB as a BMP file
// image, with the pixel bits read in place from the mapping the host put them in.
//
// *.spi plug-ins run in the 32-bit host, *.sph plug-ins in the 64-bit one. A
// plug-in whose call ends or outlasts its host fails that call, with the reason
// in FailureReason; its next call has a fresh host.
#include <cstdint>
#include <memory>
#include <string>

#include "external/dib_file_stream.h"
#include "external/spi_host_win32.h"
#include "framework/palette.h"

class TBitmap;

namespace spi {

// What IsSupported is shown of a file.
constexpr std::size_t kHeadSize = 2048;
constexpr int kInfoLength = 80;
// LastError of a call the host could not make.
constexpr std::int32_t kNotCalled = -1;

enum class TWidth { Bits32, Bits64 };
// By the plug-in file's extension: ".spi" 32-bit, anything else 64-bit.
TWidth WidthOf(const std::string& path);
// The host program of that width, beside this program.
std::wstring HostProgram(TWidth width);

}  // namespace spi

class kxvSPI : public TDibFileStream {
public:
    kxvSPI() = default;
    // In a host of its own, of the plug-in's width.
    explicit kxvSPI(const std::string& path);
    kxvSPI(const std::string& path, std::shared_ptr<TSpiHost> host);
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

    std::int32_t LastError = 0;
    // Why the last call failed; empty after one that succeeded.
    std::string FailureReason;
    bool Loaded = false;
    std::string SpiName;
    std::string SpiPath;
    std::shared_ptr<TSpiHost> Host;
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
    spihost::TRequest Request(spihost::TCall call) const;
    // The host's answer, or nullopt with FailureReason and LastError set.
    std::optional<spihost::TReply> Ask(spihost::TRequest request);
    bool Decode(spihost::TCall call, TBitmap* bitmap, PaletteHandle& palette);
};
