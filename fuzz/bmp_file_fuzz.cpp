// The image components' BMP file handling on arbitrary bytes: ReadBitmapHeader on
// the bytes written to a file, MakeDIBPalette on the header block behind the file
// header, and, where the picture object loads the bytes, SaveBitmapFile at the
// depth and with the palette that ReadBitmapHeader found, whose output the
// picture object must load back.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/streams.h"
#include "fuzz/bmp_picture_size.h"
#include "image/bmp_file.h"

namespace {

std::string ScratchName(const char* suffix)
{
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/bmp_file_fuzz." + std::to_string(getpid()) + suffix;
}

void CheckPalette(const TLogPalette* palette)
{
    if (!palette) return;
    if (palette->palVersion != 0x300 || palette->palNumEntries > 256) std::abort();
    for (const TPaletteEntry& e : palette->palPalEntry)
        if (e.peFlags != 0) std::abort();
}

bool SamePixels(const TBitmap& a, const TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if ((a.ScanLine(y)[x] ^ b.ScanLine(y)[x]) & 0xFFFFFF) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (SlowBmpPicture(data, size)) return 0;
    static const std::string input = ScratchName(".bmp");
    static const std::string output = ScratchName(".out.bmp");
    {
        std::FILE* f = std::fopen(input.c_str(), "wb");
        if (!f) std::abort();
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }

    TBitmapHeaderInfo info = ReadBitmapHeader(input);
    CheckPalette(info.Palette.get());
    if (info.Palette && info.ColorDepth > 8) std::abort();

    if (size > 14) CheckPalette(MakeDIBPalette(data + 14, size - 14).get());
    CheckPalette(MakeDIBPalette(nullptr, 0).get());

    TBitmap picture;
    try {
        TCustomMemoryStream stream(data, std::int64_t(size));
        picture.LoadFromStream(stream);
    } catch (const EInvalidGraphic&) {
        return 0;
    } catch (const EOutOfResources&) {
        return 0;
    }
    const int depth = info.ColorDepth;
    if (!SaveBitmapFile(output, picture, depth, info.Palette.get())) {
        // Every depth the picture object reads is one the writer writes.
        if (depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32)
            std::abort();
        return 0;
    }
    TBitmap again;
    again.LoadFromFile(output);  // raises, and so fails the run, when the writer's file is invalid
    if (again.Width() != picture.Width() || again.Height() != picture.Height()) std::abort();
    if ((depth == 24 || depth == 32) && !SamePixels(picture, again)) std::abort();
    std::remove(output.c_str());
    return 0;
}
