// The whole clip of one file (load a 1024x768 24-bit BMP, crop 640x480, write)
// beside the I/O floor of the same work (read the same input bytes, write the
// same output bytes); the same for a 256-colour GIF as talvern-clip reads it,
// beside reading the file, decoding it from memory and writing the output's
// bytes; and the BMP writer at 1, 8 and 24 bits, with the memory it
// takes beyond the picture for an 8000x8000 one.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "app/clip_job.h"
#include "bench/bench_files.h"
#include "cli/clip_image.h"
#include "cli/console_clip_host.h"
#include "framework/streams.h"
#include "gif/gif_writer.h"
#include "gif/kxv_gif.h"
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "image/bmp_file.h"
#include "image/kxv_image.h"

// Counting allocator: the bytes held through operator new now and at their peak,
// so that a benchmark can tell what one call allocated beyond what it was given.
namespace {
std::atomic<std::size_t> allocatedNow{0};
std::atomic<std::size_t> allocatedPeak{0};

void* CountedAlloc(std::size_t size)
{
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    const std::size_t now = allocatedNow += malloc_usable_size(p);
    std::size_t peak = allocatedPeak.load();
    while (now > peak && !allocatedPeak.compare_exchange_weak(peak, now)) {
    }
    return p;
}

void CountedFree(void* p)
{
    if (!p) return;
    allocatedNow -= malloc_usable_size(p);
    std::free(p);
}
}  // namespace

void* operator new(std::size_t size) { return CountedAlloc(size); }
void* operator new[](std::size_t size) { return CountedAlloc(size); }
void operator delete(void* p) noexcept { CountedFree(p); }
void operator delete[](void* p) noexcept { CountedFree(p); }
void operator delete(void* p, std::size_t) noexcept { CountedFree(p); }
void operator delete[](void* p, std::size_t) noexcept { CountedFree(p); }

namespace {

namespace fs = std::filesystem;

void PaintScene(TBitmap& bitmap)
{
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::uint32_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x)
            row[x] = std::uint32_t((x * 255 / bitmap.Width()) << 16 | (y * 255 / bitmap.Height()) << 8 | ((x ^ y) & 0xFF));
    }
}

// The files of the clip benchmarks, made once: the input picture, a directory
// for the clip's output, and the output bytes the floor writes.
struct ClipFiles {
    std::string directory;
    std::string input;
    std::string gifInput;
    std::vector<char> gifOutputBytes;
    std::string clipOutputDirectory;
    std::string floorOutput;
    std::vector<char> outputBytes;
    bool ready = false;

    ClipFiles()
    {
        directory = (fs::temp_directory_path() / ("talvern-bench-" + std::to_string(::getpid()))).string();
        clipOutputDirectory = directory + "/out";
        fs::create_directories(clipOutputDirectory);
        input = directory + "/input.bmp";
        floorOutput = directory + "/floor.bmp";
        TBitmap picture;
        picture.SetSize(1024, 768);
        PaintScene(picture);
        if (!SaveBitmapFile(input, picture, 24, nullptr)) return;
        TConsoleClipHost host({}, clipOutputDirectory);
        kxvImage image;
        TClipJob job(host, image);
        if (!job.ClipFile(input)) return;
        outputBytes = ReadFile(clipOutputDirectory + "/input.bmp");
        gifInput = directory + "/picture.gif";
        const std::vector<std::uint8_t> gif = EncodeGif(DitheredPicture(1024, 768));
        WriteFile(gifInput, gif.data(), gif.size());
        TClipImage gifImage;
        TClipJob gifJob(host, gifImage);
        if (!gifJob.ClipFile(gifInput)) return;
        gifOutputBytes = ReadFile(clipOutputDirectory + "/picture.bmp");
        ready = !outputBytes.empty() && !gifOutputBytes.empty();
    }
    ~ClipFiles()
    {
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }
};

ClipFiles& Files()
{
    static ClipFiles files;
    return files;
}

void BM_Clip(benchmark::State& state)
{
    ClipFiles& files = Files();
    if (!files.ready) return state.SkipWithError("cannot make the input");
    TConsoleClipHost host({}, files.clipOutputDirectory);
    kxvImage image;
    TClipJob job(host, image);
    // Each pass writes a new file, as the floor does (see there).
    const std::string output = files.clipOutputDirectory + "/input.bmp";
    for (auto _ : state) {
        std::remove(output.c_str());
        if (!job.ClipFile(files.input)) return state.SkipWithError("clip failed");
    }
}
BENCHMARK(BM_Clip)->Unit(benchmark::kMicrosecond);

void BM_Clip_Floor(benchmark::State& state)
{
    ClipFiles& files = Files();
    if (!files.ready) return state.SkipWithError("cannot make the input");
    std::vector<char> buffer(std::size_t(fs::file_size(files.input)));
    for (auto _ : state) {
        std::FILE* in = std::fopen(files.input.c_str(), "rb");
        const std::size_t got = in ? std::fread(buffer.data(), 1, buffer.size(), in) : 0;
        if (in) std::fclose(in);
        // A new file, not one truncated over the old: on ext4 (and others with
        // delayed allocation) truncating a file and rewriting it starts a flush
        // that costs several times the write itself.
        std::remove(files.floorOutput.c_str());
        std::FILE* out = std::fopen(files.floorOutput.c_str(), "wb");
        const std::size_t put = out ? std::fwrite(files.outputBytes.data(), 1, files.outputBytes.size(), out) : 0;
        if (out) std::fclose(out);
        if (got != buffer.size() || put != files.outputBytes.size()) return state.SkipWithError("floor I/O failed");
        benchmark::DoNotOptimize(buffer.data());
    }
}
BENCHMARK(BM_Clip_Floor)->Unit(benchmark::kMicrosecond);

// talvern-clip's reader choice and GIF reader on a file, beside the floor:
// the same bytes read, decoded from memory, and the output's bytes written.
void BM_ClipGif(benchmark::State& state)
{
    ClipFiles& files = Files();
    if (!files.ready) return state.SkipWithError("cannot make the input");
    TConsoleClipHost host({}, files.clipOutputDirectory);
    TClipImage image;
    TClipJob job(host, image);
    const std::string output = files.clipOutputDirectory + "/picture.bmp";
    for (auto _ : state) {
        std::remove(output.c_str());
        if (!job.ClipFile(files.gifInput)) return state.SkipWithError("clip failed");
    }
}
BENCHMARK(BM_ClipGif)->Unit(benchmark::kMicrosecond);

void BM_ClipGif_Floor(benchmark::State& state)
{
    ClipFiles& files = Files();
    if (!files.ready) return state.SkipWithError("cannot make the input");
    const std::string floorOutput = files.directory + "/floor-gif.bmp";
    std::vector<char> buffer(std::size_t(fs::file_size(files.gifInput)));
    kxvGIF gif;
    gif.UseDelay = false;
    TBitmap bitmap;
    for (auto _ : state) {
        std::FILE* in = std::fopen(files.gifInput.c_str(), "rb");
        const std::size_t got = in ? std::fread(buffer.data(), 1, buffer.size(), in) : 0;
        if (in) std::fclose(in);
        TCustomMemoryStream stream(buffer.data(), std::int64_t(buffer.size()));
        gif.LoadFromStream(stream, bitmap);
        std::remove(floorOutput.c_str());
        std::FILE* out = std::fopen(floorOutput.c_str(), "wb");
        const std::size_t put = out ? std::fwrite(files.gifOutputBytes.data(), 1, files.gifOutputBytes.size(), out) : 0;
        if (out) std::fclose(out);
        if (got != buffer.size() || put != files.gifOutputBytes.size()) return state.SkipWithError("floor I/O failed");
        benchmark::DoNotOptimize(bitmap.ScanLine(0));
    }
}
BENCHMARK(BM_ClipGif_Floor)->Unit(benchmark::kMicrosecond);

// The clip's three parts, to see where its time above the floor goes.
void BM_ClipPart_Load(benchmark::State& state)
{
    ClipFiles& files = Files();
    if (!files.ready) return state.SkipWithError("cannot make the input");
    kxvImage image;
    for (auto _ : state)
        if (!image.LoadFromFile(files.input)) return state.SkipWithError("load failed");
}
BENCHMARK(BM_ClipPart_Load)->Unit(benchmark::kMicrosecond);

void BM_ClipPart_Crop(benchmark::State& state)
{
    ClipFiles& files = Files();
    if (!files.ready) return state.SkipWithError("cannot make the input");
    kxvImage image;
    if (!image.LoadFromFile(files.input)) return state.SkipWithError("load failed");
    for (auto _ : state) {
        TBitmap crop;
        crop.SetWidth(640);
        crop.SetHeight(480);
        crop.Canvas().CopyRect(Rect(0, 0, 640, 480), image.Picture().Bitmap().Canvas(), Rect(0, 0, 640, 480));
        benchmark::DoNotOptimize(crop.ScanLine(0));
    }
}
BENCHMARK(BM_ClipPart_Crop)->Unit(benchmark::kMicrosecond);

void BM_ClipPart_Write(benchmark::State& state)
{
    ClipFiles& files = Files();
    if (!files.ready) return state.SkipWithError("cannot make the input");
    TBitmap crop;
    crop.SetSize(640, 480);
    PaintScene(crop);
    const std::string output = files.clipOutputDirectory + "/part.bmp";
    for (auto _ : state) {
        std::remove(output.c_str());
        if (!SaveBitmapFile(output, crop, 24, nullptr)) return state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_ClipPart_Write)->Unit(benchmark::kMicrosecond);

// A picture whose colours all stand in the palette, as a crop of a paletted
// source does: the writer's exact lookup, not its nearest-colour search.
void BM_SaveBitmapFile(benchmark::State& state)
{
    const int depth = int(state.range(0));
    ClipFiles& files = Files();
    TBitmap picture;
    picture.SetSize(1024, 768);
    PaletteHandle palette;
    if (depth <= 8) {
        const int colours = 1 << depth;
        palette = NewPalette(colours);
        for (int i = 0; i < colours; ++i)
            palette->palPalEntry[std::size_t(i)] =
                TPaletteEntry{std::uint8_t(i * 255 / (colours - 1)), std::uint8_t(i * 37), std::uint8_t(255 - i), 0};
        for (int y = 0; y < picture.Height(); ++y) {
            std::uint32_t* row = picture.ScanLine(y);
            for (int x = 0; x < picture.Width(); ++x) {
                const TPaletteEntry& e = palette->palPalEntry[std::size_t((x / 4 + y) % colours)];
                row[x] = std::uint32_t(e.peRed) << 16 | std::uint32_t(e.peGreen) << 8 | e.peBlue;
            }
        }
    } else {
        PaintScene(picture);
    }
    const std::string output = files.directory + "/save" + std::to_string(depth) + ".bmp";
    for (auto _ : state)
        if (!SaveBitmapFile(output, picture, depth, palette.get())) return state.SkipWithError("write failed");
}
BENCHMARK(BM_SaveBitmapFile)->Arg(1)->Arg(8)->Arg(24)->Unit(benchmark::kMicrosecond);

// What the writer allocates beyond the picture it is given: a row in and a row
// out, not a copy of the picture.
void BM_SaveBitmapFilePeakMemory(benchmark::State& state)
{
    const int depth = int(state.range(0));
    ClipFiles& files = Files();
    TBitmap picture;
    picture.SetSize(8000, 8000);
    PaintScene(picture);
    const std::string output = files.directory + "/big.bmp";
    std::size_t extra = 0;
    for (auto _ : state) {
        const std::size_t before = allocatedNow.load();
        allocatedPeak = before;
        if (!SaveBitmapFile(output, picture, depth, nullptr)) return state.SkipWithError("write failed");
        extra = std::max(extra, allocatedPeak.load() - before);
    }
    std::remove(output.c_str());
    state.counters["extra_bytes"] = benchmark::Counter(double(extra));
    state.counters["picture_bytes"] = benchmark::Counter(8000.0 * 8000.0 * 4.0);
}
BENCHMARK(BM_SaveBitmapFilePeakMemory)->Arg(24)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
