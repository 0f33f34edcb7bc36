#pragma once
// The separator rules behind the path helpers, as data, so that the rules of
// either platform can be exercised in any build.
#include <string>
#include <string_view>

struct TPathRules {
    // Directory separators; the first is the one FileAppendPath inserts.
    std::string_view Separators;
    // Drive separators: FileNamePart falls back to them when no directory
    // separator is found; FileAppendPath inserts nothing after one.
    std::string_view DriveSeparators;
};

// Windows accepts "/" as well as "\".
inline constexpr TPathRules WindowsPathRules{"\\/", ":"};
inline constexpr TPathRules PosixPathRules{"/", ""};

#ifdef _WIN32
inline constexpr const TPathRules& PlatformPathRules = WindowsPathRules;
#else
inline constexpr const TPathRules& PlatformPathRules = PosixPathRules;
#endif

namespace path_rules {

std::string FileNamePart(std::string_view path, const TPathRules& rules);
void FileAppendPath(std::string& path, std::string_view component, const TPathRules& rules);
std::string FileExtPart(std::string_view path, const TPathRules& rules);
void FileChangeExt(std::string& path, std::string_view extension, const TPathRules& rules);

}  // namespace path_rules
