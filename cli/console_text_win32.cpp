#include "cli/console_text.h"

#include <windows.h>

#include <io.h>
#include <shellapi.h>

#include "framework/win32/handles.h"
#include "framework/win32/wide.h"

namespace {

std::string WideToCodePage(std::wstring_view wide, UINT codePage)
{
    if (wide.empty()) return {};
    const int length = WideCharToMultiByte(codePage, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string text(std::size_t(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), int(wide.size()), text.data(), length, nullptr, nullptr);
    return text;
}

UINT TerminalCodePage()
{
    // Output to a pipe or file has no console code page: take the ANSI one.
    const UINT console = GetConsoleOutputCP();
    return console != 0 ? console : GetACP();
}

}  // namespace

std::string ConsoleText(std::string_view cp932)
{
    return WideToCodePage(Cp932ToWide(cp932), TerminalCodePage());
}

std::string ConsolePath(std::string_view path)
{
    return ConsoleText(path);
}

std::vector<std::string> ProgramArguments(int, char**)
{
    int count = 0;
    const UniqueLocal block(CommandLineToArgvW(GetCommandLineW(), &count));
    const auto* wide = static_cast<const LPWSTR*>(block.get());
    std::vector<std::string> arguments;
    for (int i = 1; wide && i < count; ++i) arguments.push_back(WideToCp932(wide[i]));
    return arguments;
}

bool IsTerminal(std::FILE* stream)
{
    return _isatty(_fileno(stream)) != 0;
}
