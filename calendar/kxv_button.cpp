#include "calendar/kxv_button.h"

kxvButton::kxvButton() = default;

kxvButton::~kxvButton() = default;

void kxvButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TBitBtn::MouseDown(button, shift, x, y);
    StartRepeat();
}

void kxvButton::StartRepeat()
{
    if (!repeat_) return;
    if (!timer_) {
        timer_ = std::make_unique<TTimer>();
        timer_->OnTimer = [this](TTimer& sender) { TimerExpired(sender); };
    }
    timer_->SetInterval(Milliseconds(firstInterval_));
    timer_->SetEnabled(true);
}

void kxvButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TBitBtn::MouseUp(button, shift, x, y);
    if (timer_) timer_->SetEnabled(false);
}

void kxvButton::KeyDown(int key, bool repeated)
{
    const bool held = HeldByKey();
    TBitBtn::KeyDown(key, repeated);
    if (!held && HeldByKey()) StartRepeat();
}

void kxvButton::KeyUp(int key)
{
    TBitBtn::KeyUp(key);
    StopRepeatWhenReleased();
}

void kxvButton::FocusChanged(bool focused)
{
    TBitBtn::FocusChanged(focused);
    StopRepeatWhenReleased();
}

void kxvButton::StopRepeatWhenReleased()
{
    if (timer_ && !Pressed()) timer_->SetEnabled(false);
}

void kxvButton::TimerExpired(TTimer& sender)
{
    sender.SetInterval(Milliseconds(nextInterval_));
    if (repeat_ && MouseCapture()) Click();
}
