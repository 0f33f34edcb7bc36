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
                  PostThreadMessageW(target_, WM_APP, 0, 0);
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
    TPostedInput(const TPostedInput&) = delete;
    TPostedInput& operator=(const TPostedInput&) = delete;

private:
    DWORD target_;
    std::atomic<bool> posting_{true};
    std::thread poster_;
};
