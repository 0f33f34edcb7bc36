// GV's window rectangle reply on arbitrary bytes, zero-terminated in an
// allocation of exactly their size, so that no read may pass the terminator.
// The rectangle must agree with a reference reading of the five fields (the C
// library's conversion of each field's sign and digits, one separator after
// each), and a reply whose right or bottom edge leaves the coordinate range
// must be refused with nothing written.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "external/gv_window_rect.h"
#include "fuzz/reference_int.h"

namespace {

int ReferenceField(const char*& p)
{
    const int value = ReferenceInt(p, p);
    if (*p) ++p;  // the separator
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::unique_ptr<char[]> text(new char[size + 1]);
    std::memcpy(text.get(), data, size);
    text[size] = 0;

    const char* p = text.get();
    long long field[5];
    for (long long& f : field) f = ReferenceField(p);
    const long long right = field[0] + field[2], bottom = field[1] + field[3];
    const bool fits = right >= INT_MIN && right <= INT_MAX && bottom >= INT_MIN && bottom <= INT_MAX;

    const TRect untouched{1, 2, 3, 4};
    TRect rect = untouched;
    int value = 5;
    const bool read = ParseWindowRect(text.get(), rect, value);
    if (read != fits) std::abort();
    if (!read && (rect != untouched || value != 5)) std::abort();
    if (read && (rect != TRect{int(field[0]), int(field[1]), int(right), int(bottom)} || value != field[4]))
        std::abort();
    return 0;
}
