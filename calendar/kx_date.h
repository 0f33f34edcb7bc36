#pragma once
// Day-number arithmetic for dates and Japanese era names for years.
//
// Day 0 is 1 January of year 1. The leap rule counts a year divisible by 1000
// as a leap year, otherwise not one divisible by 100, otherwise one divisible
// by 4: a mean year of 365.241 days.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "calendar/format_settings.h"

// A date; 0 in a field means that part is absent.
struct kxDate {
    std::uint16_t Year = 0;
    std::uint8_t Month = 0;
    std::uint8_t Day = 0;
    bool operator==(const kxDate&) const = default;
};

constexpr kxDate MakeDate(int year, int month, int day)
{
    return kxDate{static_cast<std::uint16_t>(year), static_cast<std::uint8_t>(month), static_cast<std::uint8_t>(day)};
}

bool LeapYear(int year);
// 0 for a month outside 1 to 12.
int DaysInMonth(int year, int month);
std::int32_t DayNumber(int year, int month, int day);
inline std::int32_t DayNumber(const kxDate& date) { return DayNumber(date.Year, date.Month, date.Day); }
// Fills `date` from a day number; returns its weekday (0 is Sunday).
int DateFromDayNumber(std::int32_t dayNumber, kxDate& date);
int WeekDay(int year, int month, int day);
inline int WeekDay(const kxDate& date) { return WeekDay(date.Year, date.Month, date.Day); }
// Move the date in place and return the new date's weekday: by the length of its
// month, by the length of the month before it, by one day.
int NextMonthDate(kxDate& date);
int PrevMonthDate(kxDate& date);
int PrevDate(kxDate& date);
// True when the month lies in 1 to 12 and the day exists in it.
bool ValidDate(const kxDate& date);
// Today in the platform's local time.
kxDate Today();

// One Japanese era: its letter, its single sign, its two-character name and the
// year before its first year.
struct kxEra {
    char Letter;
    const char* Sign;
    const char* Name;
    int BaseYear;
};
// Meiji, Taisho, Showa, Heisei.
extern const kxEra kxEras[4];

// Year, month and day joined by the date separator; with eras the year is written
// as the era letter and two digits from 1868 on.
std::string FormatEraDate(int year, int month, int day, bool useEras,
                          const TFormatSettings& settings = DefaultFormatSettings());

// Reads an optional era (letter, sign or name), the year number and, after the
// date separator, the month and the day. `position` is set to the index after
// what was read.
kxDate ParseEraDate(std::string_view text, std::size_t& position,
                    const TFormatSettings& settings = DefaultFormatSettings());
inline kxDate ParseEraDate(std::string_view text, const TFormatSettings& settings = DefaultFormatSettings())
{
    std::size_t position = 0;
    return ParseEraDate(text, position, settings);
}
