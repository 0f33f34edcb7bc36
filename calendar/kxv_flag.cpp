#include "calendar/kxv_flag.h"

void kxvFlag::Store(std::uint32_t value)
{
    if (value == value_) return;
    value_ = value;
    Change();
}

void kxvFlag::Change()
{
    if (OnChange) OnChange(*this);
}
