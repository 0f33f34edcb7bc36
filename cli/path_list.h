#pragma once
// The paths of a batch: those of the command line, then those of a list file,
// one per line, in UTF-8. A blank line names no file and is skipped; a line's own
// carriage return (a list written on Windows) is not part of its path, nor is the
// byte-order mark that editors on Windows put first.
#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TPathList {
public:
    // Both are read in place: they must outlive the list.
    TPathList(const std::vector<std::string>& arguments, std::istream* list) : arguments_(arguments), list_(list) {}

    // The next path, or none after the last.
    std::optional<std::string> Next();

    static constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

private:
    const std::vector<std::string>& arguments_;
    std::size_t argument_ = 0;
    std::istream* list_;
    bool firstLine_ = true;
};
