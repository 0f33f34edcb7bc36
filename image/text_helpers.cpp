#include "image/text_helpers.h"

#include <climits>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

}  // namespace

const char* SkipSpaces(const char* cursor)
{
    while (IsBlank(*cursor)) ++cursor;
    return cursor;
}

int ParseInt(const char*& cursor)
{
    cursor = SkipSpaces(cursor);
    bool negative = false;
    if (*cursor == '-' || *cursor == '+') {
        negative = *cursor == '-';
        cursor = SkipSpaces(cursor + 1);
    }
    // Accumulate as a negative number so that INT_MIN is reachable; a longer run
    // of digits saturates instead of overflowing.
    long long value = 0;
    while (*cursor >= '0' && *cursor <= '9') {
        if (value > -(1LL << 32)) value = value * 10 - (*cursor - '0');
        ++cursor;
    }
    if (negative) return value < INT_MIN ? INT_MIN : static_cast<int>(value);
    return -value > INT_MAX ? INT_MAX : static_cast<int>(-value);
}

std::optional<std::size_t> ScanDWord(const std::uint32_t* values, std::uint32_t value, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        if (values[i] == value) return i;
    return std::nullopt;
}
