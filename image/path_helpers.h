#pragma once
// Path helpers over UTF-8 text. Separators come from the platform: on Windows
// "\" and ":" (and "/", which Windows accepts); elsewhere "/" alone. The searches
// step over whole characters, so no byte inside one is taken for a separator.
#include <string>

std::string FileNamePart(const std::string& path);
std::string& FileAppendPath(std::string& path, const std::string& component);
std::string FileExtPart(const std::string& path);
void FileChangeExt(std::string& path, const std::string& extension);
std::string FileFullPath(const std::string& path);
void FileSetHelp(const std::string& helpFile);
