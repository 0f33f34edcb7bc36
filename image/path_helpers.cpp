#include "image/path_helpers.h"

#include "framework/application.h"
#include "framework/utf8.h"
#include "framework/file_system.h"
#include "image/path_rules.h"

namespace {

constexpr std::size_t None = std::string_view::npos;

bool IsOneOf(char c, std::string_view set)
{
    return set.find(c) != std::string_view::npos;
}

// Positions of the last single-byte character of each kind, found by walking
// the text character by character.
struct TSeparatorScan {
    std::size_t LastSeparator = None;
    std::size_t LastDrive = None;
    std::size_t LastDot = None;
    std::size_t LastDotInName = None;  // a "." after the last separator of either kind
    std::size_t LastCharStart = None;
};

TSeparatorScan Scan(std::string_view path, const TPathRules& rules)
{
    TSeparatorScan scan;
    for (std::size_t i = 0; i < path.size(); i = Utf8Next(path, i)) {
        scan.LastCharStart = i;
        if (Utf8Next(path, i) != i + 1) continue;  // a multi-byte character
        const char c = path[i];
        if (IsOneOf(c, rules.Separators)) {
            scan.LastSeparator = i;
            scan.LastDotInName = None;
        } else if (IsOneOf(c, rules.DriveSeparators)) {
            scan.LastDrive = i;
            scan.LastDotInName = None;
        } else if (c == '.') {
            scan.LastDot = i;
            scan.LastDotInName = i;
        }
    }
    return scan;
}

}  // namespace

namespace path_rules {

std::string FileNamePart(std::string_view path, const TPathRules& rules)
{
    const TSeparatorScan scan = Scan(path, rules);
    const std::size_t cut = scan.LastSeparator != None ? scan.LastSeparator : scan.LastDrive;
    return std::string(cut == None ? path : path.substr(cut + 1));
}

void FileAppendPath(std::string& path, std::string_view component, const TPathRules& rules)
{
    // Separators are single bytes, so a leading one cannot be inside a character.
    std::size_t start = 0;
    while (start < component.size() && IsOneOf(component[start], rules.Separators)) ++start;
    if (!path.empty()) {
        const TSeparatorScan scan = Scan(path, rules);
        const bool endsInSeparator = scan.LastCharStart == path.size() - 1 &&
                                     (IsOneOf(path.back(), rules.Separators) ||
                                      IsOneOf(path.back(), rules.DriveSeparators));
        if (!endsInSeparator) path += rules.Separators.front();
    }
    path.append(component.substr(start));
}

std::string FileExtPart(std::string_view path, const TPathRules& rules)
{
    const TSeparatorScan scan = Scan(path, rules);
    return scan.LastDot == None ? std::string() : std::string(path.substr(scan.LastDot + 1));
}

void FileChangeExt(std::string& path, std::string_view extension, const TPathRules& rules)
{
    // Only a "." in the last name counts here: one in a directory name must not
    // turn "C:\A.B\FILE" into "C:\A.HLP".
    const TSeparatorScan scan = Scan(path, rules);
    if (scan.LastDotInName != None && scan.LastDotInName + 1 < path.size())
        path.erase(scan.LastDotInName + 1);
    else
        path += '.';
    if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
    path.append(extension);
}

}  // namespace path_rules

std::string FileNamePart(const std::string& path)
{
    return path_rules::FileNamePart(path, PlatformPathRules);
}

std::string& FileAppendPath(std::string& path, const std::string& component)
{
    path_rules::FileAppendPath(path, component, PlatformPathRules);
    return path;
}

std::string FileExtPart(const std::string& path)
{
    return path_rules::FileExtPart(path, PlatformPathRules);
}

void FileChangeExt(std::string& path, const std::string& extension)
{
    path_rules::FileChangeExt(path, extension, PlatformPathRules);
}

std::string FileFullPath(const std::string& path)
{
    if (path.empty()) return {};
    return FullPathName(path);
}

void FileSetHelp(const std::string& helpFile)
{
    if (!helpFile.empty()) {
        Application().HelpFile = helpFile;
        return;
    }
    std::string name = ProgramPath();
    FileChangeExt(name, "HLP");
    Application().HelpFile = name;
}
