#pragma once
// The help file: UTF-8 text in topics. A line "= Title" begins a topic; the
// lines after it, up to the next such line, are its text. Lines before the first
// topic are the file's own notes and are not shown.
#include <string>
#include <string_view>
#include <vector>

struct THelpTopic {
    std::string Title;
    std::string Text;  // lines joined by "\r\n", without trailing blank lines
};

std::vector<THelpTopic> ParseHelpFile(std::string_view text);
