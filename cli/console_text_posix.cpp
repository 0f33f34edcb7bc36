#include "cli/console_text.h"

#include <unistd.h>

#include "framework/cp932.h"

std::string ConsoleText(std::string_view cp932)
{
    return Cp932ToUtf8(cp932);
}

std::string ConsolePath(std::string_view path)
{
    return std::string(path);
}

std::vector<std::string> ProgramArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

bool IsTerminal(std::FILE* stream)
{
    return ::isatty(::fileno(stream)) != 0;
}
