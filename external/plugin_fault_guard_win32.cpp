#include "external/plugin_fault_guard_win32.h"

#include "framework/win32/handles.h"

namespace {

struct TGuardFrame {
    void* jump[5];
    ULONG_PTR moduleBegin;
    ULONG_PTR moduleEnd;
    TGuardFrame* outer;
};

// The guarded call in progress on this thread: fault handlers run on the
// faulting thread and find their way back through it.
thread_local TGuardFrame* activeFrame = nullptr;

bool IsHardwareFault(DWORD code)
{
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
        return true;
    default:
        return false;
    }
}

[[noreturn]] void Land()
{
    __builtin_longjmp(activeFrame->jump, 1);
}

// Resumes the thread in Land() on a fresh, aligned stack slot below the fault.
// The exception is resumed elsewhere than where it was raised, so even one
// raised as non-continuable may be.
LONG Redirect(EXCEPTION_POINTERS* exception)
{
    exception->ExceptionRecord->ExceptionFlags &= ~DWORD{EXCEPTION_NONCONTINUABLE};
    CONTEXT* context = exception->ContextRecord;
    const ULONG_PTR landing = reinterpret_cast<ULONG_PTR>(&Land);
#ifdef _WIN64
    context->Rsp = ((context->Rsp - 512) & ~ULONG_PTR{15}) - 8;
    context->Rip = landing;
#else
    context->Esp = ((context->Esp - 512) & ~ULONG_PTR{15}) - 4;
    context->Eip = landing;
#endif
    context->EFlags &= ~0x400u;  // direction flag: the compiler's code assumes it clear
    return EXCEPTION_CONTINUE_EXECUTION;
}

LONG CALLBACK OnFirstChance(EXCEPTION_POINTERS* exception)
{
    const TGuardFrame* frame = activeFrame;
    if (!frame || !IsHardwareFault(exception->ExceptionRecord->ExceptionCode)) return EXCEPTION_CONTINUE_SEARCH;
    const auto address = reinterpret_cast<ULONG_PTR>(exception->ExceptionRecord->ExceptionAddress);
    if (address < frame->moduleBegin || address >= frame->moduleEnd) return EXCEPTION_CONTINUE_SEARCH;
    return Redirect(exception);
}

// The filter that was in place before the first guarded call: the filter is
// one per process, and faults outside guarded calls go on to it.
LPTOP_LEVEL_EXCEPTION_FILTER outerFilter = nullptr;

LONG WINAPI OnUnhandled(EXCEPTION_POINTERS* exception)
{
    if (activeFrame) return Redirect(exception);
    return outerFilter ? outerFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

ULONG_PTR ModuleEnd(HMODULE module)
{
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return reinterpret_cast<ULONG_PTR>(base) + nt->OptionalHeader.SizeOfImage;
}

}  // namespace

TPluginFaultGuard::TPluginFaultGuard(HMODULE module)
{
    if (!module) return;
    moduleBegin_ = reinterpret_cast<ULONG_PTR>(module);
    moduleEnd_ = ModuleEnd(module);
}

__attribute__((noinline)) bool TPluginFaultGuard::RunCall(void (*invoke)(void*), void* call)
{
    TGuardFrame frame{{}, moduleBegin_, moduleEnd_, activeFrame};
    const UniqueVectoredHandler handler(AddVectoredExceptionHandler(1, &OnFirstChance));
    const LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(&OnUnhandled);
    if (previous != &OnUnhandled) outerFilter = previous;
    volatile bool finished = false;
    activeFrame = &frame;
    if (__builtin_setjmp(frame.jump) == 0) {
        invoke(call);
        finished = true;
    }
    activeFrame = frame.outer;
    if (!frame.outer) SetUnhandledExceptionFilter(outerFilter);
    return finished;
}
