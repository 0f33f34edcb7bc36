// Seeds of the path helpers' target: first byte 1 for the Windows rules, 0 for
// the others; a path, a zero byte, a component or extension. Double-byte names
// whose second byte is that of "\" or "|".
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
        Seed("trail_backslash", true, "C:\\\x83\x5C\\\x83\x5C.GIF", "\\sub\\x.bmp"),
        Seed("drive_only", true, "C:", "name.bmp"),
        Seed("posix", false, "/x/a.b/file.gif", "bmp"),
        Seed("trailing_dot", false, "out/name.", "//a"),
    };
    return WriteSeeds(argc, argv, seeds);
}
