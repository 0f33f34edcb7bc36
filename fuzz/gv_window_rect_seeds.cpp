// Seeds of GV's window rectangle target: replies as GV sends them, a separator
// of two characters, a short reply, and edges past the coordinate range.
#include <vector>

#include "fuzz/seed_folder.h"

int main(int argc, char** argv)
{
    const std::vector<TSeed> seeds = {
        {"reply", SeedBytes("10, 20, 300, 200, 1")},
        {"wide_separator", SeedBytes("10 ,20,300,200,1")},
        {"short", SeedBytes("-7,5")},
        {"past_the_range", SeedBytes("2147483647,-2147483648,1,-1,0")},
    };
    return WriteSeeds(argc, argv, seeds);
}
