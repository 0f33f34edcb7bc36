// A batch as talvern-clip runs it, file after file in one process (its reader
// choice, the clip job, the BMP writer), beside the I/O floor of the same
// files (bench/batch_rounds.h).
// Plain C++ without the benchmark library, so that the Windows build runs it
// under Wine too: costs a long batch pays per file there (pixel memory, DIB
// sections, calls to the Wine server) show beside the floor's.
// Prints, per input kind, the median time per file of both and their ratio,
// and beside them the same job loading whole pictures (as the window does, and
// talvern-clip did before it loaded regions).
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/batch_rounds.h"
#include "cli/clip_image.h"
#include "cli/console_clip_host.h"

namespace {

namespace fs = std::filesystem;

// Clips (and floors) the copies of one input kind; false when something failed.
bool Measure(const std::string& kind, const std::string& directory, const std::string& extension, bool decodeGif)
{
    const std::vector<std::string> inputs = BatchInputs(directory, extension);
    const std::string out = BatchPath(directory, "out"), floorOut = BatchPath(directory, "floor");
    fs::create_directories(out);
    fs::create_directories(floorOut);

    TConsoleClipHost host({}, out);
    TClipImage image, wholeImage;
    TClipJob job(host, image), wholeJob(host, wholeImage);
    job.LoadRegionsOnly = true;
    if (!job.ClipFile(inputs[0])) return false;
    const std::vector<char> outputBytes = ReadFile(BatchOutput(out, 0));
    TBatchFloor floorRound(decodeGif);

    std::vector<double> clip, whole, floor;
    for (int round = 0; round < kBatchRounds; ++round) {
        auto start = std::chrono::steady_clock::now();
        if (!ClipRound(job, inputs, out)) return false;
        clip.push_back(SecondsSince(start) / kBatchFiles);

        start = std::chrono::steady_clock::now();
        if (!ClipRound(wholeJob, inputs, out)) return false;
        whole.push_back(SecondsSince(start) / kBatchFiles);

        start = std::chrono::steady_clock::now();
        if (!floorRound.Round(inputs, floorOut, outputBytes)) return false;
        floor.push_back(SecondsSince(start) / kBatchFiles);
    }
    const double c = Median(clip), w = Median(whole), f = Median(floor);
    std::printf("%-40s %6.2fx  (%.1f / %.1f us per file)   whole-picture loads %6.2fx  (%.1f us)\n",
                ("Batch" + kind).c_str(), c / f, c * 1e6, f * 1e6, w / f, w * 1e6);
    return true;
}

}  // namespace

int main()
{
    const std::string directory = MakeBatchDirectory("talvern-batch-bench-");
    bool ok = MakeBatchInputs(directory);
    std::printf("== %d files of 1024x768 cropped to 640x480+0+0, clip beside its I/O floor (median of %d rounds)\n",
                kBatchFiles, kBatchRounds);
    ok = ok && Measure("Bmp24", directory, ".bmp", false) && Measure("Gif256", directory, ".gif", true);
    std::error_code ignored;
    fs::remove_all(directory, ignored);
    if (!ok) std::printf("batch_bench: could not make or clip the inputs\n");
    return ok ? 0 : 1;
}
