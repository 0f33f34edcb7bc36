#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "framework/file_system.h"

TPathKind PathKind(const std::string& path)
{
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return TPathKind::NotFound;
    return S_ISDIR(st.st_mode) ? TPathKind::Directory : TPathKind::Other;
}

bool FileExists(const std::string& path)
{
    return PathKind(path) == TPathKind::Other;
}

bool CreateDir(const std::string& path)
{
    return !path.empty() && ::mkdir(path.c_str(), 0777) == 0;
}

bool RemoveFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

bool MoveFileOver(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool CopyFileMode(const std::string& from, const std::string& to)
{
    struct stat st {};
    return ::stat(from.c_str(), &st) == 0 && ::chmod(to.c_str(), st.st_mode & 07777) == 0;
}

std::string TemporarySibling(const std::string& path)
{
    for (unsigned serial = 0;; ++serial) {
        std::string candidate = path + ".~" + std::to_string(::getpid()) + "-" + std::to_string(serial) + ".tmp";
        struct stat st {};
        if (::lstat(candidate.c_str(), &st) != 0) return candidate;
    }
}

std::string FullPathName(const std::string& path)
{
    if (path.empty()) return {};
    if (path.front() == '/') return path;
    char cwd[PATH_MAX];
    if (!::getcwd(cwd, sizeof cwd)) return {};
    std::string dir(cwd);
    if (dir.back() != '/') dir += '/';
    return dir + path;
}

std::string ProgramPath()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}
