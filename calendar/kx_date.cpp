#include "calendar/kx_date.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "framework/utf8.h"

namespace {

constexpr int kMonthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// The reciprocal of the mean year of 365.241 days.
constexpr double kYearsPerDay = 0.002737918251236855;

int DaysBeforeYear(int completeYears)
{
    const int k = completeYears;
    return 365 * k + k / 4 - k / 100 + k / 1000;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void SkipBlanks(std::string_view text, std::size_t& i)
{
    while (i < text.size() && IsBlank(text[i])) ++i;
}

// Digits as an unsigned number that wraps at 16 bits, as the year field does.
std::uint16_t ReadNumber(std::string_view text, std::size_t& i)
{
    std::uint16_t value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        value = static_cast<std::uint16_t>(value * 10u + static_cast<unsigned>(text[i] - '0'));
        ++i;
    }
    return value;
}

bool StartsWithAt(std::string_view text, std::size_t i, std::string_view what)
{
    return !what.empty() && text.substr(i, what.size()) == what;
}

}  // namespace

const kxEra kxEras[4] = {
    {'M', "㍾", "明治", 1867},
    {'T', "㍽", "大正", 1911},
    {'S', "㍼", "昭和", 1925},
    {'H', "㍻", "平成", 1988},
};

bool LeapYear(int year)
{
    if (year % 1000 == 0) return true;
    if (year % 100 == 0) return false;
    return year % 4 == 0;
}

int DaysInMonth(int year, int month)
{
    if (month < 1 || month > 12) return 0;
    if (month == 2 && LeapYear(year)) return 29;
    return kMonthLengths[month - 1];
}

std::int32_t DayNumber(int year, int month, int day)
{
    std::int32_t days = 0;
    for (int m = 1; m < month && m <= 12; ++m) days += DaysInMonth(year, m);
    return days + (day - 1) + DaysBeforeYear(year - 1);
}

int DateFromDayNumber(std::int32_t dayNumber, kxDate& date)
{
    int k = static_cast<int>(dayNumber * kYearsPerDay);
    int r = dayNumber - DaysBeforeYear(k);
    int year = k + 1;
    int month = 1;
    while (month <= 12 && r >= DaysInMonth(year, month)) {
        r -= DaysInMonth(year, month);
        ++month;
    }
    if (month > 12) {
        ++year;
        month = 1;
    }
    date = MakeDate(year, month, r + 1);
    return (dayNumber + 4) % 7;
}

int WeekDay(int year, int month, int day)
{
    return (DayNumber(year, month, day) + 4) % 7;
}

int NextMonthDate(kxDate& date)
{
    return DateFromDayNumber(DayNumber(date) + DaysInMonth(date.Year, date.Month), date);
}

int PrevMonthDate(kxDate& date)
{
    const int previous = date.Month <= 1 ? DaysInMonth(date.Year - 1, 12) : DaysInMonth(date.Year, date.Month - 1);
    return DateFromDayNumber(DayNumber(date) - previous, date);
}

int PrevDate(kxDate& date)
{
    return DateFromDayNumber(DayNumber(date) - 1, date);
}

bool ValidDate(const kxDate& date)
{
    return date.Year != 0 && date.Day >= 1 && date.Day <= DaysInMonth(date.Year, date.Month);
}

kxDate Today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return MakeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

std::string FormatEraDate(int year, int month, int day, bool useEras, const TFormatSettings& settings)
{
    char buffer[16];
    std::string text;
    if (year != 0) {
        const kxEra* era = nullptr;
        if (useEras)
            for (const kxEra& candidate : kxEras)
                if (year > candidate.BaseYear) era = &candidate;
        if (era)
            std::snprintf(buffer, sizeof buffer, "%c%02d", era->Letter, year - era->BaseYear);
        else
            std::snprintf(buffer, sizeof buffer, "%04d", year);
        text = buffer;
    }
    for (int part : {month, day}) {
        if (part == 0) continue;
        if (!text.empty()) text += settings.DateSeparator;
        std::snprintf(buffer, sizeof buffer, "%02d", part);
        text += buffer;
    }
    return text;
}

kxDate ParseEraDate(std::string_view text, std::size_t& position, const TFormatSettings& settings)
{
    std::size_t i = 0;
    SkipBlanks(text, i);
    position = i;
    if (i >= text.size()) return {};

    int base = 0;
    for (const kxEra& era : kxEras) {
        const char c = text[i];
        if (c == era.Letter || c == era.Letter - 'A' + 'a') {
            base = era.BaseYear;
            i += 1;
        } else if (StartsWithAt(text, i, era.Sign) || StartsWithAt(text, i, era.Name)) {
            base = era.BaseYear;
            i += StartsWithAt(text, i, era.Sign) ? std::strlen(era.Sign) : std::strlen(era.Name);
        } else {
            continue;
        }
        break;
    }

    kxDate date;
    SkipBlanks(text, i);
    date.Year = static_cast<std::uint16_t>(base + ReadNumber(text, i));

    // The separator's first character, compared whole.
    const std::string_view separator =
        std::string_view(settings.DateSeparator).substr(0, settings.DateSeparator.empty() ? 0 : Utf8Next(settings.DateSeparator, 0));
    SkipBlanks(text, i);
    if (StartsWithAt(text, i, separator)) {
        i += separator.size();
        SkipBlanks(text, i);
        date.Month = static_cast<std::uint8_t>(ReadNumber(text, i));
        SkipBlanks(text, i);
        if (StartsWithAt(text, i, separator)) {
            i += separator.size();
            SkipBlanks(text, i);
            date.Day = static_cast<std::uint8_t>(ReadNumber(text, i));
        }
    }
    position = i;
    return date;
}
