#pragma once
// kxvColorOfWeek: the seven weekday colours of the calendar grid, Sunday first.
#include <array>
#include <functional>

#include "framework/system_colors.h"

class kxvColorOfWeek {
public:
    kxvColorOfWeek();
    kxvColorOfWeek(const kxvColorOfWeek& other) : colors_(other.colors_) {}
    // Copies the seven colours (not the change event).
    kxvColorOfWeek& operator=(const kxvColorOfWeek& other);

    // Weekday 0 is Sunday; taken modulo 7.
    TColor Color(int weekday) const { return colors_[Index(weekday)]; }
    void SetColor(int weekday, TColor color);

    TColor Sunday() const { return colors_[0]; }
    void SetSunday(TColor c) { SetColor(0, c); }
    TColor Monday() const { return colors_[1]; }
    void SetMonday(TColor c) { SetColor(1, c); }
    TColor Tuesday() const { return colors_[2]; }
    void SetTuesday(TColor c) { SetColor(2, c); }
    TColor Wednesday() const { return colors_[3]; }
    void SetWednesday(TColor c) { SetColor(3, c); }
    TColor Thursday() const { return colors_[4]; }
    void SetThursday(TColor c) { SetColor(4, c); }
    TColor Friday() const { return colors_[5]; }
    void SetFriday(TColor c) { SetColor(5, c); }
    TColor Saturday() const { return colors_[6]; }
    void SetSaturday(TColor c) { SetColor(6, c); }

    std::function<void(kxvColorOfWeek& sender)> OnChange;

private:
    static std::size_t Index(int weekday) { return static_cast<std::size_t>(((weekday % 7) + 7) % 7); }
    std::array<TColor, 7> colors_;
};
