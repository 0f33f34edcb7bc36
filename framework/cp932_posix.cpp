// Code page conversions through iconv (glibc knows CP932).
#include <iconv.h>

#include <cerrno>
#include <memory>

#include "framework/cp932.h"

namespace {

struct IconvCloser {
    void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};

std::string Convert(const char* to, const char* from, std::string_view text)
{
    iconv_t raw = iconv_open(to, from);
    if (raw == reinterpret_cast<iconv_t>(-1)) return std::string(text);
    std::unique_ptr<void, IconvCloser> cd(raw);
    std::string out;
    out.resize(text.size() * 4 + 4);
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* dst = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(raw, &in, &inLeft, &dst, &outLeft) != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) break;
        // An invalid or incomplete sequence: one "?" for one byte, then go on.
        if (outLeft == 0) break;
        *dst++ = '?';
        --outLeft;
        ++in;
        --inLeft;
    }
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view text)
{
    return Convert("UTF-8", "CP932", text);
}

std::string Utf8ToCp932(std::string_view text)
{
    return Convert("CP932", "UTF-8", text);
}
