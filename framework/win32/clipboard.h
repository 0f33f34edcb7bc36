#pragma once
// The clipboard's plain text, as UTF-8 text. It is stored and read as Unicode
// text; the system offers it to others as ANSI text too.
#include <windows.h>

#include <optional>
#include <string>

bool ClipboardHasText();
// The text; none when the clipboard could not be opened or holds no text.
std::optional<std::string> ClipboardText();
// Empties the clipboard and stores the text; false when that failed.
bool SetClipboardText(HWND owner, const std::string& text);
