#pragma once
// What the multi-format loader asks of an outside decoder (the plug-in set, the
// viewer bridge): a switch, a location, a format list, and a load into a bitmap
// that leaves the source's colour depth and palette with the reader until the
// loader takes them.
#include <cstdint>
#include <memory>
#include <string>

#include "framework/palette.h"

class TBitmap;

class TExternalReader {
public:
    virtual ~TExternalReader() = default;

    virtual bool Enable() const = 0;
    virtual void SetEnable(bool value) = 0;
    virtual std::string Path() const = 0;
    virtual void SetPath(const std::string& value) = 0;
    // Open-dialog filter entries ("description|patterns", joined by "|"); empty
    // when the reader is off or knows no formats.
    virtual std::string GetFilter() = 0;
    // False at once when off or when the file does not exist; true when the file
    // was decoded into `bitmap`. Never raises.
    virtual bool LoadFromFile(const std::string& fileName, TBitmap& bitmap) = 0;
    // A line on what the reader leaves out or how it reads, for the reader list.
    virtual std::string Remarks() { return {}; }
    // How long one picture may take.
    virtual void SetPictureLimit(std::uint32_t) {}
    // The source's bits per pixel and colour table of the last load.
    virtual int SourceColorDepth() const = 0;
    virtual const TLogPalette* SourcePalette() const = 0;
    virtual void SetPalette(PaletteHandle palette) = 0;
    // Why the last load failed other than by the reader passing the file by: the
    // reader took it and could not decode it, or could not even be asked (a file
    // name it cannot be given). Empty when the reader decoded the file or does
    // not read it.
    virtual std::string Refusal() const { return {}; }
};

// The platform's readers for the loader: on Windows the Susie plug-in set and
// the GV bridge; elsewhere neither exists, and a TAbsentReader stands in.
std::unique_ptr<TExternalReader> MakeSusieReader();
std::unique_ptr<TExternalReader> MakeGVReader();
