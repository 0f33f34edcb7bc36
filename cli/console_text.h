#pragma once
// The terminal's edge: the program's arguments and list files as UTF-8 text, and
// UTF-8 text written out to the terminal or wherever the output goes.
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

// Writes the text: on a Windows console through the console's wide output, so
// that every character shows as itself; to a file, a pipe, or on Linux, as its
// UTF-8 bytes.
void WriteText(std::FILE* stream, std::string_view text);
// The arguments after the program name: the bytes given on Linux; on Windows the
// wide command line as UTF-8.
std::vector<std::string> ProgramArguments(int argc, char** argv);
// Opens a file by its name in the program's own text.
void OpenByName(std::ifstream& file, const std::string& name);
// True when the stream goes to a terminal (a console on Windows), not to a file or pipe.
bool IsTerminal(std::FILE* stream);
