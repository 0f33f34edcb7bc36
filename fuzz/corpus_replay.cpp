// Runs a fuzz target's checks once over each file of its kept corpus, without
// libFuzzer: the ordinary test build links this main to every target, so that a
// change which breaks a target's invariants on an input found before fails the
// tests. A check that fails aborts, as it does under the fuzzer.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "test_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS-FOLDER\n", argv[0]);
        return 2;
    }
    std::vector<std::filesystem::path> inputs;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1], error))
        if (entry.is_regular_file()) inputs.push_back(entry.path());
    if (error || inputs.empty()) {
        std::fprintf(stderr, "%s: no inputs to replay\n", argv[1]);
        return 1;
    }
    std::sort(inputs.begin(), inputs.end());
    for (const auto& path : inputs) {
        const std::vector<std::uint8_t> bytes = ReadAll(path.string());
        if (bytes.size() != std::filesystem::file_size(path, error) || error) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            return 1;
        }
        // The fuzzer never hands a target a null pointer, not even for an empty input.
        const std::uint8_t none = 0;
        LLVMFuzzerTestOneInput(bytes.empty() ? &none : bytes.data(), bytes.size());
    }
    std::printf("replayed %zu inputs\n", inputs.size());
    return 0;
}
