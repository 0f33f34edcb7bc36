#pragma once
// The program's end of one plug-in host (external/host): a process of ours of one
// width that loads Susie plug-ins and calls them. The host starts at the first
// call, and again at the call after one that ended it; every call has a time
// limit, past which the host is ended. Replies are taken only when they answer
// their request, and a DIB only when it lies within the mapping it came in.
//
// A host that could not be started the first time stays out: this machine does
// not run it (or it is missing), and the set leaves its plug-ins out. A call
// during which a host that had already answered others ends is tried once more
// on a fresh host: what ended it may have been done by an earlier call.
//
// While a call waits, the thread's messages are handled, so a window stays live;
// a call made from inside that handling, while another waits, fails at once.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "external/spi_host_protocol.h"
#include "framework/win32/handles.h"

class TSpiHost {
public:
    explicit TSpiHost(std::wstring program);
    ~TSpiHost();
    TSpiHost(const TSpiHost&) = delete;
    TSpiHost& operator=(const TSpiHost&) = delete;

    // Time limits: the picture calls get the long one.
    DWORD StartLimitMs = 20000;
    DWORD CallLimitMs = 10000;
    DWORD PictureLimitMs = 30000;

    // Starts the host if it never ran; false once it could not be started.
    bool Available();
    // Why the host is not available (empty while it is).
    const std::string& Unavailable() const { return unavailable_; }

    // The reply to `request` (its sequence set here), or nullopt with `failure`
    // saying why there is none.
    std::optional<spihost::TReply> Call(spihost::TRequest& request, std::string& failure);

    // The DIB a picture reply names, taken over from the host and mapped for
    // reading; empty when the handle is none of the host's or the DIB does not
    // lie within the mapping.
    struct TDibView {
        UniqueHandle section;
        UniqueView view;
        const std::uint8_t* info = nullptr;
        const std::uint8_t* bits = nullptr;
    };
    std::optional<TDibView> TakeDib(const spihost::TReply& reply);

private:
    enum class TEnd { Answered, Failed, HostEnded, TimedOut };
    bool Start(std::string& failure);
    void End();
    TEnd Exchange(spihost::TRequest& request, DWORD limitMs, std::optional<spihost::TReply>& reply);
    TEnd Transfer(bool write, void* data, DWORD size, ULONGLONG deadline);
    TEnd Wait(ULONGLONG deadline);
    std::string Describe(TEnd end, const spihost::TRequest& request, DWORD limitMs) const;

    std::wstring program_;
    std::string unavailable_;
    bool started_ = false;
    bool busy_ = false;
    UniqueHandle job_;
    UniqueHandle process_;
    UniqueFile pipe_;
    UniqueHandle event_;
    std::uint32_t sequence_ = 0;
    std::uint32_t answered_ = 0;  // calls the running host answered
    DWORD lastExitCode_ = 0;
};
