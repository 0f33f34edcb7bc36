#include "image/kxv_super_image.h"

#include <cstring>
#include <new>

#include "framework/utf8.h"
#include "framework/exceptions.h"
#include "framework/file_system.h"
#include "framework/streams.h"
#include "framework/unique_any.h"
#include "image/kx_wait_cursor.h"

namespace {

const char* const kBitmapEntry = "ﾋﾞｯﾄﾏｯﾌﾟ|*.BMP;*.RLE;*.RGB;*.DIB";

// The first "|" at or after `from`, stepping over whole characters.
std::size_t FindBar(const std::string& text, std::size_t from)
{
    for (std::size_t i = from; i < text.size(); i = Utf8Next(text, i))
        if (text[i] == '|') return i;
    return std::string::npos;
}

// Every pattern of a filter's entries, joined by ";": the descriptions and their
// "|" go, the "|" between two entries becomes ";".
std::string PatternsOf(std::string list)
{
    std::size_t start = 0;
    for (;;) {
        const std::size_t descriptionEnd = FindBar(list, start);
        if (descriptionEnd == std::string::npos) break;
        list.erase(start, descriptionEnd - start + 1);
        const std::size_t entryEnd = FindBar(list, start);
        if (entryEnd == std::string::npos) break;
        list[entryEnd] = ';';
        start = entryEnd + 1;
    }
    return list;
}

}  // namespace

kxvSuperImage::kxvSuperImage() : kxvSuperImage(MakeSusieReader(), MakeGVReader()) {}

kxvSuperImage::kxvSuperImage(std::unique_ptr<TExternalReader> susie, std::unique_ptr<TExternalReader> gv)
    : Susie(std::move(susie)), GV(std::move(gv))
{
    GIF.OnPaint = [this](kxvGIF& sender, kxRect* rect) { GIFOnPaint(sender, rect); };
    GVEnable = GV->Enable();
    SusieEnable = Susie->Enable();
}

kxvSuperImage::~kxvSuperImage() = default;

void kxvSuperImage::SetGVEnable(bool value)
{
    GV->SetEnable(value);
    GVEnable = GV->Enable();
}

void kxvSuperImage::SetSusieEnable(bool value)
{
    Susie->SetEnable(value);
    SusieEnable = Susie->Enable();
}

void kxvSuperImage::SetGVPath(const std::string& value)
{
    GV->SetPath(value);
    GVEnable = GV->Enable();
}

void kxvSuperImage::SetSusiePath(const std::string& value)
{
    Susie->SetPath(value);
    SusieEnable = Susie->Enable();
}

std::string kxvSuperImage::GetFilter()
{
    std::string list;
    if (GV->Enable()) {
        list = GV->GetFilter();
    } else if (Susie->Enable()) {
        list = kBitmapEntry;
        const std::string susie = Susie->GetFilter();
        if (!susie.empty()) list += "|" + susie;
    } else {
        list = std::string(kBitmapEntry) + "|GIF|*.GIF";
    }
    return "画像ﾌｧｲﾙ|" + PatternsOf(list) + "|すべてのﾌｧｲﾙ|*.*|" + list;
}

bool kxvSuperImage::IsBitmap(const std::string& fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    char type[2];
    return file.Read(type, 2) == 2 && std::memcmp(type, "BM", 2) == 0;
}

bool kxvSuperImage::LoadFromFile(const std::string& fileName)
{
    return Load(fileName, nullptr);
}

bool kxvSuperImage::LoadRegionFromFile(const std::string& fileName, const TRect& region)
{
    return Load(fileName, &region);
}

bool kxvSuperImage::Load(const std::string& fileName, const TRect* region)
{
    kxWaitCursor wait;
    lastFailureMessage_.clear();
    PictureTriples = {};
    if (fileName.empty()) {
        lastFailure_ = TLoadFailure::NotFound;
        return false;
    }
    try {
        const bool loaded = LoadContent(fileName, region);
        lastFailure_ = loaded ? TLoadFailure::None : TLoadFailure::Unrecognised;
        return loaded;
    } catch (const EFOpenError& error) {
        // Asked only once the file would not open: a batch's files are there.
        if (!FileExists(fileName)) {
            lastFailure_ = TLoadFailure::NotFound;
            return false;
        }
        lastFailure_ = TLoadFailure::Unreadable;
        lastFailureMessage_ = error.Message;
    } catch (const Exception& error) {
        lastFailure_ = TLoadFailure::Malformed;
        lastFailureMessage_ = error.Message;
    } catch (const std::bad_alloc&) {
        lastFailure_ = TLoadFailure::Malformed;
        lastFailureMessage_ = "out of memory";
    } catch (const std::exception& error) {
        lastFailure_ = TLoadFailure::Malformed;
        lastFailureMessage_ = error.what();
    } catch (...) {
        lastFailure_ = TLoadFailure::Malformed;
    }
    return false;
}

bool kxvSuperImage::LoadContent(const std::string& fileName, const TRect* region)
{
    if (region ? LoadBuiltInRegion(fileName, *region) : LoadBuiltIn(fileName)) return true;
    if (Susie->LoadFromFile(fileName, Picture().Bitmap())) return TakeFromReader(*Susie);
    if (GV->LoadFromFile(fileName, Picture().Bitmap())) return TakeFromReader(*GV);
    // A reader that took the file but failed on it, or could not be asked, says
    // why; the plug-ins come first, as they were asked first.
    lastFailureMessage_ = !Susie->Refusal().empty() ? Susie->Refusal() : GV->Refusal();
    // Last comes the picture's own loader, which goes by the extension. It reads
    // the bitmap format only, which the content test has ruled out, so the file
    // is not opened again for it.
    return false;
}

// The file is opened once for the two content tests and the reader that takes
// it, and closed again before the outside readers, which open it themselves. A
// file of up to WholeFileLimit is read whole in one call into memory kept from
// file to file, and the readers take its bytes in place: a batch then costs
// one read call and no fresh memory per file. A larger one is read through a
// buffer: a GIF comes in bytes and sub-blocks. So is a file loaded while
// another load waits (a GIF's delay handles messages), whose bytes are in use.
bool kxvSuperImage::LoadBuiltIn(const std::string& fileName)
{
    constexpr std::int64_t WholeFileLimit = std::int64_t{64} << 20;
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    const std::int64_t size = file.Size();
    if (size < 0 || size > WholeFileLimit || fileBytesInUse_) {
        TBufferedReadStream stream(file);
        return LoadBuiltIn(stream);
    }
    fileBytesInUse_ = true;
    const ScopeExit released([this] { fileBytesInUse_ = false; });
    std::uint8_t* const bytes = fileBytes_.Reserve(std::size_t(size));
    // A file cut short meanwhile is read as far as it goes.
    TCustomMemoryStream stream(bytes, file.Read(bytes, size));
    return LoadBuiltIn(stream);
}

bool kxvSuperImage::LoadBuiltIn(TStream& stream)
{
    char type[2];
    if (stream.Read(type, 2) == 2 && std::memcmp(type, "BM", 2) == 0) {
        LoadBitmapStream(stream);
        return true;
    }
    stream.SetPosition(0);
    if (!GIF.IsSupport(stream)) return false;
    stream.SetPosition(0);
    GIF.LoadFromStream(stream, Picture().Bitmap());
    PictureOrigin = {};
    TakeFromGIF();
    return true;
}

// A region's file is read through a small buffer, never whole: a BMP file's
// header through one of a header's size, its rows straight from the file (as
// reads of that size or more go) into the kept memory; a GIF file in sequence,
// as far as the region needs. Memory then follows the region, not the file.
bool kxvSuperImage::LoadBuiltInRegion(const std::string& fileName, const TRect& region)
{
    constexpr std::size_t HeaderReadBlock = 2 * 1024, GifReadBlock = 16 * 1024;
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    // The content test reads the header block, which the BMP decoder then takes
    // from the buffer: one read call for both.
    TBufferedReadStream header(file, HeaderReadBlock);
    char type[2];
    const bool bitmap = header.Read(type, 2) == 2 && std::memcmp(type, "BM", 2) == 0;
    header.SetPosition(0);
    if (bitmap) {
        // Not the kept memory while a load that waits holds it.
        TByteBuffer own;
        const bool keptFree = !fileBytesInUse_;
        fileBytesInUse_ = true;
        const ScopeExit released([this, keptFree] { fileBytesInUse_ = !keptFree; });
        // A 24-bit file's rows are kept as they are read only in memory that
        // stays after the load.
        if (keptFree)
            LoadBitmapStream(header, region, fileBytes_, gatheredRows_);
        else
            LoadBitmapStream(header, region, own);
        return true;
    }
    file.SetPosition(0);
    TBufferedReadStream stream(file, GifReadBlock);
    if (!GIF.IsSupport(stream)) return false;
    // A region that takes the whole picture has nothing to leave out: it is
    // read as a whole load reads it.
    if (region.Left <= 0 && region.Top <= 0 && region.Right >= GIF.ScreenWidth + GIF.OffsetX &&
        region.Bottom >= GIF.ScreenHeight + GIF.OffsetY)
        return LoadBuiltIn(fileName);
    stream.SetPosition(0);
    PictureOrigin = GIF.LoadRegionFromStream(stream, Picture().Bitmap(), region);
    TakeFromGIF();
    return true;
}

void kxvSuperImage::TakeFromGIF()
{
    ColorDepth = GIF.ColorDepth;
    CopyPalette(GIF.Palette());
    GIF.SetPalette(nullptr);
    Invalidate();
}

bool kxvSuperImage::TakeFromReader(TExternalReader& reader)
{
    PictureOrigin = {};
    ColorDepth = reader.SourceColorDepth();
    CopyPalette(reader.SourcePalette());
    reader.SetPalette(nullptr);
    Invalidate();
    return true;
}

void kxvSuperImage::GIFOnPaint(kxvGIF&, kxRect*) { Repaint(); }
