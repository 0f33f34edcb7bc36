#pragma once
// kxvSusie: the Susie plug-ins the program found, kept in a list sorted by file
// name (byte order), and the multi-format loader's one call to decode a file with
// the first plug-in that accepts it. The 32-bit build looks for "*.SPI" files,
// which run in the 32-bit plug-in host; the 64-bit build for "*.SPH" files, run
// in the 64-bit host, and "*.SPI" files too, in one set, where the 32-bit host
// runs. Each width has one host for the whole set.
#include <cstdint>
#include <memory>
#include <string>

#include "external/kxv_spi.h"
#include "framework/palette.h"
#include "image/external_reader.h"

class TBitmap;

class kxvSusie : public TExternalReader {
public:
    // Scans the system directory named in the registry and the program's own
    // directory.
    kxvSusie();
    // An empty set that has scanned nothing.
    struct NoScan {};
    explicit kxvSusie(NoScan) {}
    ~kxvSusie() override;

    kxvSPI* GetSPI(int index) const;
    kxvSPI* GetSPI(const std::string& name) const;
    bool AddSPI(const std::string& path);
    int AddDirSPI(const std::string& directory);
    void AddSystemDir();
    bool DeleteSPI(const std::string& name);
    void CheckSPI() { Enable_ = Count != 0; }

    void SetFileName(const std::string& name);
    void SetMemory(const std::uint8_t* data);
    void SetOffset(std::int32_t offset);
    bool IsSupport();
    // These raise what the testing plug-in's file stream or the bitmap's loading
    // raises; the reader interface's LoadFromFile below never does.
    bool GetPicture(TBitmap* bitmap);
    bool GetPreview(TBitmap* bitmap);
    bool LoadFromFile(const std::string& fileName, TBitmap* bitmap);

    // TExternalReader
    bool Enable() const override { return Enable_; }
    void SetEnable(bool value) override;
    std::string Path() const override { return Path_; }
    void SetPath(const std::string& directory) override;
    std::string GetFilter() override;
    bool LoadFromFile(const std::string& fileName, TBitmap& bitmap) override;
    std::string Refusal() const override { return Refusal_; }
    std::string Remarks() override;
    void SetPictureLimit(std::uint32_t milliseconds) override;
    int SourceColorDepth() const override { return ColorDepth; }
    const TLogPalette* SourcePalette() const override { return Palette.get(); }
    void SetPalette(PaletteHandle palette) override { Palette = std::move(palette); }

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
    std::int32_t ColorDepth = 0;
    PaletteHandle Palette;
    std::string Info;
    int Count = 0;
    std::unique_ptr<kxvSPI> Head;
    kxvSPI* Current = nullptr;

private:
    std::shared_ptr<TSpiHost>& HostFor(spi::TWidth width);

    std::shared_ptr<TSpiHost> host32_;
    std::shared_ptr<TSpiHost> host64_;
    std::uint32_t pictureLimitMs_ = 30000;
    std::string Refusal_;
    std::string Path_;
    bool Enable_ = false;
};
