#include "cli/path_list.h"

std::optional<std::string> TPathList::Next()
{
    if (argument_ < arguments_.size()) return arguments_[argument_++];
    std::string line;
    while (list_ && std::getline(*list_, line)) {
        if (firstLine_ && line.starts_with(kByteOrderMark)) line.erase(0, kByteOrderMark.size());
        firstLine_ = false;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) return line;
    }
    return std::nullopt;
}
