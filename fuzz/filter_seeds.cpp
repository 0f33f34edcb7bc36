// Seeds of the filter target: the image view's own filter and the joined one as
// GV's list (first byte even), and plug-in sets (odd): a plug-in of one format,
// one of none, one whose format lacks its pattern before a whole one, and one
// with a "|" inside a description.
#include <string>
#include <vector>

#include "fuzz/seed_folder.h"
#include "image/absent_reader.h"
#include "image/kxv_super_image.h"

int main(int argc, char** argv)
{
    kxvImage view;
    kxvSuperImage joined(std::make_unique<TAbsentReader>(), std::make_unique<TAbsentReader>());
    const std::string plugin = std::string("00IN\nTALVERN test plug-in\n*.tvd\nTest DIB");
    const std::string none = "00IN\nno formats";
    const std::string patternless = "00IN\nnamed\n\x7F\nビットマップ\n*.B;*.b2\nB";
    const std::string bar = "00IN\nbar\n*.a\nA|B\n*.c\nC";
    const std::vector<TSeed> seeds = {
        {"gv_view", SeedBytes('\0' + view.GetFilter())},
        {"gv_joined", SeedBytes('\0' + joined.GetFilter())},
        {"gv_description_only", SeedBytes('\0' + std::string("PNG|*.PNG|JPEG"))},
        {"plugins_one", SeedBytes('\1' + plugin)},
        {"plugins_set", SeedBytes('\1' + plugin + '\0' + none + '\0' + patternless + '\0' + bar)},
    };
    return WriteSeeds(argc, argv, seeds);
}
