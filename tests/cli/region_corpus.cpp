#include "cli/region_corpus.h"

#include <algorithm>

#include "framework/bmp_builder.h"
#include "gif/gif_writer.h"

namespace {

using ByteVector = std::vector<std::uint8_t>;

struct Random {
    std::uint32_t seed;
    unsigned operator()(unsigned below)
    {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % below;
    }
};

ByteVector RandomBytes(std::size_t count, Random& random)
{
    ByteVector bytes(count);
    for (auto& b : bytes) b = std::uint8_t(random(256));
    return bytes;
}

std::vector<std::uint32_t> Colors(int count)
{
    std::vector<std::uint32_t> colors;
    for (int i = 0; i < count; ++i) colors.push_back(std::uint32_t(i * 0x3D1F07 + 0x102030) & 0xFFFFFF);
    return colors;
}

// RLE codes for a picture: encoded and absolute runs, end-of-line codes that
// leave a row's rest black, deltas right and up, the end-of-bitmap code.
ByteVector RleCodes(int width, int height, bool rle4, Random& random)
{
    ByteVector codes;
    int x = 0, y = 0;
    while (y < height) {
        if (y == 2 && x == 0 && height > 4) {
            codes.insert(codes.end(), {0, 2, 3, 1});  // delta: three right, one up
            x = 3;
            y = 3;
        }
        while (x < width) {
            const int n = std::min(width - x, 1 + int(random(6)));
            const unsigned kind = random(10);
            if (kind < 5 || n < 3) {
                codes.insert(codes.end(), {std::uint8_t(n), std::uint8_t(random(256))});
            } else if (kind < 8) {
                codes.insert(codes.end(), {0, std::uint8_t(n)});
                const int bytes = rle4 ? (n + 1) / 2 : n;
                for (int i = 0; i < bytes; ++i) codes.push_back(std::uint8_t(random(256)));
                if (bytes % 2) codes.push_back(0);
            } else if (kind == 8) {
                break;  // the rest of the row stays black
            } else {
                codes.insert(codes.end(), {0, 2, std::uint8_t(n), 0});
            }
            x += n;
        }
        if (y == height - 1) break;
        codes.insert(codes.end(), {0, 0});
        x = 0;
        ++y;
    }
    codes.insert(codes.end(), {0, 1});
    return codes;
}

void AddBmps(std::vector<TRegionSample>& samples)
{
    Random random{11};
    const int width = 13, height = 7;
    const auto add = [&](const std::string& name, const BmpLayout& layout) {
        samples.push_back({name, MakeBmp(layout), width, height, layout.bitCount});
    };
    // Bit fields behind the header or inside it: 5-6-5, 4-4-4, 3-10-3, 2-3-1,
    // 9-2-4, 10-10-10 and a 32-bit order of its own.
    const std::vector<std::pair<unsigned, std::vector<std::uint32_t>>> fields = {
        {16, {0xF800, 0x07E0, 0x001F}}, {16, {0x0F00, 0x00F0, 0x000F}}, {16, {0xE000, 0x1FF8, 0x0007}},
        {16, {0x0030, 0x000E, 0x0001}}, {16, {0x7FC0, 0x0030, 0x000F}}, {32, {0x3FF00000, 0x000FFC00, 0x000003FF}},
        {32, {0x0000FF00, 0x00FF0000, 0xFF000000}}};
    for (std::uint32_t headerSize : {12u, 16u, 40u, 52u, 56u, 64u, 108u, 124u}) {
        const std::string form = "bmp" + std::to_string(headerSize) + "_";
        for (unsigned bits : {1u, 2u, 4u, 8u, 16u, 24u, 32u}) {
            for (bool topDown : {false, true}) {
                if (topDown && headerSize == 12) continue;  // its height has no sign
                BmpLayout layout{.headerSize = headerSize, .width = width, .height = topDown ? -height : height,
                                 .bitCount = bits};
                // An 8-bit table shorter than its indices: the rest are black.
                if (bits <= 8) layout.colors = Colors(bits == 8 && headerSize != 12 ? 40 : 1 << bits);
                if (bits == 8 && headerSize != 12) layout.colorsUsed = 40;
                layout.pixels = RandomBytes(BmpRowBytes(width, int(bits)) * height, random);
                add(form + std::to_string(bits) + (topDown ? "_topdown" : ""), layout);
                if (bits != 8 || headerSize == 12 || topDown) continue;
                layout.colors = Colors(256);
                layout.colorsUsed = 0;
                add(form + "8_full", layout);
            }
        }
        if (headerSize == 12 || headerSize == 16 || headerSize == 64) continue;  // OS/2: no bit fields
        for (const auto& [bits, masks] : fields) {
            const bool topDown = headerSize == 40 || headerSize == 124;
            BmpLayout layout{.headerSize = headerSize, .width = width, .height = topDown ? -height : height,
                             .bitCount = bits, .compression = 3, .masks = masks};
            layout.pixels = RandomBytes(BmpRowBytes(width, int(bits)) * height, random);
            add(form + "fields" + std::to_string(bits) + "_" + std::to_string(masks[0]), layout);
        }
    }
    for (bool rle4 : {false, true}) {
        const int w = 11, h = 9;
        BmpLayout layout{.width = w, .height = h, .bitCount = rle4 ? 4u : 8u, .compression = rle4 ? 2u : 1u,
                         .colors = Colors(16)};
        layout.pixels = RleCodes(w, h, rle4, random);
        samples.push_back({rle4 ? "rle4" : "rle8", MakeBmp(layout), w, h, layout.bitCount});
    }
    // Rows long enough that a region reads each row's columns alone; a gap
    // and an offset before the pixels.
    const int wide = 6000;
    BmpLayout layout{.width = wide, .height = 5, .bitCount = 24, .gap = 6};
    layout.pixels = RandomBytes(BmpRowBytes(wide, 24) * 5, random);
    samples.push_back({"wide24", MakeBmp(layout), wide, 5, 24});
    layout.bitCount = 4;
    layout.height = -5;
    layout.colors = Colors(16);
    layout.pixels = RandomBytes(BmpRowBytes(wide, 4) * 5, random);
    samples.push_back({"wide4_topdown", MakeBmp(layout), wide, 5, 4});
}

GifFrame Frame(int left, int top, int width, int height, int colors, Random& random)
{
    GifFrame frame;
    frame.left = left;
    frame.top = top;
    frame.width = width;
    frame.height = height;
    frame.pixels.resize(std::size_t(width) * std::size_t(height));
    for (auto& p : frame.pixels) p = std::uint8_t(random(unsigned(colors)));
    return frame;
}

std::vector<std::uint8_t> Table(int entries)
{
    std::vector<std::uint8_t> rgb;
    for (int i = 0; i < entries; ++i) rgb.insert(rgb.end(), {std::uint8_t(i * 16), std::uint8_t(255 - i * 9), std::uint8_t(i * 5)});
    return rgb;
}

void AddGifs(std::vector<TRegionSample>& samples)
{
    Random random{23};
    const int w = 20, h = 15;
    GifImage image;
    image.width = w;
    image.height = h;
    image.globalRgb = Table(16);
    image.background = 3;
    const auto add = [&](const std::string& name, const ByteVector& bytes) { samples.push_back({name, bytes, w, h}); };

    image.frames = {Frame(0, 0, w, h, 16, random)};
    add("gif_plain", EncodeGif(image));

    for (int frameHeight : {1, 2, 5, 9, 13}) {
        GifFrame frame = Frame(2, 1, 17, frameHeight, 16, random);
        frame.interlace = true;
        image.frames = {frame};
        add("gif_interlaced" + std::to_string(frameHeight), EncodeGif(image));
    }

    // A frame drawn over by a transparent one, whose disposal restores what lay
    // under it; one past the screen's edges restored to the background; an
    // interlaced one with its own table.
    GifFrame first = Frame(0, 0, w, h, 16, random);
    GifFrame second = Frame(3, 2, 8, 6, 16, random);
    second.control = second.transparent = true;
    second.transparentIndex = 5;
    second.disposal = 3;
    GifFrame third = Frame(10, 5, 12, 12, 16, random);
    third.control = true;
    third.disposal = 2;
    GifFrame fourth = Frame(0, 8, 9, 7, 8, random);
    fourth.interlace = true;
    fourth.localRgb = Table(8);
    fourth.control = fourth.transparent = true;
    fourth.transparentIndex = 1;
    image.frames = {first, second, third, fourth};
    add("gif_disposals", EncodeGif(image));
    image.frames = {first, second};
    add("gif_restored_last", EncodeGif(image));  // the last frame's disposal shows
    image.frames = {first, third};
    add("gif_background_last", EncodeGif(image));

    // Image data that ends before the frame does: the last row drawn as it stands.
    GifFrame shortFrame = Frame(1, 1, 18, 12, 16, random);
    shortFrame.pixels.resize(18 * 5 + 7);
    image.frames = {shortFrame};
    add("gif_short_data", EncodeGif(image));
    shortFrame.interlace = true;
    image.frames = {shortFrame};
    add("gif_short_interlaced", EncodeGif(image));

    // Extensions after the last frame, which draw nothing; text, which does.
    GifImage local = image;
    local.globalRgb.clear();
    GifFrame own = Frame(0, 0, w, h, 4, random);
    own.localRgb = Table(4);
    local.frames = {own};
    ByteVector bytes = EncodeGif(local);
    bytes.pop_back();
    for (int b : std::initializer_list<int>{0x21, 0xFE, 2, 'h', 'i', 0, 0x21, 0xF9, 4, 0, 0, 0, 0, 0, 0x3B})
        bytes.push_back(std::uint8_t(b));
    add("gif_comment_after", bytes);
    bytes = GifHead(image);
    for (int b : std::initializer_list<int>{0x21, 0x01, 12, 2, 0, 3, 0, 16, 0, 9, 0, 4, 8, 3, 0, 4, 'A', ' ', 'b', 'c', 0})
        bytes.push_back(std::uint8_t(b));
    const ByteVector frameBytes = GifFrameBytes(Frame(4, 4, 10, 6, 16, random), 16);
    bytes.insert(bytes.end(), frameBytes.begin(), frameBytes.end());
    for (int b : std::initializer_list<int>{0x21, 0x01, 12, 1, 0, 9, 0, 12, 0, 6, 0, 4, 6, 7, 1, 2, 'x', 'y', 0, 0x3B})
        bytes.push_back(std::uint8_t(b));
    add("gif_text", bytes);
}

}  // namespace

std::vector<TRegionSample> RegionSamples()
{
    std::vector<TRegionSample> samples;
    AddBmps(samples);
    AddGifs(samples);
    return samples;
}

std::vector<TRect> RegionRects(int w, int h)
{
    return {
        {0, 0, w, h},
        {w / 4, h / 4, w * 3 / 4, h * 3 / 4},
        {1, h / 2, w - 1, h / 2 + 1},
        {-3, -2, w / 2 + 1, h / 2},
        {w / 2, h / 2 - 1, w + 4, h + 3},
        {-2, -2, w + 2, h + 2},
        {w - 1, -1, w + 1, h + 1},
        {w + 1, 0, w + 6, h},
        {0, -9, w, -1},
        {3, 3, 3, 3},
    };
}
