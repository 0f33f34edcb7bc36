// Seeds of the text helpers' target: window-rectangle replies as the viewer
// sends them, signs and blanks, numbers past the int range, and colour-table
// words.
#include <vector>

#include "fuzz/seed_folder.h"

int main(int argc, char** argv)
{
    const std::vector<TSeed> seeds = {
        {"window_rect", SeedBytes("12,34,640,480,1")},
        {"blanks_and_signs", SeedBytes(" -\t5, + 7,-,+,\t")},
        {"out_of_range", SeedBytes("2147483648,-2147483649,99999999999999999999999,-0")},
        {"colour_table", {0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x80, 0x80, 0x80, 0x00, 0xFF, 0xFF, 0xFF, 0x00}},
    };
    return WriteSeeds(argc, argv, seeds);
}
