#include "calendar/format_settings.h"

#include <cstdio>

#include "calendar/kx_date.h"
#include "framework/utf8.h"

namespace {

std::size_t RunLength(const std::string& text, std::size_t at, char c)
{
    std::size_t n = 0;
    while (at + n < text.size() && (text[at + n] == c || text[at + n] == c - 'a' + 'A')) ++n;
    return n;
}

std::string Digits(int value, int width)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    return buffer;
}

}  // namespace

std::string FormatDate(const std::string& format, const kxDate& date, const TFormatSettings& settings)
{
    if (date.Month == 0 || date.Day == 0) return {};
    std::string out;
    std::size_t i = 0;
    while (i < format.size()) {
        const char c = format[i];
        if (c == '"' || c == '\'') {
            const std::size_t close = format.find(c, i + 1);
            const std::size_t end = close == std::string::npos ? format.size() : close;
            out.append(format, i + 1, end - i - 1);
            i = end == format.size() ? end : end + 1;
        } else if (c == 'y' || c == 'Y') {
            const std::size_t n = RunLength(format, i, 'y');
            out += n <= 2 ? Digits(date.Year % 100, 2) : Digits(date.Year, 4);
            i += n;
        } else if (c == 'm' || c == 'M') {
            const std::size_t n = RunLength(format, i, 'm');
            out += Digits(date.Month, n >= 2 ? 2 : 1);
            i += n;
        } else if (c == 'd' || c == 'D') {
            const std::size_t n = RunLength(format, i, 'd');
            if (n >= 3)
                out += settings.ShortDayNames[static_cast<std::size_t>(WeekDay(date.Year, date.Month, date.Day))];
            else
                out += Digits(date.Day, static_cast<int>(n));
            i += n;
        } else if (c == '/') {
            out += settings.DateSeparator;
            ++i;
        } else {
            // Any other character is copied whole.
            const std::size_t next = Utf8Next(format, i);
            out.append(format, i, next - i);
            i = next;
        }
    }
    return out;
}
