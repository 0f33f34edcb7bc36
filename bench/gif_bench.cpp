// GIF decoding speed, kxvGIF beside giflib (DGifSlurp, then the frames composed
// onto 32-bit pixels) and stb_image (stbi_load_gif_from_memory), on files made
// here: a 2000x1500 dithered picture, a 100-frame 500x500 animation, an
// interlaced picture and a set of small files. Rates are in megapixels (frame
// pixels decoded) per second; scripts/bench.sh prints the time ratios.
#include <benchmark/benchmark.h>
#include <gif_lib.h>
#include <stb/stb_image.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "framework/bitmap.h"
#include "framework/streams.h"
#include "gif/gif_writer.h"
#include "gif/kxv_gif.h"

namespace {

using ByteVector = std::vector<std::uint8_t>;

std::uint32_t NextRandom(std::uint32_t& seed)
{
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
}

std::vector<std::uint8_t> Palette256()
{
    std::vector<std::uint8_t> rgb;
    for (int i = 0; i < 256; ++i) {
        rgb.push_back(std::uint8_t(i));
        rgb.push_back(std::uint8_t((i * 7) & 0xFF));
        rgb.push_back(std::uint8_t(255 - i));
    }
    return rgb;
}

// Smooth gradients with dither noise, quantised to 256 colours: photo-like entropy.
std::vector<std::uint8_t> DitheredPicture(int w, int h, std::uint32_t seed)
{
    std::vector<std::uint8_t> pixels(std::size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int base = (x * 160 / w + y * 96 / h + ((x / 37 + y / 23) % 5) * 9);
            const int noise = int(NextRandom(seed) % 9) - 4;
            pixels[std::size_t(y) * w + x] = std::uint8_t(std::clamp(base + noise, 0, 255));
        }
    return pixels;
}

struct Sample {
    std::string name;
    std::vector<ByteVector> files;
    double megapixels = 0;  // frame pixels of all files, in millions
};

double FramePixels(const GifImage& image)
{
    double n = 0;
    for (const GifFrame& f : image.frames) n += double(f.width) * f.height;
    return n / 1e6;
}

Sample Picture()
{
    GifImage image;
    image.width = 2000;
    image.height = 1500;
    image.globalRgb = Palette256();
    GifFrame frame;
    frame.width = 2000;
    frame.height = 1500;
    frame.pixels = DitheredPicture(2000, 1500, 1);
    image.frames.push_back(frame);
    return {"Picture2000x1500", {EncodeGif(image)}, FramePixels(image)};
}

Sample Interlaced()
{
    GifImage image;
    image.width = 1200;
    image.height = 900;
    image.globalRgb = Palette256();
    GifFrame frame;
    frame.width = 1200;
    frame.height = 900;
    frame.pixels = DitheredPicture(1200, 900, 2);
    frame.interlace = true;
    image.frames.push_back(frame);
    return {"Interlaced1200x900", {EncodeGif(image)}, FramePixels(image)};
}

// A ball and a bar moving over a flat scene: each frame is the whole screen,
// the unchanged pixels transparent, as animation optimisers write them.
Sample Animation()
{
    GifImage image;
    image.width = 500;
    image.height = 500;
    image.globalRgb = Palette256();
    std::uint32_t seed = 3;
    for (int i = 0; i < 100; ++i) {
        GifFrame frame;
        frame.width = 500;
        frame.height = 500;
        frame.control = true;
        frame.delay = 4;
        frame.disposal = 1;
        frame.pixels.assign(250000, 0);
        if (i == 0) {
            for (int y = 0; y < 500; ++y)
                for (int x = 0; x < 500; ++x) frame.pixels[std::size_t(y) * 500 + x] = std::uint8_t(1 + (x / 50 + y / 50) % 8);
        } else {
            frame.transparent = true;
            const int cx = 40 + i * 4, cy = 250 + (i % 20) * 5 - 50;
            for (int y = cy - 30; y < cy + 30; ++y)
                for (int x = cx - 30; x < cx + 30; ++x)
                    if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < 900)
                        frame.pixels[std::size_t(y) * 500 + x] = std::uint8_t(20 + NextRandom(seed) % 4);
            for (int y = 450; y < 470; ++y)
                for (int x = (i * 5) % 400; x < (i * 5) % 400 + 100; ++x) frame.pixels[std::size_t(y) * 500 + x] = 40;
        }
        image.frames.push_back(std::move(frame));
    }
    return {"Animation500x500x100", {EncodeGif(image)}, FramePixels(image)};
}

// Icons and buttons: 200 files from 16x16 to 64x48, 16 colours, some with a
// transparent colour, a few with two frames.
Sample SmallFiles()
{
    Sample sample{"SmallFiles200", {}, 0};
    std::uint32_t seed = 4;
    for (int i = 0; i < 200; ++i) {
        GifImage image;
        image.width = 16 + (i % 4) * 16;
        image.height = 16 + (i % 3) * 16;
        std::vector<std::uint8_t> rgb = Palette256();
        rgb.resize(48);
        image.globalRgb = rgb;
        const int frames = i % 10 == 0 ? 2 : 1;
        for (int f = 0; f < frames; ++f) {
            GifFrame frame;
            frame.width = image.width;
            frame.height = image.height;
            frame.control = i % 2 == 0;
            frame.transparent = i % 2 == 0;
            frame.pixels.resize(std::size_t(image.width) * image.height);
            for (int y = 0; y < image.height; ++y)
                for (int x = 0; x < image.width; ++x) {
                    const int dx = x - image.width / 2, dy = y - image.height / 2;
                    const bool inside = dx * dx + dy * dy < image.width * image.height / 5;
                    frame.pixels[std::size_t(y) * image.width + x] =
                        std::uint8_t(inside ? 1 + (x + y + f) / 6 % 12 + (NextRandom(seed) % 8 == 0) : 0);
                }
            image.frames.push_back(std::move(frame));
        }
        sample.megapixels += FramePixels(image);
        sample.files.push_back(EncodeGif(image));
    }
    return sample;
}

const std::vector<Sample>& Samples()
{
    static const std::vector<Sample> samples{Picture(), Animation(), Interlaced(), SmallFiles()};
    return samples;
}

// --- giflib, with its frames composed onto 32-bit pixels ---------------------

struct MemoryReader {
    const ByteVector* bytes;
    std::size_t position;
};

int ReadFromMemory(GifFileType* file, GifByteType* out, int count)
{
    auto* reader = static_cast<MemoryReader*>(file->UserData);
    const std::size_t n = std::min<std::size_t>(std::size_t(count), reader->bytes->size() - reader->position);
    std::memcpy(out, reader->bytes->data() + reader->position, n);
    reader->position += n;
    return int(n);
}

void ComposeWithGiflib(const ByteVector& bytes, std::vector<std::uint32_t>& screen, std::vector<std::uint32_t>& saved)
{
    MemoryReader reader{&bytes, 0};
    int error = 0;
    GifFileType* file = DGifOpen(&reader, ReadFromMemory, &error);
    if (!file || DGifSlurp(file) != GIF_OK) std::abort();
    const int w = file->SWidth, h = file->SHeight;
    std::uint32_t background = 0;
    if (file->SColorMap && file->SBackGroundColor < file->SColorMap->ColorCount) {
        const GifColorType c = file->SColorMap->Colors[file->SBackGroundColor];
        background = std::uint32_t(c.Red) << 16 | std::uint32_t(c.Green) << 8 | c.Blue;
    }
    screen.assign(std::size_t(w) * h, background);
    for (int i = 0; i < file->ImageCount; ++i) {
        const SavedImage& image = file->SavedImages[i];
        const GifImageDesc& d = image.ImageDesc;
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : file->SColorMap;
        std::uint32_t colors[256] = {};
        for (int c = 0; map && c < map->ColorCount; ++c)
            colors[c] = std::uint32_t(map->Colors[c].Red) << 16 | std::uint32_t(map->Colors[c].Green) << 8 |
                        map->Colors[c].Blue;
        GraphicsControlBlock gcb{};
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(file, i, &gcb);
        const int x0 = std::max(d.Left, 0), y0 = std::max(d.Top, 0);
        const int x1 = std::min(d.Left + d.Width, w), y1 = std::min(d.Top + d.Height, h);
        if (gcb.DisposalMode == DISPOSE_PREVIOUS) {
            saved.clear();
            for (int y = y0; y < y1; ++y)
                saved.insert(saved.end(), screen.begin() + std::ptrdiff_t(y) * w + x0, screen.begin() + std::ptrdiff_t(y) * w + x1);
        }
        const int key = gcb.TransparentColor;
        for (int y = y0; y < y1; ++y) {
            const GifByteType* in = image.RasterBits + std::size_t(y - d.Top) * d.Width + (x0 - d.Left);
            std::uint32_t* out = screen.data() + std::size_t(y) * w;
            if (key == NO_TRANSPARENT_COLOR) {
                for (int x = x0; x < x1; ++x) out[x] = colors[*in++];
            } else {
                for (int x = x0; x < x1; ++x, ++in)
                    if (*in != key) out[x] = colors[*in];
            }
        }
        if (gcb.DisposalMode == DISPOSE_BACKGROUND) {
            for (int y = y0; y < y1; ++y) std::fill(screen.begin() + std::ptrdiff_t(y) * w + x0, screen.begin() + std::ptrdiff_t(y) * w + x1, background);
        } else if (gcb.DisposalMode == DISPOSE_PREVIOUS) {
            std::size_t k = 0;
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) screen[std::size_t(y) * w + x] = saved[k++];
        }
    }
    DGifCloseFile(file, &error);
}

void SetRate(benchmark::State& state, const Sample& sample)
{
    state.counters["MP/s"] = benchmark::Counter(sample.megapixels, benchmark::Counter::kIsIterationInvariantRate);
}

void Kxv(benchmark::State& state, int index)
{
    const Sample& sample = Samples()[std::size_t(index)];
    kxvGIF gif;
    gif.UseDelay = false;
    TBitmap bitmap;
    for (auto _ : state) {
        for (const ByteVector& file : sample.files) {
            TCustomMemoryStream stream(file.data(), std::int64_t(file.size()));
            gif.LoadFromStream(stream, bitmap);
            benchmark::DoNotOptimize(bitmap.ScanLine(0));
        }
    }
    SetRate(state, sample);
}

void Giflib(benchmark::State& state, int index)
{
    const Sample& sample = Samples()[std::size_t(index)];
    std::vector<std::uint32_t> screen, saved;
    for (auto _ : state) {
        for (const ByteVector& file : sample.files) {
            ComposeWithGiflib(file, screen, saved);
            benchmark::DoNotOptimize(screen.data());
        }
    }
    SetRate(state, sample);
}

void Stb(benchmark::State& state, int index)
{
    const Sample& sample = Samples()[std::size_t(index)];
    for (auto _ : state) {
        for (const ByteVector& file : sample.files) {
            int* delays = nullptr;
            int w = 0, h = 0, frames = 0, channels = 0;
            stbi_uc* pixels = stbi_load_gif_from_memory(file.data(), int(file.size()), &delays, &w, &h, &frames, &channels, 4);
            if (!pixels) std::abort();
            benchmark::DoNotOptimize(pixels);
            stbi_image_free(pixels);
            stbi_image_free(delays);
        }
    }
    SetRate(state, sample);
}

void Register()
{
    const char* names[] = {"Picture2000x1500", "Animation500x500x100", "Interlaced1200x900", "SmallFiles200"};
    for (int i = 0; i < 4; ++i) {
        const std::string base = std::string("Gif_") + names[i];
        benchmark::RegisterBenchmark((base + "_kxvGIF").c_str(), Kxv, i)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((base + "_giflib").c_str(), Giflib, i)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((base + "_stb").c_str(), Stb, i)->Unit(benchmark::kMillisecond);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    Register();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
