#include "calendar/kxv_color_of_week.h"

kxvColorOfWeek::kxvColorOfWeek()
{
    colors_.fill(clWindowText);
    colors_[0] = clRed;
    colors_[6] = clBlue;
}

kxvColorOfWeek& kxvColorOfWeek::operator=(const kxvColorOfWeek& other)
{
    if (other.colors_ == colors_) return *this;
    colors_ = other.colors_;
    if (OnChange) OnChange(*this);
    return *this;
}

void kxvColorOfWeek::SetColor(int weekday, TColor color)
{
    TColor& current = colors_[Index(weekday)];
    if (color == current) return;
    current = color;
    if (OnChange) OnChange(*this);
}
