#include "framework/timer.h"

#include "framework/application.h"

void TTimer::SetEnabled(bool enabled)
{
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Stop();
    if (enabled_) Start();
}

void TTimer::SetInterval(unsigned interval)
{
    if (interval == interval_) return;
    interval_ = interval;
    Stop();
    if (enabled_) Start();
}

void TTimer::Start()
{
    if (interval_ == 0) return;
    id_ = Application().Backend().StartTimer(interval_, [this] {
        if (OnTimer) OnTimer(*this);
    });
}

void TTimer::Stop()
{
    if (id_ != 0) Application().Backend().StopTimer(id_);
    id_ = 0;
}
