#pragma once
// TTimer: fires OnTimer every Interval milliseconds while Enabled, through the
// application's message processing. A new timer is disabled.
#include <functional>

class TTimer {
public:
    TTimer() = default;
    ~TTimer() { Stop(); }
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned interval);

    std::function<void(TTimer& sender)> OnTimer;

private:
    void Start();
    void Stop();
    bool enabled_ = false;
    unsigned interval_ = 1000;
    int id_ = 0;
};
