#include "gif/kxv_gif.h"

#include <algorithm>
#include <cstring>

#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/exceptions.h"
#include "framework/streams.h"
#include "framework/timer.h"

namespace {

constexpr std::uint8_t TrailerByte = 0x3B;          // ';'
constexpr std::uint8_t ExtensionIntroducer = 0x21;  // '!'
constexpr std::uint8_t ImageSeparator = 0x2C;       // ','
constexpr std::uint8_t PlainTextLabel = 0x01;
constexpr std::uint8_t GraphicControlLabel = 0xF9;
constexpr std::uint8_t CommentLabel = 0xFE;
constexpr std::uint8_t ApplicationLabel = 0xFF;
// The block buffer holds a label, a colour table of up to 768 bytes or a
// sub-block of up to 255 bytes.
constexpr std::size_t BlockBufferSize = 1027;
// Destination AND NOT source: clears the positions the mask marks.
constexpr TCopyMode RopMaskOut = 0x00220326;

int ReadU16(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8);
}

int ColorTableDepth(int entries)
{
    return entries <= 2 ? 1 : entries <= 16 ? 4 : 8;
}

TColor EntryColor(const TLogPalette* palette, int index)
{
    if (!palette || index < 0 || index >= TLogPalette::MaxEntries) return clBlack;
    const TPaletteEntry& e = palette->palPalEntry[std::size_t(index)];
    return MakeColor(e.peRed, e.peGreen, e.peBlue);
}

void PutU32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}

// Entries i below count from rgb triples; the rest stay as they are.
void FillPalette(TLogPalette& palette, const std::uint8_t* rgb, int count)
{
    for (int i = 0; i < count; ++i) {
        TPaletteEntry& e = palette.palPalEntry[std::size_t(i)];
        e.peRed = rgb[3 * i];
        e.peGreen = rgb[3 * i + 1];
        e.peBlue = rgb[3 * i + 2];
        e.peFlags = 0;
    }
    palette.palNumEntries = std::uint16_t(count);
}

TRect Clip(const TRect& r, int width, int height)
{
    return TRect{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, width), std::min(r.Bottom, height)};
}

}  // namespace

kxvGIF::kxvGIF() : blockBuffer_(BlockBufferSize) {}
kxvGIF::~kxvGIF() = default;

PaletteHandle kxvGIF::MakePalette(const std::uint8_t* rgb, int count)
{
    PaletteHandle palette = NewPalette(0);
    if (rgb) FillPalette(*palette, rgb, std::clamp(count, 0, TLogPalette::MaxEntries));
    // Without a table: the bitmaps here are true-colour surfaces, which have no
    // system palette, so the palette has no entries and every index shows black.
    return palette;
}

bool kxvGIF::IsSupport(TStream& stream)
{
    if (Enable == 0) return false;
    std::uint8_t header[6];
    if (!TryReadGifBytes(stream, header, 6) || std::memcmp(header, "GIF", 3) != 0) return false;
    // Logical Screen Descriptor: width, height, packed fields, background index,
    // pixel aspect ratio (unused).
    std::uint8_t screen[7];
    ReadGifBytes(stream, screen, 7);
    ScreenWidth = ReadU16(screen);
    ScreenHeight = ReadU16(screen + 2);
    const std::uint8_t packed = screen[4];
    const int backgroundIndex = screen[5];
    if (packed & 0x80) {
        // Global Color Table: 2^(size + 1) entries.
        const int entries = 2 << (packed & 7);
        std::uint8_t rgb[768];
        ReadGifBytes(stream, rgb, 3 * entries);
        SetPalette(MakePalette(rgb, entries));
        BackgroundColor = EntryColor(palette_.get(), backgroundIndex < entries ? backgroundIndex : -1);
        ColorDepth = ColorTableDepth(entries);
    } else {
        SetPalette(MakePalette(nullptr, 0));
        // Black rather than the previous stream's colour: a picture must not
        // depend on the file loaded before it.
        BackgroundColor = clBlack;
        ColorDepth = 24;
    }
    return true;
}

bool kxvGIF::IsSupport(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    return IsSupport(static_cast<TStream&>(stream));
}

void kxvGIF::LoadFromFile(const std::string& fileName, TBitmap& bitmap)
{
    // The stream is read a byte and a sub-block at a time: through a buffer,
    // not a system call each.
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    TBufferedReadStream stream(file);
    LoadFromStream(stream, bitmap);
}

void kxvGIF::LoadFromStream(TStream& stream, TBitmap& bitmap)
{
    Load(stream, bitmap, nullptr);
}

TPoint kxvGIF::LoadRegionFromStream(TStream& stream, TBitmap& bitmap, const TRect& region)
{
    Load(stream, bitmap, &region);
    return origin_;
}

// A region is composed on a bitmap of its own size: every drawing position is
// moved by the region's origin, and what falls outside the bitmap is clipped
// as it is at the picture's edges.
void kxvGIF::Load(TStream& stream, TBitmap& bitmap, const TRect* region)
{
    stop_ = false;
    bitmap_ = &bitmap;
    control_ = GraphicControl{};
    origin_ = {};
    region_ = false;
    if (!IsSupport(stream)) RaiseInvalidGif();
    int width = ScreenWidth + OffsetX, height = ScreenHeight + OffsetY;
    if (region && !KeepSize && CopyMode == cmSrcCopy) {
        region_ = true;
        TRect part = Clip(*region, width, height);
        if (part.Right <= part.Left || part.Bottom <= part.Top) part = TRect{};
        origin_ = TPoint{part.Left, part.Top};
        width = part.Right - part.Left;
        height = part.Bottom - part.Top;
    }
    if (!KeepSize || bitmap.Empty()) {
        // When the fill below covers the whole new size, new pixels need not be
        // cleared first.
        const bool covered = FillBackground && OffsetX <= 0 && OffsetY <= 0;
        bitmap.SetSize(width, height, covered ? TPixelFill::Undefined : TPixelFill::Black);
    }
    if (FillBackground) {
        TCanvas& canvas = bitmap.Canvas();
        canvas.Brush.Style = bsSolid;
        canvas.Brush.Color = BackgroundColor;
        canvas.FillRect(TRect{-origin_.X, -origin_.Y, ScreenWidth - origin_.X, ScreenHeight - origin_.Y});
    }
    std::uint8_t* const block = blockBuffer_.data();
    try {
        std::uint8_t introducer = ReadGifByte(stream);
        while (introducer != TrailerByte) {
            if (stop_) break;
            if (introducer == ExtensionIntroducer) {
                switch (ReadGifByte(stream)) {
                case PlainTextLabel: LoadPlaneTextExtension(stream, block); break;
                case GraphicControlLabel: LoadGraphicControlExtension(stream, block); break;
                case CommentLabel: LoadCommentExtension(stream, block); break;
                case ApplicationLabel: LoadApplicationExtension(stream, block); break;
                // Every extension is a label and data sub-blocks, so that one a
                // decoder does not know can be stepped over.
                default: SkipGifSubBlocks(stream, block);
                }
            } else if (introducer == ImageSeparator) {
                LoadImageDescriptor(stream, block);
            } else {
                RaiseInvalidGif();
            }
            introducer = ReadGifByte(stream);
        }
    } catch (...) {
        savedBackground_.reset();
        timer_.reset();
        throw;
    }
}

int kxvGIF::LoadSubBlock(TStream& stream, std::uint8_t* buffer)
{
    return ReadGifSubBlock(stream, buffer);
}

void kxvGIF::MakeBitmapInfo(RowImage& image, int width, int bytesPerPixel, const TLogPalette* palette)
{
    constexpr std::size_t HeaderSize = 40;
    const std::size_t tableSize = palette ? 256 * 4 : 0;
    const std::size_t stride = (std::size_t(width) * std::size_t(bytesPerPixel) + 3) & ~std::size_t(3);
    const std::size_t words = (HeaderSize + tableSize + stride) / 4;
    if (image.capacity < words) {
        image.storage = std::make_unique_for_overwrite<std::uint32_t[]>(words);
        image.capacity = words;
    }
    std::fill_n(image.storage.get(), words, 0u);
    auto* bytes = reinterpret_cast<std::uint8_t*>(image.storage.get());
    // BITMAPINFOHEADER: size, width, height 1, planes 1, bit count; BI_RGB.
    PutU32(bytes, 40);
    PutU32(bytes + 4, std::uint32_t(width));
    PutU32(bytes + 8, 1);
    bytes[12] = 1;
    bytes[14] = std::uint8_t(8 * bytesPerPixel);
    std::uint32_t* colors = image.storage.get() + HeaderSize / 4;
    if (palette) {
        const int count = std::min<int>(palette->palNumEntries, 256);
        for (int i = 0; i < count; ++i) {
            const TPaletteEntry& e = palette->palPalEntry[std::size_t(i)];
            colors[i] = std::uint32_t(e.peBlue) | std::uint32_t(e.peGreen) << 8 | std::uint32_t(e.peRed) << 16;
        }
    }
    image.bits = bytes + HeaderSize + tableSize;
    image.view.Width = width;
    image.view.Height = 1;
    image.view.BitCount = 8 * bytesPerPixel;
    image.view.Colors = palette ? colors : nullptr;
    image.view.ColorCount = palette ? 256 : 0;
    image.view.Bits = image.bits;
}

void kxvGIF::SetTransparentColor(const TLogPalette* palette)
{
    if (TransparentColor == clNone) return;
    const int count = palette ? palette->palNumEntries : 0;
    std::uint32_t entries[TLogPalette::MaxEntries];
    for (int i = 0; i < count; ++i) {
        const TPaletteEntry& e = palette->palPalEntry[std::size_t(i)];
        entries[i] = std::uint32_t(e.peRed) | std::uint32_t(e.peGreen) << 8 | std::uint32_t(e.peBlue) << 16 |
                     std::uint32_t(e.peFlags) << 24;
    }
    const std::uint32_t wanted = std::uint32_t(TransparentColor);
    const std::uint32_t* found = std::find(entries, entries + count, wanted);
    if (found != entries + count) {
        control_.TransparentIndex = std::uint8_t(found - entries);
    } else {
        control_.Packed &= std::uint8_t(~1u);
    }
}

void kxvGIF::SaveBackground()
{
    // Only the part on the bitmap can ever be drawn back.
    savedRect_ = Clip(TRect{left_, top_, left_ + width_, top_ + height_}, bitmap_->Width(), bitmap_->Height());
    if (savedRect_.Right <= savedRect_.Left || savedRect_.Bottom <= savedRect_.Top) return;
    auto saved = std::make_unique<TBitmap>();
    const int w = savedRect_.Right - savedRect_.Left, h = savedRect_.Bottom - savedRect_.Top;
    saved->SetSize(w, h);
    saved->Canvas().CopyMode = cmSrcCopy;
    saved->Canvas().CopyRect(TRect{0, 0, w, h}, bitmap_->Canvas(), savedRect_);
    savedBackground_ = std::move(saved);
}

void kxvGIF::LoadImageDescriptor(TStream& stream, std::uint8_t* buffer)
{
    // Image Descriptor: left, top, width, height, packed fields.
    std::uint8_t descriptor[9];
    ReadGifBytes(stream, descriptor, 9);
    left_ = ReadU16(descriptor) + OffsetX - origin_.X;
    top_ = ReadU16(descriptor + 2) + OffsetY - origin_.Y;
    width_ = ReadU16(descriptor + 4);
    height_ = ReadU16(descriptor + 6);
    const std::uint8_t packed = descriptor[8];
    row_ = 0;
    savedBackground_.reset();

    // Packed fields: bit 7 is the Local Color Table flag, bits 0-2 its size.
    const TLogPalette* colors = palette_.get();
    if (packed & 0x80) {
        const int entries = 2 << (packed & 7);
        ReadGifBytes(stream, buffer, 3 * entries);
        localPalette_ = TLogPalette{};
        FillPalette(localPalette_, buffer, entries);
        colors = &localPalette_;
        ColorDepth = 24;
    }
    MakeBitmapInfo(rowImage_, width_, 1, colors);
    SetTransparentColor(colors);

    transparentGraphic_ = control_.IsTransparent();
    sourceCopy_ = CopyMode == cmSrcCopy;
    if (transparentGraphic_ && !sourceCopy_) {
        // Only the raster operations need the mask and saved rows.
        TLogPalette mask;
        mask.palNumEntries = 2;
        mask.palPalEntry[1] = TPaletteEntry{0xFF, 0xFF, 0xFF, 0};
        MakeBitmapInfo(maskImage_, width_, 1, &mask);
        MakeBitmapInfo(savedRowImage_, bitmap_->Width(), 3, nullptr);
        savedRowImage_.view.Height = bitmap_->Height();
    }
    if (control_.Disposal() == 3) SaveBackground();
    // Bit 6 is the Interlace flag.
    pass_ = (packed & 0x40) ? 1 : 0;
    const int minimumCodeSize = ReadGifByte(stream);
    // Rows below a region never reach it, but a frame that may still be drawn
    // over is decoded whole, so that a broken one fails as on the whole picture.
    stoppedEarly_ = false;
    stopEarly_ = region_ && (!Animate || NothingDrawnAfter(stream, buffer));
    if (stopEarly_) {
        const bool columns = left_ < bitmap_->Width() && left_ + width_ > 0;
        neededFirst_ = std::max(0, -top_);
        neededEnd_ = columns ? std::min(height_, bitmap_->Height() - top_) : 0;
        neededLeft_ = std::max(neededEnd_ - neededFirst_, 0);
    }
    // The row image's pixels are the decoder's row, which it keeps itself.
    lzw_.Start(stream, buffer, minimumCodeSize, nullptr, width_, *this);
    if (pass_ == 1 && height_ <= 0) pass_ = 5;
    lzw_.Decode();
    // An incomplete last row is drawn as it stands, a plain copy.
    if (lzw_.Column() != 0 && row_ < height_ && pass_ != 5 && !stoppedEarly_) {
        rowImage_.view.Bits = lzw_.Row();
        bitmap_->Canvas().SetDIBitsToDevice(left_, top_ + row_, rowImage_.view);
    }
    EndRendering();
}

bool kxvGIF::RowComplete()
{
    const int row = row_;
    bool more = true;
    switch (pass_) {
    case 0: DIBCopy(1); more = row_ < height_; break;
    case 1: DIBCopy(8); break;
    case 2: DIBCopy(4); row_ += 4; break;
    case 3: DIBCopy(2); row_ += 2; break;
    case 4: DIBCopy(1); row_ += 1; break;
    default: return false;
    }
    if (pass_ != 0) {
        // The next pass starts at its first row; a pass whose first row lies
        // past the frame holds no rows.
        static constexpr int FirstRow[] = {0, 0, 4, 2, 1};
        while (pass_ <= 4 && row_ >= height_) {
            ++pass_;
            if (pass_ <= 4) row_ = FirstRow[pass_];
        }
        more = pass_ <= 4;
    }
    // Each row comes once in its own pass; the copies an interlaced pass makes
    // of it reach only rows of later passes.
    if (stopEarly_) {
        if (row >= neededFirst_ && row < neededEnd_) --neededLeft_;
        if (neededLeft_ <= 0) {
            stoppedEarly_ = more;
            return false;
        }
    }
    return more;
}

bool kxvGIF::NothingDrawnAfter(TStream& stream, std::uint8_t* buffer)
{
    const std::int64_t here = stream.Position();
    bool nothing = false;
    try {
        SkipGifSubBlocks(stream, buffer);
        for (;;) {
            const std::uint8_t introducer = ReadGifByte(stream);
            if (introducer == TrailerByte) {
                nothing = true;
                break;
            }
            // An image or text draws; any other extension does not.
            if (introducer != ExtensionIntroducer || ReadGifByte(stream) == PlainTextLabel) break;
            SkipGifSubBlocks(stream, buffer);
        }
    } catch (const EInvalidGraphic&) {
        // A stream that ends first is decoded in full, and fails where a whole
        // load fails.
    }
    stream.SetPosition(here);
    return nothing;
}

void kxvGIF::DIBCopy(int count)
{
    if (sourceCopy_) {
        CopyRows(count);
    } else {
        CopyRowsWithRasterOperations(count);
    }
}

void kxvGIF::CopyRows(int count)
{
    const int bitmapWidth = bitmap_->Width(), bitmapHeight = bitmap_->Height();
    const int x0 = std::max(left_, 0), x1 = std::min(left_ + width_, bitmapWidth);
    const std::size_t n = x1 > x0 ? std::size_t(x1 - x0) : 0;
    if (n == 0 || bitmapHeight <= 0) {
        // Nothing of the row lies on the bitmap.
        if (row_ < height_) row_ = std::min(row_ + count, height_);
        return;
    }
    const std::uint8_t* __restrict indices = lzw_.Row() + (x0 - left_);
    const std::uint32_t* __restrict colors = rowImage_.view.Colors;
    // Rows are packed one after another.
    std::uint32_t* const pixels = bitmap_->ScanLine(0) + x0;
    const std::size_t stride = std::size_t(bitmapWidth);
    if (!transparentGraphic_) {
        // The row is converted once; the copies below it take the converted pixels.
        const std::uint32_t* converted = nullptr;
        for (int i = 0; i < count && row_ < height_; ++i, ++row_) {
            const int y = top_ + row_;
            if (y < 0 || y >= bitmapHeight) continue;
            std::uint32_t* __restrict out = pixels + std::size_t(y) * stride;
            if (converted) {
                std::memcpy(out, converted, n * 4);
                continue;
            }
            std::size_t x = 0;
            for (; x + 4 <= n; x += 4) {
                out[x] = colors[indices[x]];
                out[x + 1] = colors[indices[x + 1]];
                out[x + 2] = colors[indices[x + 2]];
                out[x + 3] = colors[indices[x + 3]];
            }
            for (; x < n; ++x) out[x] = colors[indices[x]];
            converted = out;
        }
        return;
    }
    // The five raster operations with a source copy come down to one pass: an
    // opaque position takes its colour, a transparent one keeps the bitmap's
    // colour with the top byte cleared. A transparent graphic draws each row at
    // its own place only (band copies would show through later rows' holes).
    const std::uint8_t key = control_.TransparentIndex;
    for (int i = 0; i < count && row_ < height_; ++i, ++row_) {
        const int y = top_ + row_;
        if (i > 0 || y < 0 || y >= bitmapHeight) continue;
        std::uint32_t* __restrict out = pixels + std::size_t(y) * stride;
        // Eight positions at a time: runs wholly transparent or wholly opaque
        // are the common case and need no choice per pixel.
        constexpr std::uint64_t Ones = 0x0101010101010101u, Highs = 0x8080808080808080u;
        const std::uint64_t keys = Ones * key;
        std::size_t x = 0;
        for (; x + 8 <= n; x += 8) {
            std::uint64_t group;
            std::memcpy(&group, indices + x, 8);
            const std::uint64_t diff = group ^ keys;  // zero bytes at transparent positions
            if (diff == 0) {
                for (std::size_t k = 0; k < 8; ++k) out[x + k] &= 0xFFFFFF;
            } else if (((diff - Ones) & ~diff & Highs) == 0) {
                for (std::size_t k = 0; k < 8; ++k) out[x + k] = colors[indices[x + k]];
            } else {
                for (std::size_t k = 0; k < 8; ++k) {
                    const std::uint8_t index = indices[x + k];
                    out[x + k] = index == key ? out[x + k] & 0xFFFFFF : colors[index];
                }
            }
        }
        for (; x < n; ++x) {
            const std::uint8_t index = indices[x];
            out[x] = index == key ? out[x] & 0xFFFFFF : colors[index];
        }
    }
}

void kxvGIF::CopyRowsWithRasterOperations(int count)
{
    TCanvas& canvas = bitmap_->Canvas();
    rowImage_.view.Bits = lzw_.Row();
    if (transparentGraphic_) {
        const std::uint8_t key = control_.TransparentIndex;
        const std::uint8_t* __restrict pixels = lzw_.Row();
        std::uint8_t* __restrict mask = maskImage_.bits;
        for (int x = 0; x < width_; ++x) mask[x] = pixels[x] == key ? 1 : 0;
    }
    const int bitmapHeight = bitmap_->Height();
    for (int i = 0; i < count && row_ < height_; ++i, ++row_) {
        const int y = top_ + row_;
        const TRect dest{left_, y, left_ + width_, y + 1};
        if (!transparentGraphic_) {
            canvas.StretchDIBits(dest, 0, 0, width_, 1, rowImage_.view, CopyMode);
            continue;
        }
        if (i > 0) continue;
        if (y < 0 || y >= bitmapHeight || bitmap_->Empty()) continue;  // nothing of it is on the bitmap
        // Opaque positions go black; transparent ones keep the bitmap's pixels.
        canvas.StretchDIBits(dest, 0, 0, width_, 1, maskImage_.view, cmSrcAnd);
        // The row as it now stands, as 24-bit pixels (only the graphic's span is
        // ever drawn back, so only that span is read).
        {
            const int from = std::max(left_, 0), to = std::min(left_ + width_, bitmap_->Width());
            const std::uint32_t* line = bitmap_->ScanLine(y);
            std::uint8_t* out = savedRowImage_.bits + 3 * std::size_t(std::max(from, 0));
            for (int x = from; x < to; ++x, out += 3) {
                const std::uint32_t p = line[x];
                out[0] = std::uint8_t(p);
                out[1] = std::uint8_t(p >> 8);
                out[2] = std::uint8_t(p >> 16);
            }
        }
        canvas.StretchDIBits(dest, 0, 0, width_, 1, rowImage_.view, CopyMode);
        // Transparent positions go black; opaque ones keep their new colours.
        canvas.StretchDIBits(dest, 0, 0, width_, 1, maskImage_.view, RopMaskOut);
        savedRowImage_.view.Height = 1;
        canvas.StretchDIBits(dest, left_, 0, width_, 1, savedRowImage_.view, cmSrcPaint);
        savedRowImage_.view.Height = bitmapHeight;
    }
}

void kxvGIF::LoadGraphicControlExtension(TStream& stream, std::uint8_t* buffer)
{
    // Block size, packed fields, delay time, transparent color index. A longer
    // block keeps its first four bytes; any further sub-blocks are skipped.
    const int length = LoadSubBlock(stream, buffer);
    control_ = GraphicControl{};
    control_.BlockSize = std::uint8_t(length);
    if (length >= 1) control_.Packed = buffer[0];
    if (length >= 3) control_.DelayTime = std::uint16_t(ReadU16(buffer + 1));
    if (length >= 4) control_.TransparentIndex = buffer[3];
    if (length != 0) SkipGifSubBlocks(stream, buffer);
    if (!Transparent) control_.Packed &= std::uint8_t(~1u);
    if (!UseDelay) control_.DelayTime = 0;
}

void kxvGIF::LoadPlaneTextExtension(TStream& stream, std::uint8_t* buffer)
{
    // Text grid left, top, width, height; character cell width, height;
    // foreground and background colour indexes. Extra bytes are skipped.
    const int length = LoadSubBlock(stream, buffer);
    std::uint8_t header[12] = {};
    std::memcpy(header, buffer, std::size_t(std::min(length, 12)));
    left_ = ReadU16(header) + OffsetX - origin_.X;
    top_ = ReadU16(header + 2) + OffsetY - origin_.Y;
    width_ = ReadU16(header + 4);
    height_ = ReadU16(header + 6);
    const int cellWidth = header[8], cellHeight = header[9];
    const int foreground = header[10], background = header[11];
    savedBackground_.reset();
    SetTransparentColor(palette_.get());
    if (control_.Disposal() == 3) SaveBackground();
    // A first sub-block of length 0 was the terminator: no text follows.
    const bool moreBlocks = length != 0;
    if (!PlainText) {
        if (moreBlocks) SkipGifSubBlocks(stream, buffer);
        EndRendering();
        return;
    }
    TCanvas& canvas = bitmap_->Canvas();
    canvas.Font.Height = std::min(cellWidth, cellHeight);
    canvas.Font.Color = EntryColor(palette_.get(), foreground);
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = EntryColor(palette_.get(), background);
    canvas.Pen.Mode = pmCopy;
    const bool transparent = control_.IsTransparent();
    const int key = control_.TransparentIndex;
    if (transparent && key == background) canvas.Brush.Style = bsClear;
    const bool glyphsHidden = transparent && key == foreground && key != background;
    int x = 0, y = 0;
    int n = moreBlocks ? LoadSubBlock(stream, buffer) : 0;
    while (n != 0) {
        for (int i = 0; i < n; ++i) {
            if (buffer[i] != ' ') {
                const std::string text(1, char(buffer[i]));
                const int px = left_ + x, py = top_ + y;
                // The character's box in the background colour (nothing with a
                // clear brush), then its glyph unless the foreground is the
                // transparent colour.
                canvas.FillRect(TRect{px, py, px + canvas.TextWidth(text), py + canvas.TextHeight(text)});
                if (!glyphsHidden) canvas.TextOut(px, py, text);
            }
            x += cellWidth;
            if (x + cellWidth > width_) {
                x = 0;
                y += cellHeight;
            }
        }
        n = LoadSubBlock(stream, buffer);
    }
    EndRendering();
}

void kxvGIF::LoadCommentExtension(TStream& stream, std::uint8_t* buffer)
{
    if (!OnComment) {
        SkipGifSubBlocks(stream, buffer);
        return;
    }
    std::vector<char> text;
    for (int n = LoadSubBlock(stream, buffer); n != 0; n = LoadSubBlock(stream, buffer))
        text.insert(text.end(), buffer, buffer + n);
    text.push_back('\0');
    OnComment(*this, text.data());
}

void kxvGIF::LoadApplicationExtension(TStream& stream, std::uint8_t* buffer)
{
    // Application identifier and authentication code, then the data sub-blocks.
    const int idLength = LoadSubBlock(stream, buffer);
    std::vector<std::uint8_t> block(3 + std::size_t(idLength));
    block[2] = std::uint8_t(idLength);
    std::memcpy(block.data() + 3, buffer, std::size_t(idLength));
    int dataLength = 0;
    if (idLength != 0) {
        for (int n = LoadSubBlock(stream, buffer); n != 0; n = LoadSubBlock(stream, buffer)) {
            block.insert(block.end(), buffer, buffer + n);
            dataLength += n;
        }
    }
    if (!OnApplication) return;
    block.push_back(0);
    OnApplication(*this, block.data(), dataLength);
}

void kxvGIF::OnTimer(TTimer&)
{
    timerFired_ = true;
}

void kxvGIF::EndRendering()
{
    kxRect rect(left_, top_, left_ + width_, top_ + height_);
    if (OnPaint) OnPaint(*this, &rect);
    if (!Animate) stop_ = true;
    Wait();
    Dispose();
    savedBackground_.reset();
    control_ = GraphicControl{};
}

void kxvGIF::Wait()
{
    const bool pollInput = control_.WantsUserInput() && OnUserInput;
    // Each turn waits for the next message instead of spinning.
    if (control_.DelayTime != 0) {
        timer_ = std::make_unique<TTimer>();
        timer_->OnTimer = [this](TTimer& sender) { OnTimer(sender); };
        timerFired_ = false;
        timer_->SetInterval(unsigned(control_.DelayTime) * 10);
        timer_->SetEnabled(true);
        while (!timerFired_) {
            if (stop_) break;
            Application().HandleMessage();
            if (pollInput && OnUserInput(*this)) break;
        }
        timer_.reset();
    } else if (pollInput) {
        for (;;) {
            if (OnUserInput(*this)) break;
            if (stop_) break;
            Application().HandleMessage();
        }
    }
}

void kxvGIF::Dispose()
{
    TCanvas& canvas = bitmap_->Canvas();
    switch (control_.Disposal()) {
    case 2:
        // Restore to background: the graphic's area takes the background colour.
        canvas.Brush.Style = bsSolid;
        canvas.Brush.Color = BackgroundColor;
        canvas.FillRect(TRect{left_, top_, left_ + width_, top_ + height_});
        break;
    case 3:
        // Restore to previous: exactly what lay under the graphic.
        canvas.CopyMode = cmSrcCopy;
        if (savedBackground_) canvas.Draw(savedRect_.Left, savedRect_.Top, *savedBackground_);
        break;
    default: break;
    }
}
