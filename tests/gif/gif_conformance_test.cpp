// Another decoder's reading of the same files: giflib decodes every file of a
// generated set, its frames are composed by the same rule, and the result must
// equal kxvGIF's bitmap pixel for pixel.
#include <gtest/gtest.h>

#include <gif_lib.h>

#include <cstring>
#include <string>

#include "gif/gif_compose.h"
#include "gif/gif_test_util.h"
#include "gif/gif_writer.h"

namespace {

struct MemoryReader {
    const std::vector<std::uint8_t>* bytes;
    std::size_t position = 0;
};

int ReadFromMemory(GifFileType* file, GifByteType* out, int count)
{
    auto* reader = static_cast<MemoryReader*>(file->UserData);
    const std::size_t n = std::min<std::size_t>(std::size_t(count), reader->bytes->size() - reader->position);
    std::memcpy(out, reader->bytes->data() + reader->position, n);
    reader->position += n;
    return int(n);
}

std::vector<std::uint8_t> TableBytes(const ColorMapObject* map)
{
    std::vector<std::uint8_t> rgb;
    if (!map) return rgb;
    for (int i = 0; i < map->ColorCount; ++i) {
        rgb.push_back(map->Colors[i].Red);
        rgb.push_back(map->Colors[i].Green);
        rgb.push_back(map->Colors[i].Blue);
    }
    return rgb;
}

// giflib's frames composed onto 0x00RRGGBB pixels.
std::vector<std::uint32_t> ReferenceDecode(const std::vector<std::uint8_t>& bytes)
{
    MemoryReader reader{&bytes};
    int error = 0;
    GifFileType* file = DGifOpen(&reader, ReadFromMemory, &error);
    if (!file) return {};
    if (DGifSlurp(file) != GIF_OK) {
        DGifCloseFile(file, &error);
        return {};
    }
    std::uint32_t background = 0;
    if (file->SColorMap && file->SBackGroundColor < file->SColorMap->ColorCount) {
        const GifColorType c = file->SColorMap->Colors[file->SBackGroundColor];
        background = std::uint32_t(c.Red) << 16 | std::uint32_t(c.Green) << 8 | c.Blue;
    }
    std::vector<ComposeFrame> frames;
    for (int i = 0; i < file->ImageCount; ++i) {
        const SavedImage& saved = file->SavedImages[i];
        ComposeFrame f;
        f.left = saved.ImageDesc.Left;
        f.top = saved.ImageDesc.Top;
        f.width = saved.ImageDesc.Width;
        f.height = saved.ImageDesc.Height;
        f.pixels.assign(saved.RasterBits, saved.RasterBits + std::size_t(f.width) * f.height);
        f.rgb = TableBytes(saved.ImageDesc.ColorMap ? saved.ImageDesc.ColorMap : file->SColorMap);
        GraphicsControlBlock gcb;
        if (DGifSavedExtensionToGCB(file, i, &gcb) == GIF_OK) {
            f.transparent = gcb.TransparentColor != NO_TRANSPARENT_COLOR;
            f.transparentIndex = gcb.TransparentColor;
            f.disposal = gcb.DisposalMode;
        }
        frames.push_back(std::move(f));
    }
    auto pixels = ComposeFrames(file->SWidth, file->SHeight, background, frames);
    DGifCloseFile(file, &error);
    return pixels;
}

// The generated set: interlace, local tables, transparency, every disposal
// method, many frames, odd sizes, codes that fill the table.
std::vector<std::pair<std::string, GifImage>> ConformanceSet()
{
    std::vector<std::pair<std::string, GifImage>> set;
    std::uint32_t seed = 1;
    auto frame = [&](int left, int top, int w, int h, int colors) {
        GifFrame f;
        f.left = left;
        f.top = top;
        f.width = w;
        f.height = h;
        f.pixels = NoisePixels(std::size_t(w) * h, colors, seed++);
        return f;
    };
    for (auto [w, h] : {std::pair{1, 1}, {3, 7}, {17, 9}, {101, 61}, {640, 5}}) {
        for (int colors : {2, 16, 256}) {
            GifImage image;
            image.width = w;
            image.height = h;
            image.globalRgb = DistinctRgb(colors);
            image.background = colors - 1;
            image.frames.push_back(frame(0, 0, w, h, colors));
            set.emplace_back("single " + std::to_string(w) + "x" + std::to_string(h) + " " + std::to_string(colors),
                             image);
            image.frames[0].interlace = true;
            set.emplace_back("interlaced " + std::to_string(w) + "x" + std::to_string(h), image);
        }
    }
    {
        GifImage image;
        image.width = 600;
        image.height = 400;
        image.globalRgb = DistinctRgb(256);
        image.frames.push_back(frame(0, 0, 600, 400, 256));
        image.frames[0].lzw.clearWhenFull = false;
        set.emplace_back("full table, no clear", image);
    }
    // An animation using every disposal method, transparency, local tables,
    // interlace and frames of odd sizes and positions.
    {
        GifImage image;
        image.width = 97;
        image.height = 71;
        image.globalRgb = DistinctRgb(32);
        image.background = 3;
        for (int i = 0; i < 40; ++i) {
            GifFrame f = frame((i * 13) % 60, (i * 7) % 40, 10 + (i * 17) % 37, 5 + (i * 11) % 31, i % 3 ? 32 : 4);
            f.control = true;
            f.disposal = i % 4;
            f.transparent = i % 2 == 0;
            f.transparentIndex = i % 5;
            f.interlace = i % 3 == 1;
            if (i % 5 == 2) f.localRgb = DistinctRgb(4 + i % 4);
            if (i % 5 == 2) f.pixels = NoisePixels(f.pixels.size(), 4, seed++);
            image.frames.push_back(f);
        }
        set.emplace_back("animation", image);
    }
    // Frames reaching past the screen.
    {
        GifImage image;
        image.width = 20;
        image.height = 20;
        image.globalRgb = DistinctRgb(8);
        GifFrame f = frame(15, 12, 30, 30, 8);
        f.control = true;
        f.transparent = true;
        image.frames.push_back(f);
        set.emplace_back("clipped frame", image);
    }
    // No global table: local tables only.
    {
        GifImage image;
        image.width = 30;
        image.height = 20;
        for (int i = 0; i < 3; ++i) {
            GifFrame f = frame(i * 5, i * 3, 20, 15, 16);
            f.localRgb = DistinctRgb(16 - i);
            f.control = true;
            f.disposal = 1;
            image.frames.push_back(f);
        }
        set.emplace_back("local tables only", image);
    }
    return set;
}

TEST(GifConformance, EveryGeneratedFileMatchesTheReferenceDecoder)
{
    int compared = 0;
    for (const auto& [name, image] : ConformanceSet()) {
        const auto bytes = EncodeGif(image);
        const auto expected = ReferenceDecode(bytes);
        ASSERT_FALSE(expected.empty()) << name;
        kxvGIF gif;
        auto bitmap = DecodeGif(gif, bytes);
        ASSERT_EQ(bitmap->Width(), image.width) << name;
        const auto actual = Pixels(*bitmap);
        std::size_t mismatches = 0, first = 0;
        for (std::size_t i = 0; i < actual.size(); ++i)
            if (actual[i] != expected[i] && mismatches++ == 0) first = i;
        EXPECT_EQ(mismatches, 0u) << name << ": first at pixel " << first;
        ++compared;
    }
    EXPECT_GE(compared, 30);
}

}  // namespace
