// One-row DIB drawing with raster operations: the bulk row path must give what
// the operation's truth table gives on every whole 32-bit word.
#include <gtest/gtest.h>

#include <vector>

#include "framework/bitmap.h"
#include "framework/canvas.h"

namespace {

TEST(CanvasDibRows, UnstretchedRowsApplyTheOperationToTheWholeWord)
{
    std::vector<std::uint32_t> colors(256);
    for (int i = 0; i < 256; ++i) colors[std::size_t(i)] = std::uint32_t(i * 0x010203) & 0xFFFFFF;
    colors[7] |= 0xAB000000u;  // a reserved byte in the table is not part of the colour
    std::vector<std::uint8_t> indices(12), rgb(12 * 3);
    for (int x = 0; x < 12; ++x) {
        indices[std::size_t(x)] = std::uint8_t(x * 23 % 256);
        rgb[std::size_t(3 * x)] = std::uint8_t(x * 40);
        rgb[std::size_t(3 * x + 1)] = std::uint8_t(255 - x);
        rgb[std::size_t(3 * x + 2)] = std::uint8_t(x * 7);
    }
    indices[3] = 7;
    const TDibView palettized{12, 1, 8, colors.data(), 256, indices.data()};
    const TDibView direct{12, 1, 24, nullptr, 0, rgb.data()};
    for (const TDibView* dib : {&palettized, &direct}) {
        for (TCopyMode rop : {cmSrcCopy, cmSrcAnd, cmSrcPaint, cmSrcInvert, TCopyMode(0x00220326), cmNotSrcCopy,
                              TCopyMode(0x00990066), cmMergeCopy}) {
            TBitmap bitmap;
            bitmap.SetSize(10, 2);
            for (int x = 0; x < 10; ++x) bitmap.ScanLine(1)[x] = 0x5A000000u | std::uint32_t(x * 0x111111);
            std::vector<std::uint32_t> before(bitmap.ScanLine(1), bitmap.ScanLine(1) + 10);
            bitmap.Canvas().Brush.Color = clBlue;
            // From source x 2, drawn at x -1: the first visible pixel is source 3.
            bitmap.Canvas().StretchDIBits(TRect{-1, 1, 9, 2}, 2, 0, 10, 1, *dib, rop);
            for (int x = 0; x < 10; ++x) {
                const int sx = x + 3;
                std::uint32_t source = 0;
                if (x < 9) {
                    source = dib->BitCount == 8 ? colors[indices[std::size_t(sx)]] & 0xFFFFFF
                                                : std::uint32_t(rgb[std::size_t(3 * sx)]) |
                                                      std::uint32_t(rgb[std::size_t(3 * sx + 1)]) << 8 |
                                                      std::uint32_t(rgb[std::size_t(3 * sx + 2)]) << 16;
                }
                const std::uint32_t expected =
                    x < 9 ? ApplyRop3(rop, ColorToPixel(clBlue), source, before[std::size_t(x)]) : before[std::size_t(x)];
                EXPECT_EQ(bitmap.ScanLine(1)[x], expected)
                    << "rop " << std::hex << rop << " bits " << std::dec << dib->BitCount << " x " << x;
            }
            EXPECT_EQ(bitmap.ScanLine(0)[0], 0u) << "other rows untouched";
        }
    }
}

}  // namespace
