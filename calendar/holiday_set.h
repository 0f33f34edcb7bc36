#pragma once
// kxHolidaySet: one flag word per month (index 0 unused), bit d of word m marking
// day d of month m as a holiday in every year; the fixed national holidays, the
// vernal equinox day of a given year and the substitute-Monday rule.
#include <array>

#include "calendar/kx_date.h"
#include "calendar/kxv_flag.h"

struct kxMonthDay {
    int Month;
    int Day;
};

// The fixed holidays in table order; the list ends with a month of 0.
extern const kxMonthDay kxFixedHolidays[16];

class kxHolidaySet {
public:
    // Months outside 0 to 12 are ignored (and are never holidays).
    void SetHoliday(int month, int day, bool on);
    bool IsHoliday(int month, int day) const;
    void Clear();
    // Sets the bit of every fixed holiday, in table order.
    void SetFixedHolidays();
    // Clears 20, 21 and 22 March, then sets the vernal equinox day of `year`,
    // which moves by a quarter day a year from 21 March 1994.
    void SetEquinoxDay(int year);
    // A holiday, or a Monday whose Sunday before it is one.
    bool IsColouredHoliday(const kxDate& date) const;

    kxvFlag& Word(int month) { return words_[static_cast<std::size_t>(month)]; }
    const kxvFlag& Word(int month) const { return words_[static_cast<std::size_t>(month)]; }

private:
    std::array<kxvFlag, 13> words_;
};
