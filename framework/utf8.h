#pragma once
// UTF-8, the program's one text encoding: character steps for the separator
// searches, validation for bytes that come from outside, and how many bytes a
// character would take in code page 932, the measure of the system's fixed-size
// text buffers.
#include <cstddef>
#include <string_view>

// The position after the character that starts at `index`. A byte that starts
// no well-formed character counts as one, so every step moves forward.
std::size_t Utf8Next(std::string_view text, std::size_t index);

// The code point that starts at `index`; U+FFFD where the bytes are malformed.
char32_t Utf8CodeAt(std::string_view text, std::size_t index);

// True when the text is well-formed UTF-8: no overlong forms, no surrogates,
// nothing above U+10FFFF, no truncated character.
bool IsValidUtf8(std::string_view text);

// The bytes of the character in code page 932: 1 for ASCII, half-width katakana
// and the code page's other single-byte characters; 2 for every other character,
// those the code page cannot hold included, as if they were double-byte ones.
int Cp932Width(char32_t c);
