// How long one load through GV takes, start to exit: the stand-in GV is started,
// opens a BMP file, reports it ready, hands the DIB over and exits. Prints the
// median and the range of a few loads, and where the time of one load goes.
// With "wait", a stand-in that is never ready (or answers in the wrong case) is
// waited for until the bridge gives up: how many requests it got a second, the
// bridge's processor time, and whether "ExitGV()" reached it; "input" posts a
// message to the waiting thread every millisecond, as a busy window's input would.
// Run by hand (not a test): gv_load_timing [loads] [width] [height]
//                           gv_load_timing wait [never-ready|wrong-case] [seconds] [input]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "external/kxv_gv.h"
#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/win32/wide.h"
#include "framework/win32/win32_platform.h"
#include "posted_input_win32.h"
#include "test_support.h"

namespace {

// The performance counter, the finest clock the system offers.
struct Clock {
    using time_point = LARGE_INTEGER;
    static LARGE_INTEGER now()
    {
        LARGE_INTEGER t;
        QueryPerformanceCounter(&t);
        return t;
    }
};

double Ms(LARGE_INTEGER from)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(Clock::now().QuadPart - from.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

std::vector<std::uint8_t> Bmp24(int width, int height)
{
    const std::uint32_t stride = std::uint32_t(width * 3 + 3) / 4 * 4;
    Bytes b;
    b.u8('B').u8('M').u32(54 + stride * height).u32(0).u32(54);
    b.u32(40).u32(width).u32(height).u16(1).u16(24).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0);
    b.fill(std::size_t(stride) * height, 0x5A);
    return b.data;
}

std::string StandInPath()
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring path(self);
    return WideToUtf8(path.substr(0, path.find_last_of(L'\\') + 1) + L"stand_in_gv.exe");
}

double ProcessCpuMs()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ticks = [](FILETIME t) { return double(std::uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime); };
    return (ticks(kernel) + ticks(user)) / 10000.0;
}

int MeasureWait(const std::string& standIn, const std::string& dir, const char* mode, int seconds, bool input)
{
    std::optional<TPostedInput> posted;
    if (input) posted.emplace();
    const std::string log = dir + "\\wait.log";
    DeleteFileW(Utf8ToWide(log).c_str());
    SetEnvironmentVariableA("STAND_IN_GV_LOG", log.c_str());
    SetEnvironmentVariableA("STAND_IN_GV_MODE", mode);
    const std::string file = dir + "\\wait.bmp";
    WriteAll(file, Bmp24(4, 4));
    kxvGV gv(standIn);
    gv.DIBWaitLimitMs = DWORD(seconds) * 1000;
    TBitmap bitmap;
    const double cpuBefore = ProcessCpuMs();
    const auto start = Clock::now();
    const bool loaded = gv.LoadFromFile(file, bitmap);
    const double wallMs = Ms(start), cpuMs = ProcessCpuMs() - cpuBefore;
    posted.reset();
    int requests = 0;
    bool exited = false;
    for (int wait = 0; wait < 100 && !exited; ++wait) {
        Sleep(50);
        requests = 0;
        std::ifstream in(log);
        for (std::string line; std::getline(in, line);) {
            requests += line == "request:DIBRequest";
            exited = exited || line == "ExitGV()";
        }
    }
    std::printf("%s%s, %d s: %s, %d requests in %.0f ms (%.0f a second of the wait), bridge CPU %.0f ms, ExitGV() %s\n", mode,
                input ? " with input" : "", seconds, loaded ? "loaded" : "given up", requests, wallMs, requests / double(seconds), cpuMs,
                exited ? "received" : "never received");
    return loaded || !exited;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "wait") {
        InstallWin32Platform();
        return MeasureWait(StandInPath(), ScratchDir("gv_wait_timing"), argc > 2 ? argv[2] : "never-ready",
                           argc > 3 ? std::atoi(argv[3]) : 5, argc > 4 && std::string(argv[4]) == "input");
    }
    const int loads = argc > 1 ? std::atoi(argv[1]) : 5;
    const int width = argc > 2 ? std::atoi(argv[2]) : 640;
    const int height = argc > 3 ? std::atoi(argv[3]) : 480;
    InstallWin32Platform();
    const std::string dir = ScratchDir("gv_load_timing");
    const std::string file = dir + "\\picture.bmp";
    WriteAll(file, Bmp24(width, height));

    kxvGV gv(StandInPath());
    TBitmap bitmap;
    std::vector<double> totals;
    for (int i = 0; i < loads; ++i) {
        const auto start = Clock::now();
        if (!gv.LoadFromFile(file, bitmap)) {
            std::printf("load %d failed\n", i + 1);
            return 1;
        }
        totals.push_back(Ms(start));
    }
    std::sort(totals.begin(), totals.end());
    std::printf("%d loads of a %dx%d 24-bit picture: median %.0f ms, min %.0f ms, max %.0f ms\n", loads, width, height,
                totals[totals.size() / 2], totals.front(), totals.back());

    // The steps of one more load.
    auto step = Clock::now();
    gv.Execute();
    std::printf("  start GV and connect: %.0f ms\n", Ms(step));
    step = Clock::now();
    gv.FileOpen(file);
    while (!gv.DIBRequest()) Application().ProcessMessages();
    std::printf("  FileOpen until ready: %.0f ms (stand-in delay 30 ms)\n", Ms(step));
    step = Clock::now();
    gv.GetDIB(bitmap);
    std::printf("  fetch and read the DIB: %.0f ms\n", Ms(step));
    step = Clock::now();
    gv.Terminate();
    std::printf("  ExitGV and disconnect: %.0f ms\n", Ms(step));
    return 0;
}
