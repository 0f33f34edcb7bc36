#pragma once
// The one place where the program's UTF-8 text meets the encodings of Win32: the
// UTF-16 of the W functions, and the code pages of outside programs that read
// narrow text. Every conversion is strict: no best-fit look-alikes, and text that
// would not come back the same is refused.
#include <optional>
#include <string>
#include <string_view>

// Raise EConvertError for text that is not well-formed UTF-8, and for UTF-16
// with an unpaired surrogate (which no UTF-8 text can carry).
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

// The text in a code page, or none when any character has no exact form there.
std::optional<std::string> Utf8ToCodePage(std::string_view text, unsigned codePage);

// The short 8.3 form of an existing path, or none where the volume keeps none.
std::optional<std::string> ShortPathName(const std::string& path);

// A name for outside code that opens files through narrow calls: the path in the
// system's ANSI code page, else its short form when that converts; empty when
// the name cannot be passed, for no file can be found under it.
std::string PathForAnsiApi(const std::string& path);
