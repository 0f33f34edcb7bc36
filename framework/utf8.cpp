#include "framework/utf8.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

struct TDecoded {
    char32_t Code;
    std::size_t Size;  // 0: malformed
};

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

TDecoded Decode(std::string_view text, std::size_t index)
{
    const auto lead = static_cast<unsigned char>(text[index]);
    if (lead < 0x80) return {lead, 1};
    std::size_t size;
    char32_t code, least;
    if ((lead & 0xE0) == 0xC0) size = 2, code = lead & 0x1F, least = 0x80;
    else if ((lead & 0xF0) == 0xE0) size = 3, code = lead & 0x0F, least = 0x800;
    else if ((lead & 0xF8) == 0xF0) size = 4, code = lead & 0x07, least = 0x10000;
    else return {kReplacement, 0};
    if (text.size() - index < size) return {kReplacement, 0};
    for (std::size_t k = 1; k < size; ++k) {
        const auto c = static_cast<unsigned char>(text[index + k]);
        if (!IsContinuation(c)) return {kReplacement, 0};
        code = (code << 6) | (c & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {kReplacement, 0};
    return {code, size};
}

}  // namespace

std::size_t Utf8Next(std::string_view text, std::size_t index)
{
    if (index >= text.size()) return index + 1;
    const TDecoded decoded = Decode(text, index);
    return index + (decoded.Size == 0 ? 1 : decoded.Size);
}

char32_t Utf8CodeAt(std::string_view text, std::size_t index)
{
    return index < text.size() ? Decode(text, index).Code : kReplacement;
}

bool IsValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const TDecoded decoded = Decode(text, i);
        if (decoded.Size == 0) return false;
        i += decoded.Size;
    }
    return true;
}

int Cp932Width(char32_t c)
{
    // The single bytes of code page 932: 0x00-0x80 as themselves, 0xA1-0xDF the
    // half-width katakana, and 0xA0 and 0xFD-0xFF in the private use area.
    if (c <= 0x80 || (c >= 0xFF61 && c <= 0xFF9F) || (c >= 0xF8F0 && c <= 0xF8F3)) return 1;
    return 2;
}
