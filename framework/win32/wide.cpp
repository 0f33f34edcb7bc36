#include "framework/win32/wide.h"

#include <windows.h>

#include "framework/cp932.h"

namespace {

std::wstring ToWide(unsigned codePage, std::string_view text)
{
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string FromWide(unsigned codePage, std::wstring_view text, bool* lossy = nullptr)
{
    if (text.empty()) return {};
    BOOL usedDefault = FALSE;
    BOOL* flag = codePage == CP_UTF8 ? nullptr : &usedDefault;
    const int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, flag);
    std::string narrow(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), narrow.data(), n, nullptr, flag);
    if (lossy) *lossy = usedDefault != FALSE;
    return narrow;
}

}  // namespace

std::wstring Cp932ToWide(std::string_view text)
{
    return ToWide(932, text);
}

std::string WideToCp932(std::wstring_view text)
{
    return FromWide(932, text);
}

std::wstring Utf8ToWide(std::string_view text) { return ToWide(CP_UTF8, text); }

std::string PathForAnsiApi(const std::string& cp932Path)
{
    const std::wstring wide = Cp932ToWide(cp932Path);
    bool lossy = false;
    std::string ansi = FromWide(CP_ACP, wide, &lossy);
    if (!lossy) return ansi;
    const DWORD n = GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (n == 0) return ansi;
    std::wstring shortPath(n, L'\0');
    const DWORD written = GetShortPathNameW(wide.c_str(), shortPath.data(), n);
    shortPath.resize(written);
    return FromWide(CP_ACP, shortPath);
}

std::string Cp932ToUtf8(std::string_view text)
{
    return FromWide(CP_UTF8, ToWide(932, text));
}

std::string Utf8ToCp932(std::string_view text)
{
    return FromWide(932, ToWide(CP_UTF8, text));
}
