#include <algorithm>
#include <cstdio>
#include <vector>

#include "framework/application.h"
#include "framework/clock.h"
#include "framework/exceptions.h"

namespace {


class HeadlessBackend final : public TMessageBackend {
public:
    void ProcessMessages() override
    {
        const std::int64_t now = MonotonicMilliseconds();
        // A timer callback may start or stop timers: walk by id, not by iterator.
        std::vector<int> due;
        for (const Timer& t : timers_)
            if (t.due <= now) due.push_back(t.id);
        for (int id : due) {
            Timer* t = Find(id);
            if (!t) continue;
            t->due = now + t->interval;
            auto callback = t->onTimer;
            callback();
        }
    }

    void WaitMessage() override
    {
        if (timers_.empty()) return;
        std::int64_t next = timers_.front().due;
        for (const Timer& t : timers_) next = std::min(next, t.due);
        SleepMilliseconds(next - MonotonicMilliseconds());
    }

    int StartTimer(unsigned intervalMs, std::function<void()> onTimer) override
    {
        const std::int64_t interval = intervalMs;
        timers_.push_back(Timer{nextId_, interval, MonotonicMilliseconds() + interval, std::move(onTimer)});
        return nextId_++;
    }

    void StopTimer(int id) override
    {
        std::erase_if(timers_, [id](const Timer& t) { return t.id == id; });
    }

    void ShowException(const Exception& error) override
    {
        std::fprintf(stderr, "%s\n", error.Message.c_str());
    }

private:
    struct Timer {
        int id;
        std::int64_t interval;
        std::int64_t due;
        std::function<void()> onTimer;
    };
    Timer* Find(int id)
    {
        for (Timer& t : timers_)
            if (t.id == id) return &t;
        return nullptr;
    }
    std::vector<Timer> timers_;
    int nextId_ = 1;
};

}  // namespace

std::unique_ptr<TMessageBackend> MakeHeadlessBackend()
{
    return std::make_unique<HeadlessBackend>();
}
