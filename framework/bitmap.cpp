#include "framework/bitmap.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "framework/bmp_decoder.h"
#include "framework/bmp_writer.h"
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
    if (width == 0 || height == 0) spare_.reset();
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

TPixelView TBitmap::View(const TRect& rect) const
{
    TPixelView view;
    view.Format = PixelFormat;
    view.Masks16 = Masks16;
    const int left = std::max(rect.Left, 0), top = std::max(rect.Top, 0);
    const int right = std::min(rect.Right, width_), bottom = std::min(rect.Bottom, height_);
    view.Width = std::max(right - left, 0);
    view.Height = std::max(bottom - top, 0);
    if (Empty() || view.Empty()) return view;
    view.Top = ScanLine(top) + left;
    view.Stride = std::size_t(width_);
    return view;
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
    Masks16 = source.Masks16;
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
    Masks16 = source.Masks16;
}

void TBitmap::LoadFromStream(TStream& stream)
{
    TDecodedBmp decoded = DecodeBmpFile(stream, std::move(spare_));
    Take(decoded);
}

TPoint TBitmap::LoadFromStream(TStream& stream, const TRect& region, TByteBuffer& rows)
{
    TDecodedBmp decoded = DecodeBmpFile(stream, region, rows, std::move(spare_));
    Take(decoded);
    return decoded.Origin;
}

TPoint TBitmap::LoadFromStream(TStream& stream, const TRect& region, TByteBuffer& rows, TByteBuffer& gathered,
                               TTripleView& triples)
{
    TDecodedBmp decoded = DecodeBmpFile(stream, region, rows, gathered, std::move(spare_));
    triples = decoded.Triples;
    if (!triples.Empty()) decoded.Width = decoded.Height = 0;  // no pixels were decoded
    Take(decoded);
    return decoded.Origin;
}

void TBitmap::Take(TDecodedBmp& decoded)
{
    if (pixels_ && std::int64_t{pixels_->Width()} * pixels_->Height() <= MaxSparePixels) spare_ = std::move(pixels_);
    pixels_ = std::move(decoded.Pixels);
    palette_ = std::move(decoded.Palette);
    width_ = decoded.Width;
    height_ = decoded.Height;
    PixelFormat = decoded.Format;
    Masks16 = decoded.Masks16;
}

void TBitmap::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

namespace {

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

}  // namespace

void TBitmap::SaveToStream(TStream& stream) const
{
    TBmpWriteFormat format;
    format.Depth = BmpDepthOf(PixelFormat);
    format.Masks = SixteenBitMasks(View());
    if (format.Depth <= 8) {
        if (palette_ && palette_->palNumEntries > 0) {
            format.Colors = BmpTableColors(*palette_, std::size_t(1) << format.Depth);
        } else {
            format.Colors = DefaultColors(format.Depth);
        }
        format.ColorsUsed = std::uint32_t(format.Colors.size());
    }
    WriteBmp(stream, View(), format);
}

void TBitmap::SaveToFile(const std::string& fileName) const
{
    TFileStream stream(fileName, fmCreate);
    SaveToStream(stream);
    stream.Close();
}
