#include "framework/path_ellipsis.h"

#include <cstddef>
#include <vector>

#include "framework/utf8.h"

namespace {

// The longest of the candidates 0 .. count - 1 that fits, or -1; the widths of
// the candidates grow with their number.
int LongestFitting(int count, int maxWidth, const std::function<int(int)>& widthOf)
{
    int low = 0, high = count - 1, best = -1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        if (widthOf(middle) <= maxWidth) {
            best = middle;
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    return best;
}

}  // namespace

std::string PathEllipsis(const std::string& path, int maxWidth,
                         const std::function<int(const std::string&)>& textWidth)
{
    if (textWidth(path) <= maxWidth) return path;
    std::vector<std::size_t> starts;  // where each character starts, then the end
    std::size_t nameStart = 0;        // at the last separator, which stays with the name
    for (std::size_t i = 0; i < path.size(); i = Utf8Next(path, i)) {
        starts.push_back(i);
        if (path[i] == '\\') nameStart = i;
    }
    starts.push_back(path.size());
    const std::string name = path.substr(nameStart);
    const std::string ellipsis = "...";

    int heads = 0;  // the heads that end at a character boundary before the name
    while (heads < int(starts.size()) && starts[std::size_t(heads)] <= nameStart) ++heads;
    const int head = LongestFitting(heads, maxWidth, [&](int n) {
        return textWidth(path.substr(0, starts[std::size_t(n)]) + ellipsis + name);
    });
    if (head >= 0) return path.substr(0, starts[std::size_t(head)]) + ellipsis + name;

    // The name alone is too wide: its end gives way instead.
    const int firstOfName = heads - 1;
    const int kept = LongestFitting(int(starts.size()) - firstOfName, maxWidth, [&](int n) {
        return textWidth(path.substr(nameStart, starts[std::size_t(firstOfName + n)] - nameStart) + ellipsis);
    });
    return kept >= 0 ? path.substr(nameStart, starts[std::size_t(firstOfName + kept)] - nameStart) + ellipsis
                     : std::string();
}
