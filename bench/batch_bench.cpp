// A batch as talvern-clip runs it, file after file in one process (its reader
// choice, the clip job, the BMP writer), beside the I/O floor of the same
// files: each input read whole (a GIF also decoded from memory, which its floor
// cannot go below), each output's bytes written to a new file.
// Plain C++ without the benchmark library, so that the Windows build runs it
// under Wine too: costs a long batch pays per file there (pixel memory, DIB
// sections, calls to the Wine server) show beside the floor's.
// Prints, per input kind, the median time per file of both and their ratio.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/clip_job.h"
#include "bench/bench_files.h"
#include "cli/clip_image.h"
#include "cli/console_clip_host.h"
#include "framework/bitmap.h"
#include "framework/streams.h"
#include "gif/kxv_gif.h"
#include "gif/gif_writer.h"
#include "image/bmp_file.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 40;
constexpr int kRounds = 7;

std::vector<std::uint8_t> GifBytes()
{
    return EncodeGif(DitheredPicture(1024, 768));
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Clips (and floors) kFiles copies of one input; false when something failed.
bool Measure(const std::string& kind, const std::string& directory, const std::string& extension, bool decodeGif)
{
    std::vector<std::string> inputs;
    for (int i = 0; i < kFiles; ++i) inputs.push_back(directory + "/in" + std::to_string(i) + extension);
    const std::string out = directory + "/out", floorOut = directory + "/floor";
    fs::create_directories(out);
    fs::create_directories(floorOut);

    TConsoleClipHost host({}, out);
    TClipImage image;
    TClipJob job(host, image);
    if (!job.ClipFile(inputs[0])) return false;
    const std::vector<char> outputBytes = ReadFile(out + "/in0.bmp");
    std::vector<char> buffer;
    kxvGIF gif;
    gif.UseDelay = false;
    TBitmap decoded;

    std::vector<double> clip, floor;
    for (int round = 0; round < kRounds; ++round) {
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kFiles; ++i) {
            const std::string target = out + "/in" + std::to_string(i) + ".bmp";
            std::remove(target.c_str());
            if (!job.ClipFile(inputs[std::size_t(i)])) return false;
        }
        clip.push_back(Seconds(start) / kFiles);

        start = std::chrono::steady_clock::now();
        for (int i = 0; i < kFiles; ++i) {
            buffer = ReadFile(inputs[std::size_t(i)]);
            if (decodeGif) {
                TCustomMemoryStream stream(buffer.data(), std::int64_t(buffer.size()));
                gif.LoadFromStream(stream, decoded);
            }
            const std::string target = floorOut + "/in" + std::to_string(i) + ".bmp";
            std::remove(target.c_str());
            if (buffer.empty() || !WriteFile(target, outputBytes.data(), outputBytes.size())) return false;
        }
        floor.push_back(Seconds(start) / kFiles);
    }
    const double c = Median(clip), f = Median(floor);
    std::printf("%-40s %6.2fx  (%.1f / %.1f us per file)\n", ("Batch" + kind).c_str(), c / f, c * 1e6, f * 1e6);
    return true;
}

}  // namespace

int main()
{
    const std::string directory =
        (fs::temp_directory_path() / ("talvern-batch-bench-" + std::to_string(std::rand()))).string();
    fs::create_directories(directory);
    TBitmap picture;
    picture.SetSize(1024, 768);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            picture.ScanLine(y)[x] = std::uint32_t((x * 255 / 1024) << 16 | (y * 255 / 768) << 8 | ((x ^ y) & 0xFF));
    const std::vector<std::uint8_t> gif = GifBytes();
    bool ok = true;
    for (int i = 0; i < kFiles && ok; ++i) {
        ok = SaveBitmapFile(directory + "/in" + std::to_string(i) + ".bmp", picture, 24, nullptr) &&
             WriteFile(directory + "/in" + std::to_string(i) + ".gif", gif.data(), gif.size());
    }
    std::printf("== %d files of 1024x768 cropped to 640x480+0+0, clip beside its I/O floor (median of %d rounds)\n",
                kFiles, kRounds);
    ok = ok && Measure("Bmp24", directory, ".bmp", false) && Measure("Gif256", directory, ".gif", true);
    std::error_code ignored;
    fs::remove_all(directory, ignored);
    if (!ok) std::printf("batch_bench: could not make or clip the inputs\n");
    return ok ? 0 : 1;
}
