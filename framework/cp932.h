#pragma once
// Code page 932 text: the lead-byte table of the code page itself (no platform
// call, so it behaves the same everywhere) and conversions to and from UTF-8.
#include <cstddef>
#include <string>
#include <string_view>

// Lead bytes of a double-byte character: 0x81-0x9F and 0xE0-0xFC.
constexpr bool IsCp932LeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The position after the character that starts at `index` (a lead byte followed
// by the string's end counts as one byte).
inline std::size_t Cp932Next(std::string_view text, std::size_t index)
{
    if (index < text.size() && IsCp932LeadByte(static_cast<unsigned char>(text[index])) && index + 1 < text.size())
        return index + 2;
    return index + 1;
}

// Conversions; bytes that do not convert become "?".
std::string Cp932ToUtf8(std::string_view text);
std::string Utf8ToCp932(std::string_view text);
