// The text helpers on arbitrary bytes. The bytes, with a terminator, are read
// the way a text reply is (the viewer's window rectangle: a number, one
// separator, a number, ...), from an allocation of exactly their size, so that
// no read may pass the terminator. At every number ParseInt must agree with a
// reference conversion (the C library's, on the sign and digits it should
// have accepted), and leave the cursor where that run ends. ScanDWord must find
// what std::find finds among the bytes read as 32-bit values.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "fuzz/reference_int.h"
#include "image/text_helpers.h"

namespace {

void CheckNumbers(const char* text, std::size_t length)
{
    const char* cursor = text;
    while (*cursor) {
        const char* expectedEnd = nullptr;
        const int expected = ReferenceInt(cursor, expectedEnd);
        const int value = ParseInt(cursor);
        if (value != expected || cursor != expectedEnd || cursor > text + length) std::abort();
        if (*cursor) ++cursor;  // the separator, but never the terminator
    }
}

void CheckScan(const std::uint8_t* data, std::size_t size)
{
    const std::size_t count = size / 4;
    if (count == 0) return;
    const std::unique_ptr<std::uint32_t[]> values(new std::uint32_t[count]);
    std::memcpy(values.get(), data, count * 4);
    // The value searched for: the last one, so that a hit may come at the end.
    const std::uint32_t wanted = values[count - 1] ^ (size % 4 ? data[size - 1] : 0);
    const std::uint32_t* found = std::find(values.get(), values.get() + count, wanted);
    const std::optional<std::size_t> at = ScanDWord(values.get(), wanted, count);
    if (at != (found == values.get() + count ? std::nullopt : std::optional<std::size_t>(found - values.get())))
        std::abort();
    if (ScanDWord(values.get(), wanted, 0)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::unique_ptr<char[]> text(new char[size + 1]);
    std::memcpy(text.get(), data, size);
    text[size] = 0;
    CheckNumbers(text.get(), std::strlen(text.get()));
    CheckScan(data, size);
    return 0;
}
