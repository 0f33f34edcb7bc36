#include <windows.h>

#include <string>

#include "framework/file_system.h"
#include "framework/win32/wide.h"

TPathKind PathKind(const std::string& path)
{
    if (path.empty()) return TPathKind::NotFound;
    const DWORD attributes = GetFileAttributesW(Cp932ToWide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return TPathKind::NotFound;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? TPathKind::Directory : TPathKind::Other;
}

bool FileExists(const std::string& path)
{
    return PathKind(path) == TPathKind::Other;
}

bool CreateDir(const std::string& path)
{
    return !path.empty() && CreateDirectoryW(Cp932ToWide(path).c_str(), nullptr) != FALSE;
}

bool RemoveFile(const std::string& path)
{
    return DeleteFileW(Cp932ToWide(path).c_str()) != FALSE;
}

bool MoveFileOver(const std::string& from, const std::string& to)
{
    return MoveFileExW(Cp932ToWide(from).c_str(), Cp932ToWide(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool CopyFileMode(const std::string& from, const std::string& to)
{
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    const DWORD source = GetFileAttributesW(Cp932ToWide(from).c_str());
    const std::wstring target = Cp932ToWide(to);
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
        if (GetFileAttributesW(Cp932ToWide(candidate).c_str()) == INVALID_FILE_ATTRIBUTES) return candidate;
    }
}

std::string FullPathName(const std::string& path)
{
    if (path.empty()) return {};
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetFullPathNameW(Cp932ToWide(path).c_str(), MAX_PATH, buffer, nullptr);
    if (n == 0 || n >= MAX_PATH) return {};
    return WideToCp932(std::wstring_view(buffer, n));
}

std::string ProgramPath()
{
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return WideToCp932(std::wstring_view(buffer, n));
}
