// Writes the sample pictures of samples/: small BMP files in three header forms,
// built by the tests' BMP builder (not with the program's own writer, so that
// the samples also check the program's reader against an independent writer).
//
//   make_samples DIR  ->  DIR/gradient24.bmp   24 bits, 40-byte header
//                         DIR/palette8.bmp     8 bits, 40-byte header, 256 colours
//                         DIR/os2_4bit.bmp     4 bits, 12-byte OS/2 header, 16 colours
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/bmp_builder.h"

namespace {

constexpr int kWidth = 96;
constexpr int kHeight = 72;

constexpr std::uint32_t kPixelsPerMetre = 3780;  // 96 dots per inch

struct Rgb {
    std::uint8_t r, g, b;
};

// A picture worth cropping: a colour wash with a ring and a frame, so that a crop
// shows which part of it was taken.
Rgb Scene(int x, int y)
{
    const double dx = x - kWidth * 0.5, dy = y - kHeight * 0.5;
    const double distance = std::sqrt(dx * dx + dy * dy);
    if (x == 0 || y == 0 || x == kWidth - 1 || y == kHeight - 1) return {255, 255, 255};
    if (distance > 20 && distance < 26) return {240, 200, 40};
    return {std::uint8_t(x * 255 / (kWidth - 1)), std::uint8_t(y * 255 / (kHeight - 1)), std::uint8_t(160)};
}

std::uint32_t ColorOf(const Rgb& c)
{
    return std::uint32_t(c.r) << 16 | std::uint32_t(c.g) << 8 | c.b;
}

// The picture's rows, bottom row first, each packed by `pack` and padded with zeros.
template <typename Pack>
std::vector<std::uint8_t> Rows(int bits, Pack pack)
{
    const std::size_t row = BmpRowBytes(kWidth, bits);
    std::vector<std::uint8_t> pixels;
    for (int y = kHeight - 1; y >= 0; --y) {
        std::vector<std::uint8_t> bytes(row, 0);
        for (int x = 0; x < kWidth; ++x) pack(bytes.data(), x, y);
        pixels.insert(pixels.end(), bytes.begin(), bytes.end());
    }
    return pixels;
}

std::vector<std::uint8_t> Gradient24()
{
    return MakeBmp({.width = kWidth, .height = kHeight, .bitCount = 24, .resolution = kPixelsPerMetre,
                    .pixels = Rows(24, [](std::uint8_t* row, int x, int y) {
                        const Rgb c = Scene(x, y);
                        row[3 * x] = c.b;
                        row[3 * x + 1] = c.g;
                        row[3 * x + 2] = c.r;
                    })});
}

// 6 x 6 x 6 colour cube plus 40 greys; pixels take the cube entry nearest the scene.
std::vector<std::uint8_t> Palette8()
{
    std::vector<std::uint32_t> table;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) table.push_back(ColorOf({std::uint8_t(r * 51), std::uint8_t(g * 51), std::uint8_t(b * 51)}));
    for (int i = 0; i < 40; ++i) table.push_back(std::uint32_t(i * 255 / 39) * 0x010101u);
    return MakeBmp({.width = kWidth, .height = kHeight, .bitCount = 8, .resolution = kPixelsPerMetre,
                    .colorsUsed = 256, .colors = table,
                    .pixels = Rows(8, [](std::uint8_t* row, int x, int y) {
                        const Rgb c = Scene(x, y);
                        row[x] = std::uint8_t(((c.r + 25) / 51) * 36 + ((c.g + 25) / 51) * 6 + (c.b + 25) / 51);
                    })});
}

// OS/2 form: a 12-byte core header (16-bit width and height) and 3-byte colour
// entries; 4 bits per pixel, so two pixels a byte, the left one in the high half.
std::vector<std::uint8_t> Os2FourBit()
{
    const Rgb table[16] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                           {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                           {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                           {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    BmpLayout layout{.headerSize = 12, .width = kWidth, .height = kHeight, .bitCount = 4};
    for (const Rgb& c : table) layout.colors.push_back(ColorOf(c));
    layout.pixels = Rows(4, [](std::uint8_t* row, int x, int y) {
        // Stripes of the sixteen colours, with the scene's ring in yellow.
        const Rgb c = Scene(x, y);
        const int index = (c.r == 240 && c.g == 200) ? 11 : (x / 6 + y / 18) % 16;
        row[x / 2] |= std::uint8_t(x % 2 == 0 ? index << 4 : index);
    });
    return MakeBmp(layout);
}

bool Write(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_samples DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    const bool ok = Write(dir + "/gradient24.bmp", Gradient24()) && Write(dir + "/palette8.bmp", Palette8()) &&
                    Write(dir + "/os2_4bit.bmp", Os2FourBit());
    if (!ok) std::fprintf(stderr, "make_samples: cannot write into %s\n", dir.c_str());
    return ok ? 0 : 1;
}
