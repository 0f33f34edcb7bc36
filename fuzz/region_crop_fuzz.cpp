// talvern-clip's region loads on arbitrary bytes: the first four bytes give the
// rectangle (left and top as signed bytes, width and height), the rest is the
// file. It is cropped from the whole picture, as the window crops, and from a
// region load: whenever the whole picture's crop is written, the region's must
// be too, byte for byte the same. (A region load may succeed where the whole
// load fails: RLE data broken above the region, or a last GIF frame broken
// below it, is never decoded.)
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/clip_job.h"
#include "cli/clip_image.h"
#include "cli/console_clip_host.h"
#include "fuzz/bmp_picture_size.h"
#include "test_support.h"

namespace {

std::string Scratch(const std::string& name)
{
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/region_crop_fuzz." + std::to_string(getpid()) + name;
}

// The fuzz build's bitmap limit. Pictures above it are refused whole there, but
// up to the program's limit they decode at length in the corpus replay: there
// their whole crop is left out, so that an input checks the same wherever it
// runs. Their region load, which takes only the rectangle, still runs.
constexpr std::int64_t WholePictureLimit = std::int64_t{1} << 18;

std::int64_t DeclaredPixels(const std::uint8_t* file, std::size_t size)
{
    if (size >= 10 && std::memcmp(file, "GIF", 3) == 0)
        return std::int64_t(file[6] | file[7] << 8) * (file[8] | file[9] << 8);
    return DeclaredBmpPixels(file, size);
}

// One crop of the input, with or without a region load.
struct Cropper {
    explicit Cropper(bool region)
        : directory(Scratch(region ? ".region" : ".whole")), host({}, directory), job(host, image)
    {
        mkdir(directory.c_str(), 0700);
        job.LoadRegionsOnly = region;
    }
    // The crop's bytes, or none when it was not written.
    std::vector<std::uint8_t> Crop(const std::string& input, const kxRect& rect)
    {
        const std::string output = TClipJob::OutputName(input, directory);
        std::remove(output.c_str());
        job.ClipRect = rect;
        return job.ClipFile(input) ? ReadAll(output) : std::vector<std::uint8_t>{};
    }
    std::string directory;
    TConsoleClipHost host;
    TClipImage image;
    TClipJob job;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4) return 0;
    static const std::string input = Scratch(".in");
    // Made for each input, so that every run frees what it took: the leak check
    // then runs only on a real leak, not after every input on the whole heap.
    Cropper whole(false), region(true);
    if (std::FILE* f = std::fopen(input.c_str(), "wb")) {
        if (size > 4) std::fwrite(data + 4, 1, size - 4, f);
        std::fclose(f);
    } else {
        std::abort();
    }
    const int left = std::int8_t(data[0]), top = std::int8_t(data[1]);
    const kxRect rect(left, top, left + data[2], top + data[3]);
    const std::int64_t pixels = DeclaredPixels(data + 4, size - 4);
    const bool cropWhole = pixels <= WholePictureLimit || pixels > MaxBitmapPixels;
    const std::vector<std::uint8_t> fromWhole = cropWhole ? whole.Crop(input, rect) : std::vector<std::uint8_t>{};
    const std::vector<std::uint8_t> fromRegion = region.Crop(input, rect);
    if (!fromWhole.empty() && fromRegion != fromWhole) std::abort();
    return 0;
}
