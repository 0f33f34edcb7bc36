#include "external/kx_find_file.h"

#include <algorithm>
#include <cwchar>

#include "framework/utf8.h"
#include "framework/win32/wide.h"
#include "image/path_helpers.h"

namespace {

constexpr std::uint16_t kOnlyListable = 0xFFE8;  // all but read-only, hidden, system, directory
constexpr DWORD kDirectory = FILE_ATTRIBUTE_DIRECTORY;

// The directory part of a path: up to and including its last separator, stepping
// over whole characters.
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
        Handle.reset(FindFirstFileW(Utf8ToWide(pattern).c_str(), &found));
        if (Handle) Store(found);
    }
    FirstPending = static_cast<bool>(Handle);
    return FirstPending;
}

void kxFindFile::Store(const WIN32_FIND_DATAW& found)
{
    FindData = found;
    Name = WideToUtf8(found.cFileName);
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
        if (FindData.dwFileAttributes & ExcludeAttributes) continue;
        if (Name == "." || Name == "..") continue;
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
    if (FindData.cAlternateFileName[0] == L'\0' && std::wcslen(FindData.cFileName) < 13)
        std::wcscpy(FindData.cAlternateFileName, FindData.cFileName);
    std::string joined = StartDir;
    FileAppendPath(joined, Mask);
    // The platform's full path has fewer than 260 characters, or is empty.
    const std::string full = FileFullPath(DirectoryPart(joined) + Name);
    if (!full.empty()) Name = full;
    return true;
}

// The next match from below: the child's own walk, then the next pending
// directory, until none is left.
bool kxFindFile::ChildStep()
{
    for (;;) {
        if (Child && Child->Next()) {
            FindData = Child->FindData;
            Name = Child->Name;
            StartDir = Child->StartDir;
            return true;
        }
        if (PendingDirs.empty()) {
            Child.reset();
            return false;
        }
        std::size_t cut = 0;
        while (cut < PendingDirs.size() && PendingDirs[cut] != ';') cut = Utf8Next(PendingDirs, cut);
        const std::string dir = PendingDirs.substr(0, cut);
        PendingDirs.erase(0, std::min(cut + 1, PendingDirs.size()));
        if (!Child) Child = std::make_unique<kxFindFile>();
        Child->Recursive = Recursive;
        Child->ExcludeAttributes = ExcludeAttributes;
        Child->Find(dir, Mask);
    }
}
