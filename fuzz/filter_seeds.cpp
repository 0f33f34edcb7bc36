// Seeds of the filter target: the image view's own filter and the joined one,
// each as GV's list (first byte even) and as the plug-ins' (odd), and lists
// whose double-byte characters end in the byte of "|".
#include <string>
#include <vector>

#include "fuzz/seed_folder.h"
#include "image/absent_reader.h"
#include "image/kxv_super_image.h"

int main(int argc, char** argv)
{
    kxvImage view;
    kxvSuperImage joined(std::make_unique<TAbsentReader>(), std::make_unique<TAbsentReader>());
    const std::vector<std::pair<std::string, std::string>> lists = {
        {"view", view.GetFilter()},
        {"joined", joined.GetFilter()},
        {"trail_bar", "\x83\x7C\x83\x7C|*.\x83\x7C;*.A|\x83|*.B"},
        {"description_only", "PNG|*.PNG|JPEG"},
    };
    std::vector<TSeed> seeds;
    for (const auto& [name, list] : lists) {
        seeds.emplace_back("gv_" + name, SeedBytes('\0' + list));
        seeds.emplace_back("plugins_" + name, SeedBytes('\1' + list));
    }
    return WriteSeeds(argc, argv, seeds);
}
