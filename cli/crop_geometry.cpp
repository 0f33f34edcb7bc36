#include "cli/crop_geometry.h"

#include <cstdint>
#include <limits>

namespace {

// Decimal digits at the cursor, as many as follow; none when there are none or
// the value passes the 32-bit range.
std::optional<std::int64_t> TakeNumber(std::string_view& text)
{
    std::size_t used = 0;
    std::int64_t value = 0;
    while (used < text.size() && text[used] >= '0' && text[used] <= '9') {
        value = value * 10 + (text[used] - '0');
        if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
        ++used;
    }
    if (used == 0) return std::nullopt;
    text.remove_prefix(used);
    return value;
}

std::optional<std::int64_t> TakeOffset(std::string_view& text)
{
    if (text.empty() || (text.front() != '+' && text.front() != '-')) return std::nullopt;
    const bool negative = text.front() == '-';
    text.remove_prefix(1);
    const auto value = TakeNumber(text);
    if (!value) return std::nullopt;
    return negative ? -*value : *value;
}

bool Fits(std::int64_t value)
{
    return value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max();
}

}  // namespace

std::optional<kxRect> ParseCropGeometry(std::string_view text)
{
    const auto width = TakeNumber(text);
    if (!width || text.empty() || (text.front() != 'x' && text.front() != 'X')) return std::nullopt;
    text.remove_prefix(1);
    const auto height = TakeNumber(text);
    if (!height) return std::nullopt;
    const auto left = TakeOffset(text);
    if (!left) return std::nullopt;
    const auto top = TakeOffset(text);
    if (!top || !text.empty()) return std::nullopt;
    if (!Fits(*left + *width) || !Fits(*top + *height)) return std::nullopt;
    return kxRect(std::int32_t(*left), std::int32_t(*top), std::int32_t(*left + *width), std::int32_t(*top + *height));
}
