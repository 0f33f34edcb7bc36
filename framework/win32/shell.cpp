#include "framework/win32/shell.h"

#include <shellapi.h>

#include "framework/win32/handles.h"
#include "framework/win32/wide.h"
#include "framework/utf8.h"

void SetDragAccept(HWND window, bool accept) { DragAcceptFiles(window, accept ? TRUE : FALSE); }

std::vector<std::string> TakeDroppedFiles(HDROP drop, unsigned nameBuffer)
{
    const UniqueDrop owner(drop);
    std::vector<std::string> names;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    std::wstring buffer(nameBuffer, L'\0');
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, buffer.data(), nameBuffer);
        names.push_back(WideToUtf8(std::wstring_view(buffer.data(), length)));
    }
    return names;
}

namespace {

// The path up to its last "\", "/" or ":", stepping over whole characters.
std::string DirectoryPart(const std::string& path)
{
    std::size_t end = 0;
    for (std::size_t i = 0; i < path.size(); i = Utf8Next(path, i))
        if (path[i] == '\\' || path[i] == '/' || path[i] == ':') end = i + 1;
    return path.substr(0, end);
}

}  // namespace

void ShellOpen(HWND owner, const std::string& path)
{
    const std::wstring file = Utf8ToWide(path);
    const std::wstring directory = Utf8ToWide(DirectoryPart(path));
    // No error box either: a failed open is silent.
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = L"open";
    info.lpFile = file.c_str();
    info.lpDirectory = directory.empty() ? nullptr : directory.c_str();
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExW(&info);
}
