#include "external/spi_format_list.h"

namespace spi {

TVersionInfo ReadVersionInfo(std::string_view text)
{
    const auto byte = [text](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0; };
    TVersionInfo version;
    version.pluginType = static_cast<std::uint16_t>(byte(2) | byte(3) << 8);
    version.apiVersion = static_cast<std::uint16_t>(((byte(0) - 48) * 16 + (byte(1) - 48)) & 0xFF);
    return version;
}

std::string FormatFilter(const TInfoText& info)
{
    std::string filter;
    for (int n = 1; n <= kMaxFormats; ++n) {
        const std::optional<std::string> description = info(2 * n + 1);
        if (!description) break;
        const std::optional<std::string> pattern = info(2 * n);
        if (!pattern || pattern->empty()) continue;
        if (description->find('|') != std::string::npos || pattern->find('|') != std::string::npos) continue;
        AppendFilter(filter, *description + "|" + *pattern);
    }
    return filter;
}

void AppendFilter(std::string& joined, std::string_view part)
{
    if (part.empty()) return;
    if (!joined.empty()) joined += '|';
    joined += part;
}

}  // namespace spi
