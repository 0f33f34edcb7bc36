// The list of --files-from on arbitrary bytes, behind one path of the command
// line. The command line's path must come first, unchanged; then every line of
// the list, in order, without its line end (LF, and a CR before it or at the
// list's end), and the first line without a leading byte-order mark; the lines
// left empty are skipped, and nothing else is added or lost.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/path_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> expected{"given.bmp"};
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line(text.data() + start, end - start);
        if (start == 0 && line.starts_with(TPathList::kByteOrderMark)) line.remove_prefix(TPathList::kByteOrderMark.size());
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (!line.empty()) expected.emplace_back(line);
        start = end + 1;
    }

    const std::vector<std::string> arguments{"given.bmp"};
    std::istringstream list(text);
    TPathList paths(arguments, &list);
    std::vector<std::string> yielded;
    while (std::optional<std::string> path = paths.Next()) {
        if (yielded.size() > expected.size()) std::abort();
        yielded.push_back(*path);
    }
    if (yielded != expected || paths.Next()) std::abort();
    return 0;
}
