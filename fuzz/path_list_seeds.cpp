// Seeds of the --files-from target: a list as Windows editors write it (a
// byte-order mark, CR LF), one as Linux tools do, blank lines and a byte-order
// mark that is not at the start.
#include <vector>

#include "fuzz/seed_folder.h"

int main(int argc, char** argv)
{
    const std::vector<TSeed> seeds = {
        {"windows", SeedBytes("\xEF\xBB\xBF" "C:\\写真\\a.gif\r\nC:\\b.bmp\r\n")},
        {"linux", SeedBytes("/home/me/a.gif\n/home/me/b c.bmp")},
        {"blank_lines", SeedBytes("\n\r\n\xEF\xBB\xBF\n\r\r\nlast\r")},
        {"bom_later", SeedBytes("a.bmp\n\xEF\xBB\xBF" "b.bmp\n")},
    };
    return WriteSeeds(argc, argv, seeds);
}
