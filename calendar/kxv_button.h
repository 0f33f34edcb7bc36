#pragma once
// kxvButton: a bitmap button that repeats its click while it is held down by
// the mouse or by Space. The repeat timer is made on the first press with
// Repeat on: it fires first after FirstInterval, then every NextInterval, and
// clicks only while the button still holds the mouse capture (a press by Space
// holds it too, as a standard button's does).
#include <memory>

#include "framework/bit_btn.h"
#include "framework/application.h"
#include "framework/timer.h"

class kxvButton : public TBitBtn {
public:
    kxvButton();
    ~kxvButton() override;

    bool Repeat() const { return repeat_; }
    void SetRepeat(bool repeat) { repeat_ = repeat; }
    int FirstInterval() const { return firstInterval_; }
    void SetFirstInterval(int milliseconds) { firstInterval_ = milliseconds; }
    int NextInterval() const { return nextInterval_; }
    void SetNextInterval(int milliseconds) { nextInterval_ = milliseconds; }

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(int key, bool repeated) override;
    void KeyUp(int key) override;
    void FocusChanged(bool focused) override;

    // The repeat timer, null until the first press with Repeat on.
    TTimer* Timer() const { return timer_.get(); }

private:
    void StartRepeat();
    // After a press by Space ended: no click follows a key-up or a lost focus.
    void StopRepeatWhenReleased();
    void TimerExpired(TTimer& sender);
    static unsigned Milliseconds(int value) { return value > 0 ? static_cast<unsigned>(value) : 1u; }
    bool repeat_ = false;
    int firstInterval_ = 400;
    int nextInterval_ = 100;
    std::unique_ptr<TTimer> timer_;
};
