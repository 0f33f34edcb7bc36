#pragma once
// Runs a call into a plug-in so that a fault inside it fails that call only.
//
// Two nets, both on the calling thread and only while the call runs:
// - a vectored handler takes hardware faults (access violations, illegal
//   instructions, divisions by zero, ...) raised by code inside the plug-in's
//   module at first chance, before any frame of the plug-in is walked;
// - the unhandled-exception filter takes whatever else nothing below it handled
//   (a fault in a system library the plug-in called, an exception it raised).
// Either net resumes the thread in a landing routine that jumps back to the
// call site (__builtin_setjmp/__builtin_longjmp: no unwinding through the
// plug-in's frames, which may lack unwind data). Exceptions the plug-in raises
// and handles itself are left alone.
#include <windows.h>

#include <utility>

class TPluginFaultGuard {
public:
    explicit TPluginFaultGuard(HMODULE module);

    // False when `call` faulted; `call` then did not finish.
    template <typename Call>
    bool Run(Call&& call)
    {
        return RunCall(&Invoke<Call>, &call);
    }

private:
    template <typename Call>
    static void Invoke(void* call)
    {
        (*static_cast<Call*>(call))();
    }
    bool RunCall(void (*invoke)(void*), void* call);

    ULONG_PTR moduleBegin_ = 0;
    ULONG_PTR moduleEnd_ = 0;
};
