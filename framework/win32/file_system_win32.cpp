#include <windows.h>

#include <string>

#include "framework/exceptions.h"
#include "framework/file_system.h"
#include "framework/win32/wide.h"

namespace {

// Text that is not UTF-8 names no file: it becomes the empty name, which every
// file call refuses.
std::wstring WideName(const std::string& path)
{
    try {
        return Utf8ToWide(path);
    } catch (const EConvertError&) {
        return {};
    }
}

}  // namespace

TPathKind PathKind(const std::string& path)
{
    if (path.empty()) return TPathKind::NotFound;
    const DWORD attributes = GetFileAttributesW(WideName(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return TPathKind::NotFound;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? TPathKind::Directory : TPathKind::Other;
}

bool FileExists(const std::string& path)
{
    return PathKind(path) == TPathKind::Other;
}

bool CreateDir(const std::string& path)
{
    return !path.empty() && CreateDirectoryW(WideName(path).c_str(), nullptr) != FALSE;
}

bool RemoveFile(const std::string& path)
{
    return DeleteFileW(WideName(path).c_str()) != FALSE;
}

bool MoveFileOver(const std::string& from, const std::string& to)
{
    return MoveFileExW(WideName(from).c_str(), WideName(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool CopyFileMode(const std::string& from, const std::string& to)
{
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    const DWORD source = GetFileAttributesW(WideName(from).c_str());
    const std::wstring target = WideName(to);
    const DWORD current = GetFileAttributesW(target.c_str());
    if (source == INVALID_FILE_ATTRIBUTES || current == INVALID_FILE_ATTRIBUTES) return false;
    const DWORD wanted = (current & ~kept) | (source & kept);
    return wanted == current || SetFileAttributesW(target.c_str(), wanted) != FALSE;
}

std::string TemporarySibling(const std::string& path)
{
    const std::string pid = std::to_string(GetCurrentProcessId());
    for (unsigned serial = 0;; ++serial) {
        std::string candidate = path + ".~" + pid + "-" + std::to_string(serial) + ".tmp";
        if (GetFileAttributesW(WideName(candidate).c_str()) == INVALID_FILE_ATTRIBUTES) return candidate;
    }
}

std::string FullPathName(const std::string& path)
{
    if (path.empty()) return {};
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetFullPathNameW(WideName(path).c_str(), MAX_PATH, buffer, nullptr);
    if (n == 0 || n >= MAX_PATH) return {};
    return WideToUtf8(std::wstring_view(buffer, n));
}

std::string ProgramPath()
{
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return WideToUtf8(std::wstring_view(buffer, n));
}
