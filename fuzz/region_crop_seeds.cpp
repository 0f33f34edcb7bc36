// Writes the region tests' BMP and GIF files into the folder named on the
// command line, each behind a rectangle inside its picture: the seeds of
// region_crop_fuzz.
#include <cstdio>
#include <string>

#include "cli/region_corpus.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS-FOLDER\n", argv[0]);
        return 2;
    }
    for (const TRegionSample& sample : RegionSamples()) {
        if (sample.Bytes.size() > 16000) continue;  // past the fuzzer's length
        const unsigned char rect[4] = {std::uint8_t(sample.Width / 4), std::uint8_t(sample.Height / 3),
                                       std::uint8_t(sample.Width / 2), std::uint8_t(sample.Height / 2)};
        const std::string path = std::string(argv[1]) + "/" + sample.Name;
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(rect, 1, 4, f) != 4 ||
            std::fwrite(sample.Bytes.data(), 1, sample.Bytes.size(), f) != sample.Bytes.size() || std::fclose(f) != 0) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
