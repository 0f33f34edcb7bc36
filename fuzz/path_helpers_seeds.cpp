// Seeds of the path helpers' target: first byte 1 for the Windows rules, 0 for
// the others; a path, a zero byte, a component or extension. Names of UTF-8
// characters, and bytes that start no well-formed character before a "\".
#include <string>
#include <vector>

#include "fuzz/seed_folder.h"

namespace {

TSeed Seed(const std::string& name, bool windows, const std::string& path, const std::string& other)
{
    return {name, SeedBytes(std::string(1, windows ? '\1' : '\0') + path + '\0' + other)};
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<TSeed> seeds = {
        Seed("program", true, "C:\\P\\APP.EXE", "HLP"),
        Seed("dotted_directory", true, "C:\\A.B\\FILE", ".bmp"),
        Seed("multi_byte", true, "C:\\表\\ソ.GIF", "\\sub\\x.bmp"),
        Seed("malformed_before_separator", true, "C:\\\xE3\x83\\\x83\x5C.GIF", "x"),
        Seed("drive_only", true, "C:", "name.bmp"),
        Seed("posix", false, "/x/a.b/file.gif", "bmp"),
        Seed("trailing_dot", false, "out/name.", "//a"),
    };
    return WriteSeeds(argc, argv, seeds);
}
