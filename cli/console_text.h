#pragma once
// Text for the terminal, and the program's arguments as the framework spells
// file names.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// The system's own text (code page 932) in the terminal's encoding: UTF-8 on
// Linux, the console's code page on Windows.
std::string ConsoleText(std::string_view cp932);
// A file name in the terminal's encoding. Linux file names are the platform's
// own bytes and pass unchanged; on Windows they are code page 932 text.
std::string ConsolePath(std::string_view path);
// The arguments after the program name: the bytes given on Linux; on Windows
// the wide command line converted to code page 932.
std::vector<std::string> ProgramArguments(int argc, char** argv);
// True when the stream goes to a terminal (a console on Windows), not to a file or pipe.
bool IsTerminal(std::FILE* stream);
