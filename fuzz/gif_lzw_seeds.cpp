// Writes the LZW fuzzer's seeds into the folder named on the command line: code
// streams of the tests' encoder behind the four bytes of settings (minimum code
// size, row width, rows wanted), and a few steps for the code table mode.
#include <vector>

#include "fuzz/seed_folder.h"
#include "gif/gif_writer.h"

namespace {

std::vector<std::uint8_t> Pixels(int count, int colors, int period = 0)
{
    std::vector<std::uint8_t> out(static_cast<std::size_t>(count));
    unsigned seed = 11;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        out[std::size_t(i)] = std::uint8_t(period ? (i % period) % colors : (seed >> 16) % unsigned(colors));
    }
    return out;
}

std::vector<std::uint8_t> Seed(int minimumCodeSize, int width, int rows, const std::vector<std::uint8_t>& pixels,
                               const LzwOptions& options = {}, int blockSize = 255)
{
    std::vector<std::uint8_t> seed{std::uint8_t(minimumCodeSize), std::uint8_t(width), std::uint8_t(width >> 8),
                                   std::uint8_t(rows)};
    const auto data = SubBlocks(LzwCompress(pixels, minimumCodeSize, options), blockSize);
    seed.insert(seed.end(), data.begin(), data.end());
    return seed;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<TSeed> seeds;
    seeds.emplace_back("random4.lzw", Seed(2, 12, 0, Pixels(108, 4)));
    seeds.emplace_back("random256.lzw", Seed(8, 100, 0, Pixels(3000, 256), {}, 17));
    seeds.emplace_back("uniform_tall.lzw", Seed(1, 16, 0, std::vector<std::uint8_t>(16 * 600, 1)));
    seeds.emplace_back("stopped_early.lzw", Seed(3, 9, 4, Pixels(90, 8, 7)));
    seeds.emplace_back("full_table.lzw", Seed(4, 1024, 0, Pixels(12000, 16, 37), {.clearWhenFull = false}));
    seeds.emplace_back("no_end_code.lzw", Seed(2, 5, 0, Pixels(40, 4), {.leadingClear = false, .endCode = false}));
    // Table mode: a chain of entries from root 1, then writes of them.
    std::vector<std::uint8_t> table{16 | 2, 10, 0, 0};
    for (int i = 0; i < 20; ++i) table.insert(table.end(), {std::uint8_t(i == 0 ? 1 : i + 3), 0, std::uint8_t(2 | i << 2)});
    for (int i = 0; i < 20; ++i) table.insert(table.end(), {std::uint8_t(i * 3), 0, 0});
    table.insert(table.end(), {0, 0, 3});
    seeds.emplace_back("table.lzw", table);
    return WriteSeeds(argc, argv, seeds);
}
