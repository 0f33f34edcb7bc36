#include "external/gv_window_rect.h"

#include <cstdint>
#include <limits>

#include "image/text_helpers.h"

bool ParseWindowRect(const char* text, TRect& rect, int& value)
{
    int numbers[5];
    for (int& number : numbers) {
        number = ParseInt(text);
        if (*text) ++text;  // the separator, but never the terminator
    }
    const std::int64_t right = std::int64_t(numbers[0]) + numbers[2];
    const std::int64_t bottom = std::int64_t(numbers[1]) + numbers[3];
    for (const std::int64_t edge : {right, bottom})
        if (edge < std::numeric_limits<std::int32_t>::min() || edge > std::numeric_limits<std::int32_t>::max())
            return false;
    rect = TRect{numbers[0], numbers[1], std::int32_t(right), std::int32_t(bottom)};
    value = numbers[4];
    return true;
}
