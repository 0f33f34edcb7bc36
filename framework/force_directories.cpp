// ForceDirectories, over the platform's CreateDir and PathKind.
#include "framework/utf8.h"
#include "framework/file_system.h"

namespace {

#ifdef _WIN32
bool IsSeparator(char c) { return c == '\\' || c == '/'; }
#else
bool IsSeparator(char c) { return c == '/'; }
#endif

// The path without its last component and trailing separators; empty when
// nothing is left above it.
std::string ParentOf(const std::string& path)
{
    std::size_t end = path.size();
    std::size_t lastSeparator = std::string::npos;
    bool separatorRun = false;
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < end; i = Utf8Next(path, i)) {
        const bool single = Utf8Next(path, i) == i + 1;
        if (single && IsSeparator(path[i])) {
            if (!separatorRun) runStart = i;
            separatorRun = true;
        } else {
            if (separatorRun) lastSeparator = runStart;
            separatorRun = false;
        }
    }
    if (lastSeparator == std::string::npos) return {};
    return path.substr(0, lastSeparator == 0 ? 1 : lastSeparator);
}

}  // namespace

bool ForceDirectories(const std::string& path)
{
    if (path.empty()) return false;
    if (PathKind(path) == TPathKind::Directory) return true;
    const std::string parent = ParentOf(path);
    if (!parent.empty() && parent != path && parent.back() != ':' && PathKind(parent) != TPathKind::Directory)
        if (!ForceDirectories(parent)) return false;
    CreateDir(path);
    return PathKind(path) == TPathKind::Directory;
}
