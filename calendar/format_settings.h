#pragma once
// The locale's date settings that the calendar components use: the date
// separator and the short weekday names. DefaultFormatSettings() reads them from
// the platform (the user locale on Windows; "/" and English names elsewhere).
#include <array>
#include <string>

struct kxDate;

struct TFormatSettings {
    std::string DateSeparator = "/";
    std::array<std::string, 7> ShortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};  // Sunday first
};

TFormatSettings DefaultFormatSettings();

// The framework's date formatting: "yyyy", "yy", "mm", "m", "dd", "d", "ddd"
// (short weekday name), "/" (the date separator), text in quotes copied as it
// is, anything else copied. A date without month or day gives an empty text.
std::string FormatDate(const std::string& format, const kxDate& date, const TFormatSettings& settings);
