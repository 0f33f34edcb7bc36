#include "test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

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
    return fs::absolute(dir).make_preferred().string();
}

std::vector<std::uint8_t> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
