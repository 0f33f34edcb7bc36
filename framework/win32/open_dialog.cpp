#include "framework/win32/open_dialog.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "framework/win32/wide.h"

namespace {

// Room for many chosen names at once.
constexpr DWORD kNameBufferChars = 64 * 1024;

}  // namespace

bool ExecuteOpenDialogWin32(TOpenDialog& dialog)
{
    // The filter's "|" become the system's zero separators; in UTF-16 no part
    // of another character can be taken for one.
    std::wstring filter = Utf8ToWide(dialog.Filter);
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    filter.append(2, L'\0');
    const std::wstring title = Utf8ToWide(dialog.Title);
    std::wstring names(kNameBufferChars, L'\0');
    const std::wstring initial = Utf8ToWide(dialog.FileName);
    std::copy_n(initial.begin(), std::min<size_t>(initial.size(), kNameBufferChars - 1), names.begin());

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = dialog.Filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(dialog.FilterIndex);
    ofn.lpstrFile = names.data();
    ofn.nMaxFile = kNameBufferChars;
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
    if (dialog.Options & ofHideReadOnly) ofn.Flags |= OFN_HIDEREADONLY;
    if (dialog.Options & ofAllowMultiSelect) ofn.Flags |= OFN_ALLOWMULTISELECT;
    if (dialog.Options & ofPathMustExist) ofn.Flags |= OFN_PATHMUSTEXIST;
    if (dialog.Options & ofFileMustExist) ofn.Flags |= OFN_FILEMUSTEXIST;
    if (!GetOpenFileNameW(&ofn)) return false;

    // One name is a full path; several are the directory followed by the names,
    // each ended by a zero, the list by a second one.
    std::vector<std::wstring> parts;
    for (const wchar_t* p = names.c_str(); *p; p += wcslen(p) + 1) parts.emplace_back(p);
    dialog.Files.clear();
    if (parts.size() == 1) {
        dialog.Files.push_back(WideToUtf8(parts[0]));
    } else if (parts.size() > 1) {
        std::wstring directory = parts[0];
        if (!directory.empty() && directory.back() != L'\\') directory += L'\\';
        for (size_t i = 1; i < parts.size(); ++i) dialog.Files.push_back(WideToUtf8(directory + parts[i]));
    }
    dialog.FileName = dialog.Files.empty() ? std::string() : dialog.Files.front();
    dialog.FilterIndex = static_cast<int>(ofn.nFilterIndex);
    return !dialog.Files.empty();
}
