// The plug-in host: a process of its own in which Susie plug-ins are loaded and
// called, so that one that faults, corrupts memory, hangs or exits ends only
// this process. The program starts it with the name of a pipe, sends requests
// through it and reads the replies (external/spi_host_protocol.h); the host
// ends when the pipe closes.
//
// Nothing of a faulted plug-in is trusted to go on: a fault nobody handles ends
// the host at once with the fault's code as its exit code, and a call after
// which a heap fails its check is answered as failed and ends the host too.
#include <windows.h>
#include <shellapi.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "external/host/hosted_plugin_win32.h"
#include "external/spi_host_protocol.h"
#include "framework/win32/handles.h"

namespace {

constexpr UINT kHeapSpoiled = 3;

LONG WINAPI EndHost(EXCEPTION_POINTERS* exception)
{
    TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

bool ReadExactly(HANDLE pipe, void* data, DWORD size)
{
    auto* at = static_cast<std::uint8_t*>(data);
    while (size > 0) {
        DWORD read = 0;
        if (!ReadFile(pipe, at, size, &read, nullptr) || read == 0) return false;
        at += read;
        size -= read;
    }
    return true;
}

bool WriteAll(HANDLE pipe, const std::vector<std::uint8_t>& bytes)
{
    DWORD written = 0;
    return WriteFile(pipe, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
}

std::wstring PipeName()
{
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&LocalFree)> arguments(CommandLineToArgvW(GetCommandLineW(), &count),
                                                                  &LocalFree);
    if (!arguments || count < 2) return {};
    return arguments.get()[1];
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(&EndHost);
    const std::wstring name = PipeName();
    if (name.empty()) return 2;
    const UniqueFile pipe(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!pipe) return 2;

    std::map<std::wstring, std::unique_ptr<THostedPlugin>> plugins;
    std::vector<std::uint8_t> body;
    for (;;) {
        std::uint8_t prefix[4];
        if (!ReadExactly(pipe.get(), prefix, 4)) return 0;
        const std::uint32_t length = spihost::FrameLength(prefix);
        if (length > spihost::kMaxRequest) return 2;
        body.resize(length);
        if (!ReadExactly(pipe.get(), body.data(), length)) return 0;
        const std::optional<spihost::TRequest> request = spihost::DecodeRequest(body);
        if (!request) return 2;

        spihost::TReply reply;
        reply.call = request->call;
        reply.sequence = request->sequence;
        const std::wstring path(reinterpret_cast<const wchar_t*>(request->plugin.data()), request->plugin.size());
        std::unique_ptr<THostedPlugin>& plugin = plugins[path];
        if (!plugin) plugin = std::make_unique<THostedPlugin>(path);
        plugin->Answer(*request, reply);
        const bool spoiled = !HeapsAreSound();
        if (spoiled) {
            const char text[] = "the plug-in corrupted the memory of its host";
            reply = spihost::TReply();
            reply.call = request->call;
            reply.sequence = request->sequence;
            reply.status = spihost::TStatus::Failed;
            reply.reason.assign(text, text + sizeof text - 1);
        }
        if (!WriteAll(pipe.get(), spihost::EncodeReply(reply))) return 0;
        if (spoiled) return int(kHeapSpoiled);
    }
}
