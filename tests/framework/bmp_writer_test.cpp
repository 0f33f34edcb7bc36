#include <gtest/gtest.h>

#include "framework/bitmap.h"
#include "framework/bmp_writer.h"
#include "framework/streams.h"

TEST(WriteBmp, EveryTableSizeIndexesAsALinearSearchDoes)
{
    // Tables with duplicates and without black; the pixels are the table's
    // colours, black and its neighbours (what an empty slot could be taken
    // for) and others. Each index must be the first entry at the least distance.
    std::uint32_t seed = 99;
    const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (const std::size_t size : {2, 3, 16, 60, 200, 256}) {
        std::vector<std::uint32_t> colors(size);
        for (std::size_t i = 0; i < size; ++i)
            colors[i] = i % 9 == 4 ? colors[i / 2] : 0x202020 | (next() >> 8 & 0xDFDFDF);
        std::vector<std::uint32_t> pixels(colors);
        for (std::uint32_t c = 0; c < 300; ++c) pixels.push_back((c / 3) << (8 * (c % 3)));
        for (int i = 0; i < 300; ++i) pixels.push_back(next() >> 8 | 0xAB000000u);
        TBmpWriteFormat format{.Depth = 8, .Colors = colors};
        TMemoryStream stream;
        WriteBmp(stream, TPixelView{pixels.data(), pixels.size(), int(pixels.size()), 1}, format);
        for (std::size_t x = 0; x < pixels.size(); ++x) {
            std::size_t expected = 0;
            for (long i = 0, best = -1; i < long(size); ++i) {
                long d = 0;
                for (int at = 0; at < 24; at += 8) {
                    const long delta = long(pixels[x] >> at & 0xFF) - long(colors[i] >> at & 0xFF);
                    d += delta * delta;
                }
                if (best < 0 || d < best) best = d, expected = std::size_t(i);
            }
            ASSERT_EQ(std::size_t(stream.Bytes()[format.DataOffset() + x]), expected)
                << size << " colours, pixel " << x;
        }
    }
}
