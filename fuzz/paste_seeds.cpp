// Seeds of the paste target: lists as the clip list copies them (CR LF after
// every name), with the other line ends, double-byte names, and one longer
// than the paste limit whose double-byte character straddles the limit.
#include <string>
#include <vector>

#include "app/clip_list.h"
#include "fuzz/seed_folder.h"

int main(int argc, char** argv)
{
    std::string copied;
    for (const char* name : {"C:\\pictures\\a.bmp", "C:\\\x89\xE6\x91\x9C\\\x83\x5C.gif", "b.GIF"})
        copied += std::string(name) + "\r\n";
    std::string longList;
    while (longList.size() + 20 < TClipList::kPasteLimit) longList += "C:\\dir\\long_name.bmp\n";
    longList.resize(TClipList::kPasteLimit - 1, 'x');
    longList += "\x83\x5C\r\nafter.bmp";
    const std::vector<TSeed> seeds = {
        {"copied", SeedBytes(copied)},
        {"mixed_ends", SeedBytes("a.bmp\rb.bmp\nc.bmp\r\n\r\nd.bmp")},
        {"lead_byte_before_end", SeedBytes("\x81\r\n\x81\n\x81")},
        {"long", SeedBytes(longList)},
    };
    return WriteSeeds(argc, argv, seeds);
}
