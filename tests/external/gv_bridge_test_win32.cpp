// The bridge against the stand-in GV in another process, found through the
// registry and started by the bridge itself, as a real GV would be.
#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "external/kxv_gv.h"
#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/clock.h"
#include "framework/win32/handles.h"
#include "framework/win32/wide.h"
#include "framework/win32/win32_platform.h"
#include "posted_input_win32.h"
#include "test_support.h"

namespace {

constexpr std::uint32_t kPalette[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0x808080};

// The colour the test files hold at (x, y), y counted from the top.
std::uint32_t Expected(int bits, int x, int y)
{
    if (bits == 8) return kPalette[(x + 2 * y) % 4];
    return std::uint32_t((x * 7) & 0xFF) << 16 | std::uint32_t((y * 3) & 0xFF) << 8 | std::uint32_t((x ^ y) & 0xFF);
}

std::vector<std::uint8_t> MakeBmp(int width, int height, int bits)
{
    const int colors = bits == 8 ? 4 : 0;
    const std::uint32_t stride = std::uint32_t(width * bits / 8 + 3) / 4 * 4;
    const std::uint32_t offset = 14 + 40 + 4 * colors;
    Bytes b;
    b.u8('B').u8('M').u32(offset + stride * height).u32(0).u32(offset);
    b.u32(40).u32(width).u32(height).u16(1).u16(bits).u32(0).u32(0).u32(0).u32(0).u32(colors).u32(0);
    for (int i = 0; i < colors; ++i) b.u32(kPalette[i]);
    for (int y = height - 1; y >= 0; --y) {
        const std::size_t rowStart = b.size();
        for (int x = 0; x < width; ++x) {
            if (bits == 8) {
                b.u8((x + 2 * y) % 4);
            } else {
                const std::uint32_t c = Expected(bits, x, y);
                b.u8(c).u8(c >> 8).u8(c >> 16);
            }
        }
        b.fill(stride - (b.size() - rowStart));
    }
    return b.data;
}

void SetGVRegistryPath(const std::string* path)
{
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Ferrow\\GV\\Path");
    if (!path) return;
    UniqueKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Ferrow\\GV\\Path", 0, nullptr, 0, KEY_WRITE, nullptr,
                              key.put(), nullptr),
              ERROR_SUCCESS);
    const std::wstring value = Utf8ToWide(*path);
    RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   DWORD((value.size() + 1) * sizeof(wchar_t)));
}

class GVBridge : public ::testing::Test {
protected:
    std::string dir;
    std::string gvPath;  // holds a blank, so the command line must quote it
    std::string logPath;

    void SetUp() override
    {
        InstallWin32Platform();
        // A directory per test: a GV told to exit may still be ending, holding its program file.
        dir = ScratchDir(std::string("gv_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring standIn(self);
        standIn = standIn.substr(0, standIn.find_last_of(L'\\') + 1) + L"stand_in_gv.exe";
        CreateDirectoryW(Utf8ToWide(dir + "\\G V").c_str(), nullptr);
        gvPath = dir + "\\G V\\gv.exe";
        ASSERT_TRUE(CopyFileW(standIn.c_str(), Utf8ToWide(gvPath).c_str(), FALSE));
        SetGVRegistryPath(&gvPath);
        logPath = dir + "\\commands.log";
        SetEnvironmentVariableA("STAND_IN_GV_LOG", logPath.c_str());
        for (const char* name : {"STAND_IN_GV_MODE", "STAND_IN_GV_READY_MS", "STAND_IN_GV_REGISTER_MS",
                                 "STAND_IN_GV_WINDOW_RECT"})
            SetEnvironmentVariableA(name, nullptr);
    }
    void TearDown() override { SetGVRegistryPath(nullptr); }

    std::string WriteBmp(const std::string& name, int width, int height, int bits)
    {
        const std::string path = dir + "\\" + name;
        WriteAll(path, MakeBmp(width, height, bits));
        return path;
    }

    // The commands GV received, once the stand-in has logged "ExitGV()" (or
    // after a bound, for one that died); the start and request lines are left out.
    std::vector<std::string> Commands()
    {
        std::vector<std::string> lines;
        for (int wait = 0; wait < 250; ++wait) {
            lines.clear();
            std::ifstream in(logPath);
            for (std::string line; std::getline(in, line);)
                if (line.rfind("started:", 0) != 0 && line.rfind("request:", 0) != 0) lines.push_back(line);
            if (!lines.empty() && lines.back() == "ExitGV()") break;
            Sleep(20);
        }
        return lines;
    }
    int Starts()
    {
        int starts = 0;
        std::ifstream in(logPath);
        for (std::string line; std::getline(in, line);) starts += line.rfind("started:", 0) == 0 && line.find("/DDE") != std::string::npos;
        return starts;
    }
    int Requests(const std::string& item)
    {
        int requests = 0;
        std::ifstream in(logPath);
        for (std::string line; std::getline(in, line);) requests += line == "request:" + item;
        return requests;
    }
};

void ExpectPixels(const TBitmap& bitmap, int bits)
{
    for (int y = 0; y < bitmap.Height(); y += std::max(1, bitmap.Height() / 7)) {
        const std::uint32_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); x += std::max(1, bitmap.Width() / 5))
            ASSERT_EQ(row[x] & 0xFFFFFF, Expected(bits, x, y)) << x << "," << y;
    }
}

}  // namespace

TEST_F(GVBridge, LoadsAFileThroughAStartedGVAndStartsItAgainForTheNextLoad)
{
    kxvGV gv;
    ASSERT_TRUE(gv.Enable());
    EXPECT_EQ(gv.Path(), gvPath);
    const std::string file = WriteBmp("paletted.bmp", 13, 7, 8);
    TBitmap bitmap;
    ASSERT_TRUE(gv.LoadFromFile(file, bitmap));
    EXPECT_EQ(bitmap.Width(), 13);
    EXPECT_EQ(bitmap.Height(), 7);
    ExpectPixels(bitmap, 8);
    EXPECT_EQ(gv.ColorDepth, 8);
    ASSERT_NE(gv.Palette(), nullptr);
    EXPECT_EQ(gv.Palette()->palVersion, 0x300);
    ASSERT_EQ(gv.Palette()->palNumEntries, 4);
    EXPECT_EQ(gv.Palette()->palPalEntry[2], (TPaletteEntry{0, 0, 0xFF, 0}));
    EXPECT_EQ(gv.Conv(), nullptr);

    // A DIB above 3 MB, larger than a default stack holds.
    const std::string large = WriteBmp("large.bmp", 1100, 1000, 24);
    ASSERT_TRUE(gv.LoadFromFile(large, bitmap));
    EXPECT_EQ(bitmap.Width(), 1100);
    ExpectPixels(bitmap, 24);
    EXPECT_EQ(gv.ColorDepth, 24);
    EXPECT_EQ(gv.Palette(), nullptr);

    EXPECT_EQ(Commands(), (std::vector<std::string>{"FileOpen(" + file + ")", "ExitGV()", "FileOpen(" + large + ")",
                                                    "ExitGV()"}));
    EXPECT_EQ(Starts(), 2);
}

// GV reads code page 932: a Japanese name goes as its bytes in that code page; one
// the code page cannot hold goes as its short name, or GV is not asked at all
// (nor started) and the load says why. Never a look-alike.
TEST_F(GVBridge, NamesGoInCodePage932OrAsTheShortNameOrNotAtAll)
{
    kxvGV gv;
    ASSERT_TRUE(gv.Enable());
    TBitmap bitmap;
    const std::string japanese = WriteBmp("日本語.bmp", 3, 2, 24);
    ASSERT_TRUE(gv.LoadFromFile(japanese, bitmap));
    EXPECT_EQ(bitmap.Width(), 3);
    const std::string sjis = "\x93\xFA\x96\x7B\x8C\xEA.bmp";  // 日本語.bmp
    EXPECT_EQ(Commands(), (std::vector<std::string>{"FileOpen(" + dir + "\\" + sjis + ")", "ExitGV()"}));
    EXPECT_EQ(gv.Refusal(), "");

    for (const std::string name : {"한글😀.bmp", "Ünïcödé.bmp", "x¥y.bmp"}) {
        SCOPED_TRACE(name);
        DeleteFileW(Utf8ToWide(logPath).c_str());
        const std::string file = WriteBmp(name, 4, 2, 24);
        const std::optional<std::string> shortName = ShortPathName(file);
        if (shortName && Utf8ToCodePage(*shortName, 932)) {
            EXPECT_NE(*shortName, file);
            ASSERT_TRUE(gv.LoadFromFile(file, bitmap));
            EXPECT_EQ(bitmap.Width(), 4);
            EXPECT_EQ(Commands(), (std::vector<std::string>{"FileOpen(" + *Utf8ToCodePage(*shortName, 932) + ")",
                                                            "ExitGV()"}));
        } else {
            EXPECT_FALSE(gv.LoadFromFile(file, bitmap));
            EXPECT_NE(gv.Refusal(), "");
            EXPECT_EQ(Starts(), 0);
        }
    }
}

TEST_F(GVBridge, SendsEveryCommandTextExactly)
{
    kxvGV gv;
    EXPECT_FALSE(gv.ClipCopy());  // no conversation yet
    ASSERT_TRUE(gv.Execute());
    EXPECT_TRUE(gv.Execute());  // already open
    EXPECT_FALSE(gv.FileOpen(""));
    EXPECT_FALSE(gv.FileOpenEx("", grLeft));
    EXPECT_FALSE(gv.PartMAGCheck(kxvGVPartMAGMode(4)));
    EXPECT_TRUE(gv.FileOpen("C:\\画像 1\\a.mag"));
    gv.FileOpenEx("x.pic", grLeft);
    gv.FileOpenEx("x.pic", grRight);
    gv.FileClose();
    gv.FileSaveEx("o.bmp", true, false);
    gv.FileSaveEx("", false, true);
    gv.SetWindowPos(true, -5, 0, 640, 480, 3);
    gv.SetWindowPos(false, 1, 2, 3, 4, -2147483647 - 1);
    gv.ClipCopy();
    gv.ClipCopyViewImage();
    gv.ClipPaste();
    gv.SetWallPaper(true);
    gv.SetWallPaper(false);
    gv.Quantize(gsOn, 256, -1, true);
    gv.Quantize(gsOff, 16, 0, false);
    gv.Quantize(kxvGVSwitch(7), 1, 2, false);
    gv.ZoomRate(-150);
    gv.Aspect(3, gaW);
    gv.Aspect(4, gaH);
    gv.Aspect(5, gaI);
    gv.Aspect(6, gaD);
    gv.Aspect(-2, kxvGVAspect(9));
    gv.Rotate(grLeft);
    gv.Rotate(grRight);
    gv.ShowGV(true);
    gv.IconGV(false);
    gv.AutoAspect(true);
    gv.AutoResize(false);
    for (kxvGVPartMAGMode mode : {pmAuto, pmSemiAuto, pmManual, pmNoCheck}) EXPECT_TRUE(gv.PartMAGCheck(mode));
    EXPECT_TRUE(gv.ViewDraft());
    gv.Terminate();
    EXPECT_EQ(gv.Conv(), nullptr);
    EXPECT_EQ(Commands(), (std::vector<std::string>{
                              "FileOpen(C:\\\x89\xE6\x91\x9C 1\\a.mag)",  // 画像 in code page 932
                              "FileOpenEx(x.pic,L)", "FileOpenEx(x.pic,R)",
                              "FileClose()", "FileSaveEx(o.bmp,ON,OFF)", "FileSaveEx(,OFF,ON)",
                              "SetWindowPos(-1,-5,0,640,480,3)", "SetWindowPos(1,1,2,3,4,-2147483648)", "ClipCopy()",
                              "ClipCopyViewImage()", "ClipPaste()", "SetWallPaper(TILE)", "SetWallPaper(CENTER)",
                              "Quantize(ON,256,-1,ON)", "Quantize(OFF,16,0,OFF)", "Quantize(AUTO,1,2,OFF)",
                              "ZoomRate(-150)", "Aspect(3,W)", "Aspect(4,H)", "Aspect(5,I)", "Aspect(6,D)",
                              "Aspect(-2,Other)", "Rotate(L)", "Rotate(R)", "ShowGV(ON)", "IconGV(OFF)",
                              "AutoAspect(ON)", "AutoResize(OFF)", "PartMAGCheck(AUTO)", "PartMAGCheck(SemiAUTO)",
                              "PartMAGCheck(Manual)", "PartMAGCheck(NoCheck)", "ViewDraft()", "ExitGV()"}));
}

TEST_F(GVBridge, ReadsTheWindowRectangleWithOneCharacterSeparators)
{
    const auto windowRect = [&](const char* reply, TRect& rect, int& value) {
        SetEnvironmentVariableA("STAND_IN_GV_WINDOW_RECT", reply);
        kxvGV gv;
        const bool read = gv.Execute() && gv.WindowRect(rect, value);
        gv.Terminate();
        Commands();
        return read;
    };
    TRect rect;
    int value = 0;
    ASSERT_TRUE(windowRect("10, 20, 300, 200, 1", rect, value));
    EXPECT_EQ(rect, (TRect{10, 20, 310, 220}));
    EXPECT_EQ(value, 1);
    ASSERT_TRUE(windowRect("10 ,20,300,200,1", rect, value));
    EXPECT_EQ(rect, (TRect{10, 0, 30, 300}));
    EXPECT_EQ(value, 200);
    ASSERT_TRUE(windowRect("-7,5", rect, value));  // the fields missing read as 0, nothing past the reply
    EXPECT_EQ(rect, (TRect{-7, 5, -7, 5}));
    EXPECT_EQ(value, 0);
}

TEST_F(GVBridge, AGVThatRegistersLateIsConnectedToOnARetry)
{
    SetEnvironmentVariableA("STAND_IN_GV_REGISTER_MS", "300");
    kxvGV gv;
    TBitmap bitmap;
    EXPECT_TRUE(gv.LoadFromFile(WriteBmp("late.bmp", 3, 3, 24), bitmap));
}

// The wait polls at a bounded rate while input keeps waking it. Its bounds are
// counts against the bridge's own limit: a busy machine makes fewer requests
// and a longer wait, never more requests or a shorter one.
TEST_F(GVBridge, AGVThatIsNeverReadyIsToldToExitAfterTheLimitWhileTheWindowStaysLive)
{
    for (const char* mode : {"never-ready", "wrong-case"}) {
        SCOPED_TRACE(mode);
        SetEnvironmentVariableA("STAND_IN_GV_MODE", mode);
        DeleteFileW(Utf8ToWide(logPath).c_str());
        kxvGV gv;
        gv.DIBWaitLimitMs = 1000;
        TBitmap bitmap;
        const std::string file = WriteBmp("never.bmp", 3, 3, 24);
        std::int64_t waited = 0;
        int posted = 0;
        {
            const TPostedInput input;
            const std::int64_t start = MonotonicMilliseconds();
            EXPECT_FALSE(gv.LoadFromFile(file, bitmap));
            waited = MonotonicMilliseconds() - start;
            posted = input.Posted();
        }
        // The input was handled during the wait: little of it is left over.
        int left = 0;
        for (MSG message; PeekMessageW(&message, nullptr, WM_APP, WM_APP, PM_REMOVE);) ++left;
        EXPECT_LT(left, posted / 2) << posted;
        EXPECT_GE(waited, 1000);
        EXPECT_TRUE(bitmap.Empty());
        EXPECT_EQ(Commands(), (std::vector<std::string>{"FileOpen(" + file + ")", "ExitGV()"}));
        EXPECT_GE(Requests("DIBRequest"), 1);
        EXPECT_LE(Requests("DIBRequest"), 52);  // one each 20 ms of the limit, and the last at its end
    }
}

TEST_F(GVBridge, ShortWrongSizeOrGarbageDIBsAndAGVThatDiesFailTheLoad)
{
    const std::string file = WriteBmp("small.bmp", 5, 4, 8);
    for (const char* mode : {"short-dib", "header-108", "garbage-dib", "die-after-open"}) {
        SCOPED_TRACE(mode);
        SetEnvironmentVariableA("STAND_IN_GV_MODE", mode);
        kxvGV gv;
        gv.DIBWaitLimitMs = 20000;
        TBitmap bitmap;
        const DWORD start = GetTickCount();
        EXPECT_FALSE(gv.LoadFromFile(file, bitmap));
        EXPECT_LT(GetTickCount() - start, 10000u);  // a GV gone away is not waited for
        EXPECT_TRUE(bitmap.Empty());
        EXPECT_EQ(gv.Conv(), nullptr);
    }
}

TEST_F(GVBridge, AMissingProgramKeepsTheBridgeOff)
{
    kxvGV missing(dir + "\\none\\gv.exe");
    EXPECT_FALSE(missing.Enable());
    missing.SetEnable(true);
    EXPECT_FALSE(missing.Enable());
    EXPECT_EQ(missing.GetFilter(), "");
    TBitmap bitmap;
    EXPECT_FALSE(missing.LoadFromFile(WriteBmp("any.bmp", 2, 2, 24), bitmap));
    EXPECT_FALSE(missing.Execute());

    SetGVRegistryPath(nullptr);
    EXPECT_FALSE(kxvGV().Enable());

    kxvGV found(gvPath);
    EXPECT_TRUE(found.Enable());
    EXPECT_EQ(found.ServiceApplication, "\"" + gvPath + "\" /DDE ");  // the blank in the path is quoted
    const std::string filter = found.GetFilter();
    EXPECT_EQ(std::count(filter.begin(), filter.end(), '|'), 31);
    EXPECT_EQ(filter.substr(0, 8 * 3), "ﾋﾞｯﾄﾏｯﾌﾟ");  // half-width katakana, three bytes each in UTF-8
    found.SetEnable(false);
    EXPECT_EQ(found.GetFilter(), "");
}
