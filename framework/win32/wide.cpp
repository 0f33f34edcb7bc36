#include "framework/win32/wide.h"

#include <windows.h>

#include "framework/exceptions.h"

std::wstring Utf8ToWide(std::string_view text)
{
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (n <= 0) throw EConvertError("text that is not UTF-8: " + std::string(text));
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), n);
    return wide;
}

std::string WideToUtf8(std::wstring_view text)
{
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (n <= 0) throw EConvertError("text with an unpaired surrogate, which UTF-8 cannot carry");
    std::string narrow(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), size, narrow.data(), n, nullptr, nullptr);
    return narrow;
}

namespace {

std::optional<std::string> WideToCodePage(std::wstring_view text, unsigned codePage)
{
    if (text.empty()) return std::string();
    const int size = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0, nullptr,
                                      &usedDefault);
    if (n <= 0 || usedDefault) return std::nullopt;
    std::string narrow(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(), size, narrow.data(), n, nullptr, &usedDefault);
    if (usedDefault) return std::nullopt;
    // A character the code page maps to another without flagging it still does
    // not come back as itself.
    const int back = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, narrow.data(), n, nullptr, 0);
    std::wstring roundTrip(back > 0 ? static_cast<size_t>(back) : 0, L'\0');
    if (back <= 0 || MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, narrow.data(), n, roundTrip.data(), back) !=
                         back || roundTrip != text)
        return std::nullopt;
    return narrow;
}

}  // namespace

std::optional<std::string> Utf8ToCodePage(std::string_view text, unsigned codePage)
{
    return WideToCodePage(Utf8ToWide(text), codePage);
}

std::optional<std::string> ShortPathName(const std::string& path)
{
    const std::wstring wide = Utf8ToWide(path);
    const DWORD n = GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (n == 0) return std::nullopt;
    std::wstring shortPath(n, L'\0');
    const DWORD written = GetShortPathNameW(wide.c_str(), shortPath.data(), n);
    if (written == 0 || written >= n) return std::nullopt;
    shortPath.resize(written);
    return WideToUtf8(shortPath);
}

std::string PathForAnsiApi(const std::string& path)
{
    if (std::optional<std::string> ansi = Utf8ToCodePage(path, CP_ACP)) return *ansi;
    const std::optional<std::string> shortPath = ShortPathName(path);
    return shortPath ? Utf8ToCodePage(*shortPath, CP_ACP).value_or(std::string()) : std::string();
}
