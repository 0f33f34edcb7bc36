// The window's batch run (the real main window, shown, its run button pressed
// over a list of files) beside the command-line clip path and the I/O floor of
// the same files (bench/batch_rounds.h), in one process, interleaved by round.
// Besides the time per file it prints what each file costs the process: page
// faults, read and write system calls, and whether GDI objects and windows
// grow from round to round.
//
// Where the counts come from. Under Wine, GetProcessMemoryInfo leaves
// PageFaultCount at 0 and GetGuiResources answers 0; and Z:\proc\self\stat is
// the Wine server's, not ours, because the server opens files for its clients.
// So under Wine the process asks the Linux kernel its own process id (one raw
// getpid system call) and reads Z:\proc\<id>\stat (minflt) and
// Z:\proc\<id>\io (syscr, syscw: the Wine server's round trips are among
// them); GDI objects are the used entries of the process's GDI handle table,
// and USER objects are counted as the process's windows. On Windows the
// system's own counters serve.
#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "bench/batch_rounds.h"
#include "cli/clip_image.h"
#include "cli/console_clip_host.h"
#include "framework/application.h"
#include "framework/dialogs.h"
#include "framework/win32/win32_platform.h"

namespace {

namespace fs = std::filesystem;

// Answers every question Yes without showing anything, and counts the messages
// that would have been shown: a run that shows one did not go as measured.
class SilentDialogs : public TDialogService {
public:
    int shown = 0;
    TModalResult MessageDlg(const std::string&, TMsgDlgType, TMsgDlgButtons) override
    {
        ++shown;
        return mrYes;
    }
    void ShowMessage(const std::string&) override { ++shown; }
};

struct TProcessCounters {
    double PageFaults = 0;
    double SystemCalls = -1;  // reads and writes; -1 when unknown
    double GdiObjects = 0;
    double UserObjects = 0;
};

bool UnderWine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

#if defined(__x86_64__)
long LinuxProcessId()
{
    long id;
    asm volatile("syscall" : "=a"(id) : "a"(39L) : "rcx", "r11", "memory");
    return id;
}
#else
long LinuxProcessId() { return -1; }
#endif

// Read to its end: a /proc file tells no size.
std::string ProcFile(long id, const char* name)
{
    std::string text;
    if (std::FILE* f = std::fopen(("Z:\\proc\\" + std::to_string(id) + "\\" + name).c_str(), "rb")) {
        char chunk[512];
        for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, f)) > 0;) text.append(chunk, got);
        std::fclose(f);
    }
    return text;
}

// Field 10 of /proc/<id>/stat, counted after the command name's closing
// parenthesis (the name may hold spaces).
double MinorFaults(const std::string& stat)
{
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    unsigned long long fields[8] = {};
    char state = 0;
    if (std::sscanf(stat.c_str() + close + 1, " %c %llu %llu %llu %llu %llu %llu %llu", &state, &fields[0],
                    &fields[1], &fields[2], &fields[3], &fields[4], &fields[5], &fields[6]) != 8)
        return -1;
    return double(fields[6]);
}

double IoField(const std::string& io, const char* name)
{
    const std::size_t at = io.find(name);
    return at == std::string::npos ? -1 : std::strtod(io.c_str() + at + std::strlen(name), nullptr);
}

// The used entries of the GDI handle table that the process environment block
// points at (its layout as the system has it: 24-byte entries, the type byte
// at offset 14, 0 when free).
double GdiTableCount()
{
#if defined(__x86_64__)
    const std::uint8_t* peb = nullptr;
    asm("mov %%gs:0x60, %0" : "=r"(peb));
    const auto* table = *reinterpret_cast<const std::uint8_t* const*>(peb + 0xF8);
    if (!table) return -1;
    int used = 0;
    for (int i = 0; i < 0x10000; ++i) used += table[std::size_t(i) * 24 + 14] != 0;
    return used;
#else
    return -1;
#endif
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(window, [](HWND, LPARAM c) -> BOOL { return ++*reinterpret_cast<int*>(c), TRUE; }, count);
    return TRUE;
}

BOOL CALLBACK CountOwnWindow(HWND window, LPARAM count)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId() ? CountWindow(window, count) : TRUE;
}

double OwnWindowCount()
{
    int count = 0;
    EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

class TCounterSource {
public:
    TCounterSource() : wine_(UnderWine()), linuxId_(wine_ ? LinuxProcessId() : -1) {}

    std::string Describe() const
    {
        return wine_ ? "Wine: faults from Z:\\proc\\<id>\\stat (minflt), system calls from Z:\\proc\\<id>\\io "
                       "(syscr+syscw), GDI from the handle table, USER as windows"
                     : "Windows: GetProcessMemoryInfo PageFaultCount, GetGuiResources";
    }

    TProcessCounters Sample() const
    {
        TProcessCounters counters;
        if (wine_) {
            counters.PageFaults = MinorFaults(ProcFile(linuxId_, "stat"));
            const std::string io = ProcFile(linuxId_, "io");
            const double reads = IoField(io, "syscr:"), writes = IoField(io, "syscw:");
            counters.SystemCalls = reads < 0 || writes < 0 ? -1 : reads + writes;
            counters.GdiObjects = GdiTableCount();
            counters.UserObjects = OwnWindowCount();
        } else {
            PROCESS_MEMORY_COUNTERS memory{};
            memory.cb = sizeof memory;
            GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
            counters.PageFaults = memory.PageFaultCount;
            counters.GdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
            counters.UserObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
        }
        return counters;
    }

private:
    bool wine_;
    long linuxId_;
};

// One path's rounds: time per file, counts per file, objects gained per round.
struct TPathFigures {
    std::vector<double> Seconds, Faults, Calls, Gdi, User;

    template <typename Round>
    bool Measure(const TCounterSource& source, Round&& round)
    {
        const TProcessCounters before = source.Sample();
        const auto start = std::chrono::steady_clock::now();
        if (!round()) return false;
        Seconds.push_back(SecondsSince(start) / kBatchFiles);
        const TProcessCounters after = source.Sample();
        Faults.push_back((after.PageFaults - before.PageFaults) / kBatchFiles);
        Calls.push_back(before.SystemCalls < 0 ? -1 : (after.SystemCalls - before.SystemCalls) / kBatchFiles);
        Gdi.push_back(after.GdiObjects - before.GdiObjects);
        User.push_back(after.UserObjects - before.UserObjects);
        return true;
    }

    void Print(const std::string& kind, const std::string& path, double floorSeconds) const
    {
        const double seconds = Median(Seconds);
        std::printf("%-7s %-7s %9.1f %7.2fx %12.1f %12.1f %10.0f %10.0f\n", kind.c_str(), path.c_str(), seconds * 1e6,
                    seconds / floorSeconds, Median(Faults), Median(Calls), Median(Gdi), Median(User));
    }
};

void Pump()
{
    for (int i = 0; i < 3; ++i) Application().ProcessMessages();
}

// The window's run, the clip path and the floor over the copies of one input
// kind; false when something failed.
bool Measure(const TCounterSource& source, SilentDialogs& dialogs, const std::string& kind,
             const std::string& directory, const std::string& extension, bool decodeGif)
{
    const std::vector<std::string> inputs = BatchInputs(directory, extension);
    const std::string suffix = "-" + extension.substr(1);
    const std::string windowOut = BatchPath(directory, "window" + suffix), clipOut = BatchPath(directory, "clip" + suffix),
                      floorOut = BatchPath(directory, "floor" + suffix);
    for (const std::string& out : {windowOut, clipOut, floorOut}) fs::create_directories(out);

    auto form = std::make_unique<TMainForm>();
    form->Show();
    Pump();
    for (const std::string& input : inputs) form->ListViewClip.Add(input);
    form->EditSavePath.SetText(windowOut);
    const auto windowRound = [&] {
        for (int i = 0; i < kBatchFiles; ++i) std::remove(BatchOutput(windowOut, i).c_str());
        form->ButtonRun.Click();
        for (int i = 0; i < form->ListViewClip.Count(); ++i)
            if (form->ListViewClip.SubItem(i, 1) != "OK") return false;
        return dialogs.shown == 0 && form->ListViewClip.Count() == kBatchFiles;
    };

    TConsoleClipHost host({}, clipOut);
    TClipImage image;
    TClipJob job(host, image);
    const auto clipRound = [&] { return ClipRound(job, inputs, clipOut); };

    // A first round of each, unmeasured: the output's bytes, caches and pools.
    if (!windowRound() || !clipRound()) return false;
    const std::vector<char> outputBytes = ReadFile(BatchOutput(clipOut, 0));
    if (outputBytes != ReadFile(BatchOutput(windowOut, 0))) return false;
    TBatchFloor floorRound(decodeGif);
    const auto floor = [&] { return floorRound.Round(inputs, floorOut, outputBytes); };
    if (!floor()) return false;

    TPathFigures window, clip, floorFigures;
    for (int round = 0; round < kBatchRounds; ++round) {
        if (!window.Measure(source, windowRound) || !clip.Measure(source, clipRound) ||
            !floorFigures.Measure(source, floor))
            return false;
    }
    const double floorSeconds = Median(floorFigures.Seconds);
    window.Print(kind, "window", floorSeconds);
    clip.Print(kind, "clip", floorSeconds);
    floorFigures.Print(kind, "floor", floorSeconds);
    form.reset();
    Pump();
    return true;
}

}  // namespace

int main()
{
    InstallWin32Platform();
    auto silent = std::make_unique<SilentDialogs>();
    SilentDialogs& dialogs = *silent;
    Application().SetDialogs(std::move(silent));

    const TCounterSource source;
    const std::string directory = MakeBatchDirectory("talvern-window-batch-bench-");
    bool ok = MakeBatchInputs(directory);
    std::printf("== %d files of 1024x768 cropped to 640x480+0+0: the window's run, the clip path and the I/O floor "
                "(median of %d rounds)\n   counts: %s\n",
                kBatchFiles, kBatchRounds, source.Describe().c_str());
    std::printf("%-7s %-7s %9s %8s %12s %12s %10s %10s\n", "kind", "path", "us/file", "/floor", "faults/file",
                "syscalls/file", "GDI+/round", "USER+/round");
    ok = ok && Measure(source, dialogs, "Bmp24", directory, ".bmp", false) &&
         Measure(source, dialogs, "Gif256", directory, ".gif", true);
    std::error_code ignored;
    fs::remove_all(directory, ignored);
    if (!ok) std::printf("window_batch_bench: could not make or clip the inputs\n");
    return ok ? 0 : 1;
}
