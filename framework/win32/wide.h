#pragma once
// The one place where code page 932 text meets the wide Win32 functions, so the
// program behaves as on a Japanese system whatever the system's code page.
#include <string>
#include <string_view>

std::wstring Cp932ToWide(std::string_view text);
std::string WideToCp932(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);
// For outside code that takes narrow paths: the system's ANSI code page, or the
// short 8.3 form where the path cannot be written in it.
std::string PathForAnsiApi(const std::string& cp932Path);
