#pragma once
// Whole-file reads and writes with the C library, the benchmarks' own I/O.
#include <cstdio>
#include <string>
#include <vector>

// Reads the whole file into `bytes`, whose memory is kept when it is large
// enough (a floor that took new memory per file would pay for fresh pages);
// false, with `bytes` empty, when it cannot be read whole.
inline bool ReadFileInto(const std::string& path, std::vector<char>& bytes)
{
    bytes.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::fseek(f, 0, SEEK_END);
    bytes.resize(std::size_t(std::ftell(f)));
    std::fseek(f, 0, SEEK_SET);
    if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) bytes.clear();
    std::fclose(f);
    return !bytes.empty();
}

// The file's bytes; empty when it cannot be read whole.
inline std::vector<char> ReadFile(const std::string& path)
{
    std::vector<char> bytes;
    ReadFileInto(path, bytes);
    return bytes;
}

inline bool WriteFile(const std::string& path, const void* data, std::size_t size)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}
