// Seeds of the plug-in info target: a plug-in of one format, one of none, one
// whose first format lacks its pattern, one with a "|" in a description, and one
// that keeps answering every number.
#include <string>
#include <vector>

#include "fuzz/seed_folder.h"

int main(int argc, char** argv)
{
    const std::vector<TSeed> seeds = {
        {"one_format", SeedBytes(std::string("\0", 1) + "00IN\nTALVERN test plug-in\n*.tvd\nTest DIB")},
        {"no_formats", SeedBytes(std::string("\0", 1) + "00IN\nno formats")},
        {"patternless_first", SeedBytes(std::string("\0", 1) + "00IN\nnamed\n\x7F\nビットマップ\n*.B;*.b2\nB")},
        {"bar_in_description", SeedBytes(std::string("\0", 1) + "00IN\nbar\n*.a\nA|B\n*.c\nC")},
        {"keeps_answering", SeedBytes("\1" "00IN\nendless\n*.e")},
    };
    return WriteSeeds(argc, argv, seeds);
}
