// How decoded rows reach the bitmap: the one-pass transparent rows of a source
// copy against the five raster operations they stand for, and storage that one
// decoder keeps from one load to the next.
#include <gtest/gtest.h>

#include "framework/canvas.h"
#include "gif/gif_test_util.h"
#include "gif/gif_writer.h"

namespace {

constexpr TCopyMode RopMaskOut = 0x00220326;  // destination AND NOT source

// An 8-bit one-row DIB over the given indices and colour table.
struct IndexRow {
    std::vector<std::uint32_t> colors = std::vector<std::uint32_t>(256);
    std::vector<std::uint8_t> bits;
    TDibView View() const
    {
        return TDibView{int(bits.size()), 1, 8, colors.data(), 256, bits.data()};
    }
};

// The compositing of one transparent row as the raster operations do it: the
// mask ANDed in, the row saved, the colours drawn with rop, the mask cut out,
// the saved row ORed back.
void DrawTransparentRow(TBitmap& bitmap, int left, int y, const std::vector<std::uint8_t>& indices,
                        const std::vector<std::uint8_t>& rgb, int key, TCopyMode rop)
{
    TCanvas& canvas = bitmap.Canvas();
    IndexRow colour, mask;
    colour.bits = indices;
    for (std::size_t i = 0; i < rgb.size() / 3; ++i) colour.colors[i] = RgbAt(rgb, int(i));
    mask.colors[1] = 0xFFFFFF;
    for (std::uint8_t index : indices) mask.bits.push_back(index == key ? 1 : 0);
    const int width = int(indices.size());
    const TRect dest{left, y, left + width, y + 1};
    canvas.StretchDIBits(dest, 0, 0, width, 1, mask.View(), cmSrcAnd);
    std::vector<std::uint8_t> saved((std::size_t(bitmap.Width()) * 3 + 3) & ~std::size_t(3));
    for (int x = 0; x < bitmap.Width(); ++x) {
        const std::uint32_t p = bitmap.ScanLine(y)[x];
        saved[3 * std::size_t(x)] = std::uint8_t(p);
        saved[3 * std::size_t(x) + 1] = std::uint8_t(p >> 8);
        saved[3 * std::size_t(x) + 2] = std::uint8_t(p >> 16);
    }
    canvas.StretchDIBits(dest, 0, 0, width, 1, colour.View(), rop);
    canvas.StretchDIBits(dest, 0, 0, width, 1, mask.View(), RopMaskOut);
    canvas.StretchDIBits(dest, left, 0, width, 1, TDibView{bitmap.Width(), 1, 24, nullptr, 0, saved.data()},
                         cmSrcPaint);
}

void FillWithNoise(TBitmap& bitmap, std::uint32_t seed)
{
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            bitmap.ScanLine(y)[x] = seed;  // top bytes too
        }
}

std::vector<std::uint32_t> Words(TBitmap& bitmap)
{
    std::vector<std::uint32_t> out;
    for (int y = 0; y < bitmap.Height(); ++y) out.insert(out.end(), bitmap.ScanLine(y), bitmap.ScanLine(y) + bitmap.Width());
    return out;
}

TEST(GifRows, TransparentRowsMatchTheRasterOperationsForEveryCopyMode)
{
    // A frame that reaches past every edge of a bitmap full of arbitrary words:
    // rows wholly transparent, wholly opaque and mixed, plain and interlaced.
    const std::vector<std::uint8_t> rgb = DistinctRgb(4);
    const int key = 2;
    GifFrame frame;
    frame.width = 12;
    frame.height = 9;
    frame.pixels = NoisePixels(12 * 9, 4, 5);
    std::fill(frame.pixels.begin(), frame.pixels.begin() + 12, std::uint8_t(key));
    std::fill(frame.pixels.begin() + 24, frame.pixels.begin() + 36, std::uint8_t(1));
    frame.control = true;
    frame.transparent = true;
    frame.transparentIndex = key;
    for (bool interlace : {false, true}) {
        for (TCopyMode rop : {cmSrcCopy, cmSrcInvert, cmSrcAnd, TCopyMode(0x00990066), cmNotSrcCopy}) {
            GifImage image;
            image.width = 9;
            image.height = 7;
            image.globalRgb = rgb;
            frame.interlace = interlace;
            image.frames = {frame};
            kxvGIF gif;
            gif.KeepSize = true;
            gif.FillBackground = false;
            gif.OffsetX = -2;
            gif.OffsetY = 1;
            gif.CopyMode = rop;
            TBitmap decoded, expected;
            decoded.SetSize(9, 7);
            expected.SetSize(9, 7);
            FillWithNoise(decoded, 77);
            FillWithNoise(expected, 77);
            TMemoryStream stream(EncodeGif(image));
            gif.LoadFromStream(stream, decoded);
            for (int row = 0; row < frame.height; ++row) {
                const int y = row + 1;
                if (y >= 7) continue;
                const std::vector<std::uint8_t> indices(frame.pixels.begin() + row * 12, frame.pixels.begin() + row * 12 + 12);
                DrawTransparentRow(expected, -2, y, indices, rgb, key, rop);
            }
            EXPECT_EQ(Words(decoded), Words(expected)) << "rop " << std::hex << rop << " interlace " << interlace;
        }
    }
}

TEST(GifRows, OpaqueInterlacedCopiesAreTheConvertedRow)
{
    // Pass 1 only (the data ends after it): each of its rows fills its band, cut
    // where the frame or the bitmap ends.
    GifImage image;
    image.width = 5;
    image.height = 12;
    image.globalRgb = DistinctRgb(8);
    GifFrame frame;
    frame.width = 5;
    frame.height = 11;
    frame.top = 2;
    frame.pixels = NoisePixels(55, 8, 9);
    frame.interlace = true;
    frame.lzw.endCode = false;
    image.frames = {frame};
    // Keep only the codes of pass 1's two rows (0 and 8): ten pixels, then cut.
    GifFrame pass1 = frame;
    pass1.interlace = false;
    pass1.height = 2;
    pass1.pixels.assign(frame.pixels.begin(), frame.pixels.begin() + 5);
    pass1.pixels.insert(pass1.pixels.end(), frame.pixels.begin() + 40, frame.pixels.begin() + 45);
    auto bytes = GifHead(image);
    auto frameBytes = GifFrameBytes(pass1, 8);
    frameBytes[7] = 11;     // the image descriptor's height
    frameBytes[9] |= 0x40;  // and its interlace flag
    bytes.insert(bytes.end(), frameBytes.begin(), frameBytes.end());
    bytes.push_back(0x3B);
    auto bitmap = DecodeGif(bytes);
    for (int y = 2; y < 12; ++y)
        for (int x = 0; x < 5; ++x) {
            const int source = y - 2 < 8 ? x : 40 + x;
            EXPECT_EQ(Px(*bitmap, x, y), RgbAt(image.globalRgb, frame.pixels[std::size_t(source)])) << x << "," << y;
        }
}

TEST(GifRows, OneDecoderGivesEveryLoadWhatAFreshOneGives)
{
    // Wide then narrow, local tables then none, transparency, a copy mode that
    // changes, and an image that ends in its first row after one that filled
    // many: nothing of one load may show in the next.
    std::vector<std::vector<std::uint8_t>> files;
    {
        GifImage wide;
        wide.width = 300;
        wide.height = 20;
        wide.globalRgb = DistinctRgb(16);
        GifFrame f;
        f.width = 300;
        f.height = 20;
        f.pixels = NoisePixels(6000, 16, 1);
        f.localRgb = DistinctRgb(32);
        wide.frames.push_back(f);
        files.push_back(EncodeGif(wide));
    }
    {
        GifImage narrow;
        narrow.width = 7;
        narrow.height = 13;
        narrow.globalRgb = DistinctRgb(4);
        GifFrame f;
        f.width = 7;
        f.height = 13;
        f.pixels = NoisePixels(91, 4, 2);
        f.interlace = true;
        f.control = true;
        f.transparent = true;
        f.transparentIndex = 1;
        narrow.frames.push_back(f);
        files.push_back(EncodeGif(narrow));
    }
    {
        // Ends after three pixels of a 50-pixel row.
        GifImage cut;
        cut.width = 50;
        cut.height = 2;
        cut.globalRgb = DistinctRgb(8);
        GifFrame f;
        f.width = 50;
        f.height = 2;
        f.pixels = {3, 4, 5};
        cut.frames.push_back(f);
        files.push_back(EncodeGif(cut));
    }
    kxvGIF reused;
    reused.UseDelay = false;
    for (int round = 0; round < 2; ++round) {
        for (std::size_t i = 0; i < files.size(); ++i) {
            kxvGIF fresh;
            fresh.UseDelay = false;
            fresh.CopyMode = reused.CopyMode = round == 0 ? cmSrcCopy : cmSrcInvert;
            auto a = DecodeGif(reused, files[i]);
            auto b = DecodeGif(fresh, files[i]);
            EXPECT_EQ(Words(*a), Words(*b)) << "file " << i << " round " << round;
        }
    }
}

}  // namespace
