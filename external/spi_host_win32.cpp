#include "external/spi_host_win32.h"

#include <cstdio>
#include <vector>

#include "framework/application.h"

using spihost::TCall;
using spihost::TReply;
using spihost::TRequest;

namespace {

const char* CallName(TCall call)
{
    switch (call) {
    case TCall::PluginInfo: return "GetPluginInfo";
    case TCall::IsSupported: return "IsSupported";
    case TCall::PictureInfo: return "GetPictureInfo";
    case TCall::Picture: return "GetPicture";
    case TCall::Preview: return "GetPreview";
    }
    return "a call";
}

std::wstring UniquePipeName()
{
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    wchar_t name[96];
    swprintf(name, 96, L"\\\\.\\pipe\\talvern-spihost-%lu-%lu-%llx", GetCurrentProcessId(), GetCurrentThreadId(),
             static_cast<unsigned long long>(now.QuadPart));
    return name;
}

std::string FileNameOf(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    return std::string(name.begin(), name.end());  // the hosts' names are ASCII
}

}  // namespace

TSpiHost::TSpiHost(std::wstring program) : program_(std::move(program)) {}

TSpiHost::~TSpiHost()
{
    End();
}

bool TSpiHost::Available()
{
    if (started_ || !unavailable_.empty()) return unavailable_.empty();
    std::string failure;
    return Start(failure);
}

bool TSpiHost::Start(std::string& failure)
{
    End();
    const auto refuse = [&](const std::string& why) {
        failure = why;
        if (!started_) unavailable_ = why;
        End();
        return false;
    };
    const std::wstring name = UniquePipeName();
    pipe_.reset(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                 PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 65536, 65536, 0, nullptr));
    event_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!pipe_ || !event_) return refuse("no pipe for the plug-in host");

    std::wstring commandLine = L"\"" + program_ + L"\" " + name;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created{};
    if (!CreateProcessW(program_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &created))
        return refuse(FileNameOf(program_) + " cannot be started here (error " + std::to_string(GetLastError()) + ")");
    process_.reset(created.hProcess);
    CloseHandle(created.hThread);
    // A host goes when this program goes, even one stuck in a plug-in. Where
    // jobs do not nest the host runs without one.
    if (!job_) {
        job_.reset(CreateJobObjectW(nullptr, nullptr));
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (job_) SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }
    if (job_) AssignProcessToJobObject(job_.get(), process_.get());

    OVERLAPPED connect{};
    connect.hEvent = event_.get();
    ResetEvent(event_.get());
    if (!ConnectNamedPipe(pipe_.get(), &connect)) {
        const DWORD error = GetLastError();
        if (error == ERROR_IO_PENDING) {
            const TEnd end = Wait(GetTickCount64() + StartLimitMs);
            if (end != TEnd::Answered) {
                CancelIoEx(pipe_.get(), &connect);
                DWORD ignored = 0;
                TerminateProcess(process_.get(), 1);
                GetOverlappedResult(pipe_.get(), &connect, &ignored, TRUE);
                return refuse(FileNameOf(program_) +
                              (end == TEnd::TimedOut ? " did not start in time" : " ended as it started"));
            }
        } else if (error != ERROR_PIPE_CONNECTED) {
            return refuse(FileNameOf(program_) + " did not connect");
        }
    }
    started_ = true;
    answered_ = 0;
    return true;
}

void TSpiHost::End()
{
    if (process_) {
        pipe_.reset();  // the host ends when its pipe closes
        if (WaitForSingleObject(process_.get(), 1000) != WAIT_OBJECT_0) TerminateProcess(process_.get(), 1);
    }
    pipe_.reset();
    process_.reset();
}

TSpiHost::TEnd TSpiHost::Wait(ULONGLONG deadline)
{
    const HANDLE handles[2] = {event_.get(), process_.get()};
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return TEnd::TimedOut;
        const DWORD waited = MsgWaitForMultipleObjects(2, handles, FALSE, DWORD(deadline - now), QS_ALLINPUT);
        if (waited == WAIT_OBJECT_0) return TEnd::Answered;
        if (waited == WAIT_OBJECT_0 + 1) return TEnd::HostEnded;
        if (waited == WAIT_OBJECT_0 + 2)
            Application().ProcessMessages();
        else if (waited != WAIT_TIMEOUT)
            return TEnd::Failed;
    }
}

TSpiHost::TEnd TSpiHost::Transfer(bool write, void* data, DWORD size, ULONGLONG deadline)
{
    auto* at = static_cast<std::uint8_t*>(data);
    while (size > 0) {
        OVERLAPPED io{};
        io.hEvent = event_.get();
        ResetEvent(event_.get());
        const BOOL done = write ? WriteFile(pipe_.get(), at, size, nullptr, &io) : ReadFile(pipe_.get(), at, size, nullptr, &io);
        if (!done && GetLastError() != ERROR_IO_PENDING) return TEnd::HostEnded;
        if (!done) {
            const TEnd end = Wait(deadline);
            if (end != TEnd::Answered) {
                // The host is ended before the transfer is let go of: the pipe
                // must not write into this frame's buffer afterwards.
                TerminateProcess(process_.get(), 1);
                CancelIoEx(pipe_.get(), &io);
                DWORD ignored = 0;
                GetOverlappedResult(pipe_.get(), &io, &ignored, TRUE);
                return end;
            }
        }
        DWORD moved = 0;
        if (!GetOverlappedResult(pipe_.get(), &io, &moved, FALSE) || moved == 0) return TEnd::HostEnded;
        at += moved;
        size -= moved;
    }
    return TEnd::Answered;
}

TSpiHost::TEnd TSpiHost::Exchange(TRequest& request, DWORD limitMs, std::optional<TReply>& reply)
{
    const ULONGLONG deadline = GetTickCount64() + limitMs;
    std::vector<std::uint8_t> frame = spihost::EncodeRequest(request);
    if (TEnd end = Transfer(true, frame.data(), DWORD(frame.size()), deadline); end != TEnd::Answered) return end;
    std::uint8_t prefix[4];
    if (TEnd end = Transfer(false, prefix, 4, deadline); end != TEnd::Answered) return end;
    const std::uint32_t length = spihost::FrameLength(prefix);
    if (length > spihost::kMaxReply) return TEnd::Failed;
    std::vector<std::uint8_t> body(length);
    if (TEnd end = Transfer(false, body.data(), length, deadline); end != TEnd::Answered) return end;
    reply = spihost::ParseReply(request, body);
    return reply ? TEnd::Answered : TEnd::Failed;
}

std::string TSpiHost::Describe(TEnd end, const TRequest& request, DWORD limitMs) const
{
    const std::string call = CallName(request.call);
    switch (end) {
    case TEnd::TimedOut:
        return "the plug-in did not return from " + call + " within " + std::to_string(limitMs / 1000) +
               " s; its host was ended";
    case TEnd::HostEnded: {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(lastExitCode_));
        return "the plug-in ended its host during " + call + " (exit code " + code + ")";
    }
    case TEnd::Failed:
    case TEnd::Answered: break;
    }
    return "the plug-in host answered " + call + " wrongly; it was ended";
}

std::optional<TReply> TSpiHost::Call(TRequest& request, std::string& failure)
{
    if (busy_) {
        failure = "the plug-in host is busy with another call";
        return std::nullopt;
    }
    busy_ = true;
    struct Idle {
        bool& busy;
        ~Idle() { busy = false; }
    } idle{busy_};
    const bool picture = request.call == TCall::Picture || request.call == TCall::Preview;
    const DWORD limitMs = picture ? PictureLimitMs : CallLimitMs;
    request.sequence = ++sequence_;
    for (int attempt = 0;; ++attempt) {
        if (!unavailable_.empty()) {
            failure = unavailable_;
            return std::nullopt;
        }
        if (!process_ && !Start(failure)) return std::nullopt;
        const bool used = answered_ > 0;
        std::optional<TReply> reply;
        const TEnd end = Exchange(request, limitMs, reply);
        if (end == TEnd::Answered) {
            ++answered_;
            return reply;
        }
        if (end == TEnd::HostEnded) WaitForSingleObject(process_.get(), 1000);
        lastExitCode_ = 0;
        GetExitCodeProcess(process_.get(), &lastExitCode_);
        failure = Describe(end, request, limitMs);
        End();
        if (end != TEnd::HostEnded || !used || attempt > 0) return std::nullopt;
    }
}

std::optional<TSpiHost::TDibView> TSpiHost::TakeDib(const TReply& reply)
{
    TDibView dib;
    HANDLE section = nullptr;
    // The host's handle is closed there as it is taken over, whatever follows.
    if (!process_ ||
        !DuplicateHandle(process_.get(), reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(reply.section)),
                         GetCurrentProcess(), &section, FILE_MAP_READ, FALSE, DUPLICATE_CLOSE_SOURCE))
        return std::nullopt;
    dib.section.reset(section);
    dib.view.reset(MapViewOfFile(section, FILE_MAP_READ, 0, 0, 0));
    MEMORY_BASIC_INFORMATION region{};
    if (!dib.view || VirtualQuery(dib.view.get(), &region, sizeof region) != sizeof region ||
        !spihost::DibFitsView(reply, region.RegionSize))
        return std::nullopt;
    dib.info = static_cast<const std::uint8_t*>(dib.view.get());
    dib.bits = dib.info + reply.infoBytes;
    return dib;
}
