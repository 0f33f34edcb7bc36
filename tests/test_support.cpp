#include "test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

// Paths are the program's UTF-8 text; std::filesystem takes and gives them as such.
fs::path FromUtf8(const std::string& path)
{
    return fs::path(std::u8string(path.begin(), path.end()));
}

std::string ToUtf8(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

std::string PathSep()
{
#ifdef _WIN32
    return "\\";
#else
    return "/";
#endif
}

std::string ScratchDir(const std::string& name)
{
    const char* root = std::getenv("TALVERN_TEST_TMP");
    fs::path dir = fs::path(root && *root ? root : fs::temp_directory_path().string()) / name;
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    fs::create_directories(dir);
    return ToUtf8(fs::absolute(dir).make_preferred());
}

std::vector<std::uint8_t> ReadAll(const std::string& path)
{
    std::ifstream in(FromUtf8(path), std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(FromUtf8(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void MakeDir(const std::string& path)
{
    fs::create_directories(FromUtf8(path));
}

int RunCommand(const std::string& commandLine)
{
#ifdef _WIN32
    // The wide command line, so that every name reaches the program as it is.
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, commandLine.data(), int(commandLine.size()),
                                      nullptr, 0);
    std::wstring wide(std::size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, commandLine.data(), int(commandLine.size()), wide.data(), n);
    return _wsystem(wide.c_str());
#else
    return std::system(commandLine.c_str());
#endif
}
