// How long one load through GV takes, start to exit: the stand-in GV is started,
// opens a BMP file, reports it ready, hands the DIB over and exits. Prints the
// median and the range of a few loads, and where the time of one load goes.
// Run by hand (not a test): gv_load_timing [loads] [width] [height]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "external/kxv_gv.h"
#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/win32/wide.h"
#include "framework/win32/win32_platform.h"
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

}  // namespace

int main(int argc, char** argv)
{
    const int loads = argc > 1 ? std::atoi(argv[1]) : 5;
    const int width = argc > 2 ? std::atoi(argv[2]) : 640;
    const int height = argc > 3 ? std::atoi(argv[3]) : 480;
    InstallWin32Platform();
    const std::string dir = ScratchDir("gv_load_timing");
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring standIn(self);
    standIn = standIn.substr(0, standIn.find_last_of(L'\\') + 1) + L"stand_in_gv.exe";
    const std::string file = dir + "\\picture.bmp";
    WriteAll(file, Bmp24(width, height));

    kxvGV gv(WideToUtf8(standIn));
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
