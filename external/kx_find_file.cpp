#include "external/kx_find_file.h"

#include <algorithm>
#include <cstring>

#include "framework/cp932.h"
#include "framework/win32/wide.h"
#include "image/path_helpers.h"

namespace {

constexpr std::uint16_t kOnlyListable = 0xFFE8;  // all but read-only, hidden, system, directory
constexpr DWORD kDirectory = FILE_ATTRIBUTE_DIRECTORY;

void CopyName(char* field, std::size_t fieldSize, const std::string& name)
{
    const std::size_t n = std::min(name.size(), fieldSize - 1);
    std::memcpy(field, name.data(), n);
    field[n] = '\0';
}

// The directory part of a path: up to and including its last separator, stepping
// over double-byte characters.
std::string DirectoryPart(const std::string& path)
{
    const std::string name = FileNamePart(path);
    return path.substr(0, path.size() - name.size());
}

}  // namespace

kxFindFile::kxFindFile(const std::string& pattern, bool recursive) : Recursive(recursive)
{
    Find("", pattern);
}

bool kxFindFile::Find(const std::string& startDir, const std::string& mask)
{
    Handle.reset();
    StartDir = startDir;
    Mask = mask;
    PendingDirs.clear();
    Child.reset();
    FirstPending = false;
    if (Recursive) {
        kxFindFile dirs;
        dirs.Recursive = false;
        dirs.ExcludeAttributes = kOnlyListable;
        dirs.Find(startDir, "*.*");
        while (dirs.Next()) {
            if (!(dirs.FindData.dwFileAttributes & kDirectory)) continue;
            if (!PendingDirs.empty()) PendingDirs += ';';
            PendingDirs += dirs.FoundName();
        }
    }
    std::string pattern = startDir;
    FileAppendPath(pattern, mask);
    if (!pattern.empty()) {
        WIN32_FIND_DATAW found{};
        Handle.reset(FindFirstFileW(Cp932ToWide(pattern).c_str(), &found));
        if (Handle) Store(found);
    }
    FirstPending = static_cast<bool>(Handle);
    return FirstPending;
}

void kxFindFile::Store(const WIN32_FIND_DATAW& found)
{
    FindData.dwFileAttributes = found.dwFileAttributes;
    FindData.ftCreationTime = found.ftCreationTime;
    FindData.ftLastAccessTime = found.ftLastAccessTime;
    FindData.ftLastWriteTime = found.ftLastWriteTime;
    FindData.nFileSizeHigh = found.nFileSizeHigh;
    FindData.nFileSizeLow = found.nFileSizeLow;
    CopyName(FindData.cFileName, sizeof FindData.cFileName, WideToCp932(found.cFileName));
    CopyName(FindData.cAlternateFileName, sizeof FindData.cAlternateFileName, WideToCp932(found.cAlternateFileName));
}

bool kxFindFile::Next()
{
    for (;;) {
        bool fromChild = false;
        if (FirstPending) {
            FirstPending = false;
        } else if (Child) {
            if (!ChildStep()) return false;
            fromChild = true;
        } else if (!Fetch()) {
            if (!ChildStep()) return false;
            fromChild = true;
        }
        const char* name = FindData.cFileName;
        if (FindData.dwFileAttributes & ExcludeAttributes) continue;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        if (fromChild) return true;  // the child made its name a full path already
        if (Accept()) return true;
    }
}

bool kxFindFile::Fetch()
{
    if (Handle) {
        WIN32_FIND_DATAW found{};
        if (FindNextFileW(Handle.get(), &found)) {
            Store(found);
            return true;
        }
        Handle.reset();
    }
    return false;
}

bool kxFindFile::Accept()
{
    if (FindData.cAlternateFileName[0] == '\0' && std::strlen(FindData.cFileName) < 13)
        CopyName(FindData.cAlternateFileName, sizeof FindData.cAlternateFileName, FindData.cFileName);
    std::string joined = StartDir;
    FileAppendPath(joined, Mask);
    const std::string full = FileFullPath(DirectoryPart(joined) + FindData.cFileName);
    if (full.size() < MAX_PATH) CopyName(FindData.cFileName, sizeof FindData.cFileName, full);
    return true;
}

// The next match from below: the child's own walk, then the next pending
// directory, until none is left.
bool kxFindFile::ChildStep()
{
    for (;;) {
        if (Child && Child->Next()) {
            FindData = Child->FindData;
            StartDir = Child->StartDir;
            return true;
        }
        if (PendingDirs.empty()) {
            Child.reset();
            return false;
        }
        std::size_t cut = 0;
        while (cut < PendingDirs.size() && PendingDirs[cut] != ';') cut = Cp932Next(PendingDirs, cut);
        const std::string dir = PendingDirs.substr(0, cut);
        PendingDirs.erase(0, std::min(cut + 1, PendingDirs.size()));
        if (!Child) Child = std::make_unique<kxFindFile>();
        Child->Recursive = Recursive;
        Child->ExcludeAttributes = ExcludeAttributes;
        Child->Find(dir, Mask);
    }
}
