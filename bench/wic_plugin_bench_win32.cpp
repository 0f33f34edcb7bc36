// The shipped Susie plug-in on a 1024 x 768 PNG, as the program loads it (test,
// picture information, decode, DIB into a TBitmap): through the plug-in host
// (out of process, the host already running) beside the same calls made in
// process, in one run, repetitions interleaved, medians printed. Also the start
// of a host with its plug-in bound, on its own, and talvern-clip on 40 such PNGs
// with --jobs 2 against --jobs 1.
//   wic_plugin_bench.exe [repetitions]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "external/dib_file_stream.h"
#include "external/kxv_spi.h"
#include "framework/bitmap.h"
#include "framework/file_system.h"
#include "framework/win32/handles.h"
#include "framework/win32/wide.h"
#include "wic_image_writer_win32.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;
constexpr int kBatchFiles = 40;

std::string Directory(const std::string& path)
{
    return path.substr(0, path.find_last_of('\\'));
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double NowMs()
{
    LARGE_INTEGER frequency, t;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&t);
    return 1000.0 * double(t.QuadPart) / double(frequency.QuadPart);
}

bool OutOfProcess(kxvSPI& spi, const std::string& file)
{
    TBitmap bitmap;
    PaletteHandle palette;
    spi.SetFileName(file);
    return spi.Support && spi.GetPicture(&bitmap, palette) && bitmap.Width() == kWidth;
}

// The same calls in this process, as the program made them before it had hosts.
class TInProcess {
public:
    explicit TInProcess(const std::string& plugin) : module_(LoadLibraryW(Utf8ToWide(plugin).c_str()))
    {
        isSupported_ = reinterpret_cast<decltype(isSupported_)>(GetProcAddress(module_.get(), "IsSupported"));
        getPictureInfo_ = reinterpret_cast<decltype(getPictureInfo_)>(GetProcAddress(module_.get(), "GetPictureInfo"));
        getPicture_ = reinterpret_cast<decltype(getPicture_)>(GetProcAddress(module_.get(), "GetPicture"));
    }
    bool Ready() const { return isSupported_ && getPictureInfo_ && getPicture_; }
    bool Load(const std::string& file)
    {
        std::vector<std::uint8_t> head(spi::kHeadSize);
        TFileStream(file, fmOpenRead).Read(head.data(), std::int64_t(head.size()));
        alignas(8) std::uint8_t record[40] = {};
        HLOCAL info = nullptr, bits = nullptr;
        if (!isSupported_(file.c_str(), reinterpret_cast<std::uintptr_t>(head.data())) ||
            getPictureInfo_(file.c_str(), 0, 0, record) != 0 ||
            getPicture_(file.c_str(), 0, 0, &info, &bits, nullptr, 0) != 0)
            return false;
        const UniqueLocal infoBlock(info), bitsBlock(bits);
        const ScopedLocalLock header(info), pixels(bits);
        TDibFileStream stream;
        if (!stream.Open(static_cast<const std::uint8_t*>(header.data()), header.size(),
                         static_cast<const std::uint8_t*>(pixels.data()), pixels.size()))
            return false;
        TBitmap bitmap;
        bitmap.LoadFromStream(stream);
        return bitmap.Width() == kWidth;
    }

private:
    UniqueModule module_;
    int(WINAPI* isSupported_)(const char*, std::uintptr_t) = nullptr;
    int(WINAPI* getPictureInfo_)(const char*, std::intptr_t, unsigned, void*) = nullptr;
    int(WINAPI* getPicture_)(const char*, std::intptr_t, unsigned, HLOCAL*, HLOCAL*, void*, std::intptr_t) = nullptr;
};

// talvern-clip's whole run, in milliseconds; negative when it failed.
double ClipRun(const std::string& program, const std::string& arguments)
{
    std::wstring commandLine = Utf8ToWide("\"" + program + "\" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    const UniqueFile nul(CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    SetHandleInformation(nul.get(), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    startup.hStdOutput = startup.hStdError = nul.get();
    PROCESS_INFORMATION created{};
    const double start = NowMs();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &created))
        return -1;
    const UniqueHandle process(created.hProcess), thread(created.hThread);
    WaitForSingleObject(process.get(), INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(process.get(), &status);
    return status == 0 ? NowMs() - start : -1;
}

}  // namespace

int main(int argc, char** argv)
{
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const std::string dir = Directory(ProgramPath());
    const std::string build = Directory(dir);
    const std::string plugin = build + "\\app\\talvern_wic" + (sizeof(void*) == 8 ? ".sph" : ".spi");
    const std::string file = dir + "\\bench_1024x768.png";
    const std::vector<std::uint8_t> pattern = TestPattern(kWidth, kHeight);
    if (!WriteWicImage(file, TWicContainer::Png, kWidth, kHeight, pattern, false)) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        return 1;
    }
    kxvSPI spi(plugin);
    TInProcess inProcess(plugin);
    if (!spi.Loaded || !inProcess.Ready()) {
        std::fprintf(stderr, "the shipped plug-in or its host is not in place: %s\n", spi.FailureReason.c_str());
        return 1;
    }

    std::vector<double> outside, inside, startUp;
    for (int i = 0; i <= repetitions; ++i) {  // the first round warms up and is not counted
        const double t0 = NowMs();
        const bool a = OutOfProcess(spi, file);
        const double t1 = NowMs();
        const bool b = inProcess.Load(file);
        const double t2 = NowMs();
        const bool c = kxvSPI(plugin).Loaded;
        const double t3 = NowMs();
        if (!a || !b || !c) {
            std::fprintf(stderr, "a load failed (out of process %d, in process %d, start-up %d): %s\n", a, b, c,
                         spi.FailureReason.c_str());
            return 1;
        }
        if (i == 0) continue;
        outside.push_back(t1 - t0);
        inside.push_back(t2 - t1);
        startUp.push_back(t3 - t2);
    }
    const double o = Median(outside), n = Median(inside);
    std::printf("1024x768 24-bit PNG through the shipped plug-in into a TBitmap, median of %d\n", repetitions);
    std::printf("  out of process (host running):    %8.2f ms\n", o);
    std::printf("  in process:                       %8.2f ms\n", n);
    std::printf("  ratio out / in:                   %8.2f   (target at most 1.15)\n", o / n);
    std::printf("  host start-up, plug-in bound:     %8.2f ms\n", Median(startUp));

    std::string files;
    for (int i = 0; i < kBatchFiles; ++i) {
        const std::string copy = dir + "\\batch_" + std::to_string(i) + ".png";
        CopyFileW(Utf8ToWide(file).c_str(), Utf8ToWide(copy).c_str(), FALSE);
        files += " " + copy;
    }
    const std::string program = build + "\\cli\\talvern-clip.exe";
    const std::string common = "--no-gv --crop 64x64+0+0 --out " + dir + "\\batch_out" + files;
    std::vector<double> one, two;
    for (int i = 0; i < 3; ++i) {
        one.push_back(ClipRun(program, "--jobs 1 " + common));
        two.push_back(ClipRun(program, "--jobs 2 " + common));
    }
    if (*std::min_element(one.begin(), one.end()) < 0 || *std::min_element(two.begin(), two.end()) < 0) {
        std::fprintf(stderr, "talvern-clip failed on the batch\n");
        return 1;
    }
    std::printf("talvern-clip on %d such PNGs, whole run, median of 3\n", kBatchFiles);
    std::printf("  --jobs 1:                         %8.0f ms\n", Median(one));
    std::printf("  --jobs 2:                         %8.0f ms\n", Median(two));
    std::printf("  speed-up:                         %8.2f\n", Median(one) / Median(two));
    return 0;
}
