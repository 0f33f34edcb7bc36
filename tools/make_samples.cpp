// Writes the sample pictures of samples/: small BMP files in three header forms,
// built byte by byte here (not with the program's own writer, so that the
// samples also check the program's reader against an independent writer).
//
//   make_samples DIR  ->  DIR/gradient24.bmp   24 bits, 40-byte header
//                         DIR/palette8.bmp     8 bits, 40-byte header, 256 colours
//                         DIR/os2_4bit.bmp     4 bits, 12-byte OS/2 header, 16 colours
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 96;
constexpr int kHeight = 72;

struct Rgb {
    std::uint8_t r, g, b;
};

class ByteWriter {
public:
    std::vector<std::uint8_t> bytes;
    void u8(unsigned v) { bytes.push_back(std::uint8_t(v)); }
    void u16(unsigned v) { u8(v & 0xFF); u8(v >> 8); }
    void u32(std::uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); }
};

int RowSize(int width, int bits)
{
    return (width * bits + 31) / 32 * 4;
}

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

void FileHeader(ByteWriter& out, std::uint32_t fileSize, std::uint32_t pixelOffset)
{
    out.u8('B');
    out.u8('M');
    out.u32(fileSize);
    out.u16(0);
    out.u16(0);
    out.u32(pixelOffset);
}

void InfoHeader(ByteWriter& out, int bits, int colours, int imageSize)
{
    out.u32(40);
    out.u32(kWidth);
    out.u32(kHeight);  // positive: bottom row first
    out.u16(1);
    out.u16(bits);
    out.u32(0);  // no compression
    out.u32(imageSize);
    out.u32(3780);  // 96 dots per inch
    out.u32(3780);
    out.u32(colours);
    out.u32(0);
}

std::vector<std::uint8_t> Gradient24()
{
    const int row = RowSize(kWidth, 24);
    ByteWriter out;
    FileHeader(out, 54 + row * kHeight, 54);
    InfoHeader(out, 24, 0, row * kHeight);
    for (int y = kHeight - 1; y >= 0; --y) {
        for (int x = 0; x < kWidth; ++x) {
            const Rgb c = Scene(x, y);
            out.u8(c.b);
            out.u8(c.g);
            out.u8(c.r);
        }
        for (int pad = kWidth * 3; pad < row; ++pad) out.u8(0);
    }
    return out.bytes;
}

// 6 x 6 x 6 colour cube plus 40 greys; pixels take the cube entry nearest the scene.
std::vector<std::uint8_t> Palette8()
{
    std::vector<Rgb> table;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) table.push_back({std::uint8_t(r * 51), std::uint8_t(g * 51), std::uint8_t(b * 51)});
    for (int i = 0; i < 40; ++i) table.push_back({std::uint8_t(i * 255 / 39), std::uint8_t(i * 255 / 39), std::uint8_t(i * 255 / 39)});

    const int row = RowSize(kWidth, 8);
    const int offset = 54 + 256 * 4;
    ByteWriter out;
    FileHeader(out, offset + row * kHeight, offset);
    InfoHeader(out, 8, 256, row * kHeight);
    for (const Rgb& c : table) {
        out.u8(c.b);
        out.u8(c.g);
        out.u8(c.r);
        out.u8(0);
    }
    for (int y = kHeight - 1; y >= 0; --y) {
        for (int x = 0; x < kWidth; ++x) {
            const Rgb c = Scene(x, y);
            out.u8(((c.r + 25) / 51) * 36 + ((c.g + 25) / 51) * 6 + (c.b + 25) / 51);
        }
        for (int pad = kWidth; pad < row; ++pad) out.u8(0);
    }
    return out.bytes;
}

// OS/2 form: a 12-byte core header (16-bit width and height) and 3-byte colour
// entries; 4 bits per pixel, so two pixels a byte, the left one in the high half.
std::vector<std::uint8_t> Os2FourBit()
{
    const Rgb table[16] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                           {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                           {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                           {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    const int row = RowSize(kWidth, 4);
    const int offset = 14 + 12 + 16 * 3;
    ByteWriter out;
    FileHeader(out, offset + row * kHeight, offset);
    out.u32(12);
    out.u16(kWidth);
    out.u16(kHeight);
    out.u16(1);
    out.u16(4);
    for (const Rgb& c : table) {
        out.u8(c.b);
        out.u8(c.g);
        out.u8(c.r);
    }
    for (int y = kHeight - 1; y >= 0; --y) {
        std::vector<std::uint8_t> bits(std::size_t(row), 0);
        for (int x = 0; x < kWidth; ++x) {
            // Stripes of the sixteen colours, with the scene's ring in yellow.
            const Rgb c = Scene(x, y);
            const int index = (c.r == 240 && c.g == 200) ? 11 : (x / 6 + y / 18) % 16;
            bits[std::size_t(x / 2)] |= std::uint8_t(x % 2 == 0 ? index << 4 : index);
        }
        for (std::uint8_t b : bits) out.u8(b);
    }
    return out.bytes;
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
