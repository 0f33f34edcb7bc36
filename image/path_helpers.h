#pragma once
// Path helpers over code page 932 text. Separators come from the platform: on
// Windows "\" and ":" (and "/", which Windows accepts), stepping over double-byte
// characters; elsewhere "/" alone.
#include <string>

std::string FileNamePart(const std::string& path);
std::string& FileAppendPath(std::string& path, const std::string& component);
std::string FileExtPart(const std::string& path);
void FileChangeExt(std::string& path, const std::string& extension);
std::string FileFullPath(const std::string& path);
void FileSetHelp(const std::string& helpFile);
