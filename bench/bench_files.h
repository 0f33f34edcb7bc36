#pragma once
// Whole-file reads and writes, the benchmarks' own I/O and the floor that the
// clip is measured against: the C library natively, the system's file calls on
// Windows (under Wine the C library's streams add calls and copies of their own,
// which a floor must not include).
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include "framework/win32/handles.h"
#endif

// Reads the whole file into `bytes`, whose memory is kept when it is large
// enough (a floor that took new memory per file would pay for fresh pages, and
// one that cleared it for writing it twice); false, with `bytes` empty, when it
// cannot be read whole.
inline bool ReadFileInto(const std::string& path, std::vector<char>& bytes)
{
#ifdef _WIN32
    const UniqueFile file(
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > MAXDWORD) {
        bytes.clear();
        return false;
    }
    bytes.resize(std::size_t(size.QuadPart));  // kept bytes are not cleared
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes.data(), DWORD(bytes.size()), &got, nullptr) || got != bytes.size()) bytes.clear();
#else
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        bytes.clear();
        return false;
    }
    std::fseek(f, 0, SEEK_END);
    bytes.resize(std::size_t(std::ftell(f)));  // kept bytes are not cleared
    std::fseek(f, 0, SEEK_SET);
    if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) bytes.clear();
    std::fclose(f);
#endif
    return !bytes.empty();
}

// The file's bytes; empty when it cannot be read whole.
inline std::vector<char> ReadFile(const std::string& path)
{
    std::vector<char> bytes;
    ReadFileInto(path, bytes);
    return bytes;
}

// Under Wine, creating a file over an old one, or with the disposition that
// would, costs several times creating a new one: a new file is made when the
// name is free, as the floor's round and the clip path's leave it.
inline bool WriteFile(const std::string& path, const void* data, std::size_t size)
{
#ifdef _WIN32
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file && GetLastError() == ERROR_FILE_EXISTS)
        file.reset(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD put = 0;
    const bool ok = file && size <= MAXDWORD && ::WriteFile(file.get(), data, DWORD(size), &put, nullptr) && put == size;
    return file && CloseHandle(file.release()) && ok;
#else
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
#endif
}
