#pragma once
// The seed writers' common end: each seed is written, under its name, into the
// corpus folder named on the command line.
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

using TSeed = std::pair<std::string, std::vector<std::uint8_t>>;

inline std::vector<std::uint8_t> SeedBytes(const std::string& text) { return {text.begin(), text.end()}; }

// The program's exit status: 0 when every seed was written.
inline int WriteSeeds(int argc, char** argv, const std::vector<TSeed>& seeds)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS-FOLDER\n", argv[0]);
        return 2;
    }
    for (const auto& [name, bytes] : seeds) {
        const std::string path = std::string(argv[1]) + "/" + name;
        std::FILE* f = std::fopen(path.c_str(), "wb");
        const bool written = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        const bool closed = f && std::fclose(f) == 0;
        if (!written || !closed) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
