#pragma once
// Input for a waiting thread: a message posted to it every millisecond, from a
// thread of its own, as a busy window's input reaches a wait, until it goes out
// of scope.
#include <windows.h>

#include <atomic>
#include <thread>

class TPostedInput {
public:
    TPostedInput()
        : target_(GetCurrentThreadId()), poster_([this] {
              while (posting_) {
                  if (PostThreadMessageW(target_, WM_APP, 0, 0)) ++posted_;
                  Sleep(1);
              }
          })
    {
    }
    ~TPostedInput()
    {
        posting_ = false;
        poster_.join();
    }
    int Posted() const { return posted_; }
    TPostedInput(const TPostedInput&) = delete;
    TPostedInput& operator=(const TPostedInput&) = delete;

private:
    DWORD target_;
    std::atomic<bool> posting_{true};
    std::atomic<int> posted_{0};
    std::thread poster_;
};
