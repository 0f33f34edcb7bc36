#include "framework/bitmap.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "framework/bmp_decoder.h"
#include "framework/canvas.h"
#include "framework/exceptions.h"
#include "framework/pixel_rows.h"
#include "framework/streams.h"

TBitmap::TBitmap() = default;
TBitmap::~TBitmap() = default;

void TBitmap::SetSize(int width, int height, TPixelFill newPixels)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return;
    std::unique_ptr<PixelBuffer> pixels;
    if (width > 0 && height > 0) {
        pixels = MakePixelBuffer(width, height, newPixels);
        if (pixels_) {
            const int w = std::min(width, pixels_->Width());
            const int h = std::min(height, pixels_->Height());
            for (int y = 0; y < h; ++y)
                std::memcpy(pixels->Bits() + std::size_t(y) * width, pixels_->Bits() + std::size_t(y) * pixels_->Width(),
                            std::size_t(w) * 4);
        }
    }
    pixels_ = std::move(pixels);
    width_ = width;
    height_ = height;
}

TCanvas& TBitmap::Canvas()
{
    if (!canvas_) canvas_ = std::make_unique<TCanvas>(*this);
    return *canvas_;
}

std::uint32_t* TBitmap::ScanLine(int y)
{
    return pixels_->Bits() + std::size_t(y) * std::size_t(width_);
}

const std::uint32_t* TBitmap::ScanLine(int y) const
{
    return pixels_->Bits() + std::size_t(y) * std::size_t(width_);
}

void TBitmap::ReadRow24(int fromBottom, std::uint8_t* destination) const
{
    PackTriples(ScanLine(height_ - 1 - fromBottom), destination, std::size_t(width_));
}

void TBitmap::Assign(const TBitmap& source)
{
    if (&source == this) return;
    std::unique_ptr<PixelBuffer> pixels;
    if (!source.Empty()) {
        pixels = MakePixelBuffer(source.width_, source.height_, TPixelFill::Undefined);
        std::memcpy(pixels->Bits(), source.pixels_->Bits(), std::size_t(source.width_) * source.height_ * 4);
    }
    pixels_ = std::move(pixels);
    width_ = source.width_;
    height_ = source.height_;
    PixelFormat = source.PixelFormat;
    palette_ = CopyLogPalette(source.palette_.get());
}

void TBitmap::TakeOver(TBitmap& source)
{
    if (&source == this) return;
    pixels_ = std::move(source.pixels_);
    palette_ = std::move(source.palette_);
    width_ = std::exchange(source.width_, 0);
    height_ = std::exchange(source.height_, 0);
    PixelFormat = std::exchange(source.PixelFormat, pfDevice);
}

void TBitmap::LoadFromStream(TStream& stream)
{
    TDecodedBmp decoded = DecodeBmpFile(stream);
    pixels_ = std::move(decoded.Pixels);
    palette_ = std::move(decoded.Palette);
    width_ = decoded.Width;
    height_ = decoded.Height;
    PixelFormat = decoded.Format;
}

void TBitmap::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

namespace {

void PutLE(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

int SaveDepth(TPixelFormat format)
{
    switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf32bit: return 32;
    default: return 24;
    }
}

// Colours for an indexed bitmap without a palette: black and white for one bit,
// an even grey ramp otherwise.
std::vector<std::uint32_t> DefaultColors(int depth)
{
    const int n = 1 << depth;
    std::vector<std::uint32_t> colors(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const std::uint32_t v = static_cast<std::uint32_t>(i * 255 / (n - 1));
        colors[static_cast<std::size_t>(i)] = v | (v << 8) | (v << 16);
    }
    return colors;
}

int NearestIndex(const std::vector<std::uint32_t>& colors, std::uint32_t pixel)
{
    int best = 0;
    long bestDistance = -1;
    for (std::size_t i = 0; i < colors.size(); ++i) {
        const std::uint32_t c = colors[i];
        if (c == pixel) return static_cast<int>(i);
        const long db = long(c & 0xFF) - long(pixel & 0xFF);
        const long dg = long((c >> 8) & 0xFF) - long((pixel >> 8) & 0xFF);
        const long dr = long((c >> 16) & 0xFF) - long((pixel >> 16) & 0xFF);
        const long d = db * db + dg * dg + dr * dr;
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

}  // namespace

void TBitmap::SaveToStream(TStream& stream) const
{
    const int depth = SaveDepth(PixelFormat);
    std::vector<std::uint32_t> colors;
    if (depth <= 8) {
        if (palette_ && palette_->palNumEntries > 0) {
            const int n = std::min<int>(palette_->palNumEntries, 1 << depth);
            for (int i = 0; i < n; ++i) {
                const TPaletteEntry& e = palette_->palPalEntry[static_cast<std::size_t>(i)];
                colors.push_back(std::uint32_t(e.peBlue) | std::uint32_t(e.peGreen) << 8 | std::uint32_t(e.peRed) << 16);
            }
        } else {
            colors = DefaultColors(depth);
        }
    }
    const std::uint32_t rowSize = ((std::uint32_t(width_) * depth + 31) / 32) * 4;
    const std::uint32_t offBits = 54 + 4 * std::uint32_t(colors.size());
    std::vector<std::uint8_t> head;
    head.reserve(offBits);
    PutLE(head, 0x4D42, 2);
    PutLE(head, offBits + rowSize * std::uint32_t(height_), 4);
    PutLE(head, 0, 4);
    PutLE(head, offBits, 4);
    PutLE(head, 40, 4);
    PutLE(head, std::uint32_t(width_), 4);
    PutLE(head, std::uint32_t(height_), 4);
    PutLE(head, 1, 2);
    PutLE(head, std::uint32_t(depth), 2);
    PutLE(head, 0, 4);
    PutLE(head, rowSize * std::uint32_t(height_), 4);
    PutLE(head, 0, 4);
    PutLE(head, 0, 4);
    PutLE(head, depth <= 8 ? std::uint32_t(colors.size()) : 0, 4);
    PutLE(head, 0, 4);
    for (std::uint32_t c : colors) PutLE(head, c, 4);
    stream.WriteBuffer(head.data(), std::int64_t(head.size()));

    // Rows are written several at a time: a file stream sends each write to the
    // system as it comes.
    const std::size_t rowsPerBlock = std::clamp<std::size_t>(64 * 1024 / rowSize, 1, std::size_t(std::max(height_, 1)));
    std::vector<std::uint8_t> block(rowsPerBlock * rowSize);
    std::size_t filled = 0;
    for (int y = height_ - 1; y >= 0; --y) {
        if (filled == block.size()) {
            stream.WriteBuffer(block.data(), std::int64_t(filled));
            filled = 0;
        }
        std::uint8_t* const row = block.data() + filled;
        std::fill(row, row + rowSize, 0);
        filled += rowSize;
        const std::uint32_t* pixels = ScanLine(y);
        for (int x = 0; x < width_; ++x) {
            const std::uint32_t p = pixels[x] & 0xFFFFFF;
            const std::size_t ux = std::size_t(x);
            switch (depth) {
            case 1:
                if (NearestIndex(colors, p)) row[ux / 8] |= std::uint8_t(0x80 >> (ux % 8));
                break;
            case 4: row[ux / 2] |= std::uint8_t(NearestIndex(colors, p) << (ux % 2 ? 0 : 4)); break;
            case 8: row[ux] = std::uint8_t(NearestIndex(colors, p)); break;
            case 16: {
                const std::uint32_t v = ((p >> 19) & 0x1F) << 10 | ((p >> 11) & 0x1F) << 5 | ((p >> 3) & 0x1F);
                row[2 * ux] = std::uint8_t(v);
                row[2 * ux + 1] = std::uint8_t(v >> 8);
                break;
            }
            case 32: std::memcpy(&row[4 * ux], &p, 4); break;
            default:
                row[3 * ux] = std::uint8_t(p);
                row[3 * ux + 1] = std::uint8_t(p >> 8);
                row[3 * ux + 2] = std::uint8_t(p >> 16);
            }
        }
    }
    stream.WriteBuffer(block.data(), std::int64_t(filled));
}

void TBitmap::SaveToFile(const std::string& fileName) const
{
    TFileStream stream(fileName, fmCreate);
    SaveToStream(stream);
    stream.Close();
}
