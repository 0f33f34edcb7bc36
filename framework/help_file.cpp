#include "framework/help_file.h"

namespace {

void TrimTrailingBreaks(std::string& text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
}

}  // namespace

std::vector<THelpTopic> ParseHelpFile(std::string_view text)
{
    std::vector<THelpTopic> topics;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.starts_with("= ")) {
            if (!topics.empty()) TrimTrailingBreaks(topics.back().Text);
            topics.push_back({std::string(line.substr(2)), {}});
        } else if (!topics.empty()) {
            if (!topics.back().Text.empty() || !line.empty()) topics.back().Text.append(line).append("\r\n");
        }
        start = end + 1;
    }
    if (!topics.empty()) TrimTrailingBreaks(topics.back().Text);
    return topics;
}
