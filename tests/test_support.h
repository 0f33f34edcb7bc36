#pragma once
// Helpers the tests share: a scratch directory of their own and byte builders.
#include <cstdint>
#include <string>
#include <vector>

// A fresh, empty directory for one test, removed by the next run of the same test.
std::string ScratchDir(const std::string& name);
// The path separator the platform's file names use.
std::string PathSep();
std::vector<std::uint8_t> ReadAll(const std::string& path);
void WriteAll(const std::string& path, const std::vector<std::uint8_t>& bytes);
void MakeDir(const std::string& path);
// Runs a command line through the shell; on Windows as wide text.
int RunCommand(const std::string& commandLine);

// File names that conversions through a code page lose or change: Hangul, an
// emoji outside the Basic Multilingual Plane, accented Latin, U+00A5 and U+FF3C
// (which best fit turns into "\"), a trailing U+FF0E (best fit: a trailing ".",
// which Windows drops), and a plain Japanese name that code page 932 holds.
inline const std::vector<std::string> kUnicodeNames{"한글😀.bmp", "Ünïcödé.bmp", "x¥y.bmp", "a＼b.bmp",
                                                    "end．", "日本語.bmp"};
// The same names with another extension for ".bmp".
inline std::vector<std::string> UnicodeNamesAs(const std::string& extension)
{
    std::vector<std::string> names;
    for (const std::string& name : kUnicodeNames)
        names.push_back(name.ends_with(".bmp") ? name.substr(0, name.size() - 4) + extension : name);
    return names;
}
// The name a crop of this file is written under: its extension (of three
// letters) replaced by ".bmp", or ".bmp" added.
inline std::string CropFileName(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    return (dot != std::string::npos && name.size() - dot == 4 ? name.substr(0, dot) : name) + ".bmp";
}

// Little-endian byte assembly.
struct Bytes {
    std::vector<std::uint8_t> data;
    Bytes& u8(unsigned v) { data.push_back(std::uint8_t(v)); return *this; }
    Bytes& u16(unsigned v) { return u8(v).u8(v >> 8); }
    Bytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& str(const std::string& s) { data.insert(data.end(), s.begin(), s.end()); return *this; }
    Bytes& fill(std::size_t n, unsigned v = 0) { data.insert(data.end(), n, std::uint8_t(v)); return *this; }
    std::size_t size() const { return data.size(); }
};
