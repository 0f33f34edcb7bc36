#include "cli/console_text.h"

#include <windows.h>

#include <io.h>
#include <shellapi.h>

#include "framework/win32/handles.h"
#include "framework/win32/wide.h"

namespace {

HANDLE ConsoleOf(std::FILE* stream)
{
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

// For the eye only: a malformed byte (a name from a list file that is not UTF-8)
// shows as U+FFFD instead of stopping the line.
std::wstring DisplayText(std::string_view text)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(std::size_t(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), n);
    return wide;
}

}  // namespace

void WriteText(std::FILE* stream, std::string_view text)
{
    std::fflush(stream);
    if (HANDLE console = ConsoleOf(stream)) {
        const std::wstring wide = DisplayText(text);
        DWORD written = 0;
        WriteConsoleW(console, wide.data(), DWORD(wide.size()), &written, nullptr);
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

std::vector<std::string> ProgramArguments(int, char**)
{
    int count = 0;
    const UniqueLocal block(CommandLineToArgvW(GetCommandLineW(), &count));
    const auto* wide = static_cast<const LPWSTR*>(block.get());
    std::vector<std::string> arguments;
    for (int i = 1; wide && i < count; ++i) arguments.push_back(WideToUtf8(wide[i]));
    return arguments;
}

void OpenByName(std::ifstream& file, const std::string& name)
{
    file.open(Utf8ToWide(name).c_str(), std::ios::binary);
}

bool IsTerminal(std::FILE* stream)
{
    return _isatty(_fileno(stream)) != 0;
}
