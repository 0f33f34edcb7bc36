#include <gtest/gtest.h>

#include <vector>

#include "framework/pixel_rows.h"

namespace {

// Widths around the sixteen-pixel steps and the four-pixel words, each row in
// a buffer of exactly its own size, so that the sanitizer sees any access past it.
const int kLongestRow = 70;

std::vector<std::uint8_t> Triples(int width)
{
    std::vector<std::uint8_t> bytes(std::size_t(width) * 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = std::uint8_t(i * 37 + 11);
    return bytes;
}

}  // namespace

TEST(PixelRows, ExpandTriplesAtEveryWidthWritesExactlyTheRow)
{
    for (int width = 0; width <= kLongestRow; ++width) {
        SCOPED_TRACE(width);
        const std::vector<std::uint8_t> source = Triples(width);
        std::vector<std::uint32_t> pixels(std::size_t(width), 0xDEADBEEF);
        ExpandTriples(source.data(), pixels.data(), std::size_t(width));
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* t = &source[std::size_t(x) * 3];
            ASSERT_EQ(pixels[std::size_t(x)], std::uint32_t(t[0]) | std::uint32_t(t[1]) << 8 | std::uint32_t(t[2]) << 16)
                << "pixel " << x;
        }
    }
}

TEST(PixelRows, PackTriplesDropsTheFourthByteAndRoundTrips)
{
    for (int width = 0; width <= kLongestRow; ++width) {
        SCOPED_TRACE(width);
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width));
        for (int x = 0; x < width; ++x) pixels[std::size_t(x)] = 0xA5000000u | std::uint32_t(x * 0x010203 + 0x405060);
        std::vector<std::uint8_t> packed(std::size_t(width) * 3, 0xCC);
        PackTriples(pixels.data(), packed.data(), std::size_t(width));
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[std::size_t(x)];
            ASSERT_EQ(packed[std::size_t(x) * 3], std::uint8_t(p)) << "pixel " << x;
            ASSERT_EQ(packed[std::size_t(x) * 3 + 1], std::uint8_t(p >> 8)) << "pixel " << x;
            ASSERT_EQ(packed[std::size_t(x) * 3 + 2], std::uint8_t(p >> 16)) << "pixel " << x;
        }
        std::vector<std::uint32_t> back(static_cast<std::size_t>(width));
        ExpandTriples(packed.data(), back.data(), std::size_t(width));
        for (int x = 0; x < width; ++x) ASSERT_EQ(back[std::size_t(x)], pixels[std::size_t(x)] & 0xFFFFFF);
    }
}
