#pragma once
// kxFindFile: the files matching a mask, first in one directory, then depth
// first in each of its sub-directories (in listing order), each match named by
// its full path. Names are UTF-8 text, whatever their length in it.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "framework/win32/handles.h"

class kxFindFile {
public:
    kxFindFile() = default;
    explicit kxFindFile(const std::string& pattern, bool recursive = true);
    virtual ~kxFindFile() = default;

    bool Find(const std::string& startDir, const std::string& mask);
    bool Next();
    // The full path of the current match.
    const char* FoundName() const { return Name.c_str(); }

    // The current entry as the system found it, and its name: after each
    // successful step the full path of the match.
    WIN32_FIND_DATAW FindData{};
    std::string Name;
    std::uint16_t ExcludeAttributes = 0;
    bool Recursive = true;
    std::string PendingDirs;
    std::unique_ptr<kxFindFile> Child;
    std::string Mask;
    std::string StartDir;
    bool FirstPending = false;
    UniqueFindHandle Handle;

private:
    bool Fetch();
    bool ChildStep();
    bool Accept();
    void Store(const WIN32_FIND_DATAW& found);
};
