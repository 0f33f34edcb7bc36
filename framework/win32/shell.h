#pragma once
// The shell's services: windows as targets for files dropped from it, and
// opening a file with its associated application.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

// Registers (or unregisters) the window as a drop target.
void SetDragAccept(HWND window, bool accept);
// The names of a WM_DROPFILES drop, each fetched into a buffer of nameBuffer
// characters (longer names are cut), in the drop's order; releases the drop.
std::vector<std::string> TakeDroppedFiles(HDROP drop, unsigned nameBuffer);
// The shell's "open" verb on the file, owned by the window, in the file's own
// directory; the result is ignored and no message is shown.
void ShellOpen(HWND owner, const std::string& path);
