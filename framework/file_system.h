#pragma once
// The file system questions and changes the system needs. Paths are code page
// 932 on Windows and the platform's own bytes elsewhere.
#include <string>

enum class TPathKind { NotFound, Directory, Other };

TPathKind PathKind(const std::string& path);
bool FileExists(const std::string& path);
// Creates one directory level; its parent must exist.
bool CreateDir(const std::string& path);
// Creates the directory and every missing parent; true when it is a directory
// afterwards.
bool ForceDirectories(const std::string& path);
bool RemoveFile(const std::string& path);
// Moves `from` over `to`, replacing `to` in one step where the platform can.
bool MoveFileOver(const std::string& from, const std::string& to);
// Gives `to` the permissions (POSIX) or the hidden, system and archive
// attributes (Windows) of `from`, so that a file written anew and moved over
// `from` keeps what its owner set. False when either file cannot be reached.
bool CopyFileMode(const std::string& from, const std::string& to);
// A name in the same directory as `path` that no file has yet.
std::string TemporarySibling(const std::string& path);
// The absolute form of a path, or empty when the platform cannot give one.
std::string FullPathName(const std::string& path);
// The running program's own path.
std::string ProgramPath();
