// TALVERN.exe itself, started and driven from outside as a user drives it:
// files pasted and dropped on its list, the rectangle and the output folder
// typed, "実行" pressed, the BMP files it wrote read back, then Esc to close it.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "framework/bitmap.h"
#include "framework/win32/handles.h"
#include "framework/win32/wide.h"
#include "framework/win32/win32_platform.h"
#include "framework/bmp_builder.h"
#include "gif/gif_writer.h"
#include "image/bmp_file.h"
#include "main_window_controls_win32.h"
#include "plugin_fixtures_win32.h"
#include "plugins/wic_image_writer_win32.h"
#include "test_support.h"

namespace {

// A path of the build (the host's form under Wine) as a Windows path.
std::wstring BuiltFile(std::string path)
{
    if (path.rfind('/', 0) == 0) path = "Z:" + path;  // Wine's drive for the host's root
    std::replace(path.begin(), path.end(), '/', '\\');
    return Utf8ToWide(path);
}

bool WaitFor(const std::function<bool()>& done, DWORD milliseconds = 10000)
{
    for (const DWORD start = GetTickCount(); !done(); Sleep(20))
        if (GetTickCount() - start > milliseconds) return false;
    return true;
}

BOOL CALLBACK Collect(HWND window, LPARAM windows)
{
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}
std::vector<HWND> Descendants(HWND parent)
{
    std::vector<HWND> windows;
    EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}
std::vector<HWND> ThreadWindows(DWORD thread)
{
    std::vector<HWND> windows;
    EnumThreadWindows(thread, Collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}
std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The running program: its process and its main window.
// A program the test did not see out is ended with the test.
class RunningTalvern {
public:
    explicit RunningTalvern(const std::wstring& exe)
    {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        std::wstring commandLine = L"\"" + exe + L"\"";
        if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &started))
            return;
        process_.reset(started.hProcess);
        const UniqueHandle thread(started.hThread);
        WaitFor([&] { return (window_ = MainWindow(started.dwProcessId)) != nullptr; }, 30000);
    }
    ~RunningTalvern()
    {
        if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) TerminateProcess(process_.get(), 1);
    }
    HWND Window() const { return window_; }
    HANDLE Process() const { return process_.get(); }
    DWORD Thread() const { return GetWindowThreadProcessId(window_, nullptr); }

    bool Exited(DWORD milliseconds, DWORD& exitCode) const
    {
        return WaitForSingleObject(process_.get(), milliseconds) == WAIT_OBJECT_0 &&
               GetExitCodeProcess(process_.get(), &exitCode);
    }

private:
    static HWND MainWindow(DWORD processId)
    {
        for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, nullptr, L"TALVERN Ver.1.10")) != nullptr;) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == processId && IsWindowVisible(w)) return w;
        }
        return nullptr;
    }

    UniqueHandle process_;
    HWND window_ = nullptr;
};

std::wstring WindowText(HWND window)
{
    wchar_t text[512] = {};
    SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

// A message answered within a bound: a program stuck in a message box fails the
// test instead of holding it.
bool Send(HWND to, UINT message, WPARAM wParam, LPARAM lParam, UINT milliseconds = 10000)
{
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(to, message, wParam, lParam, SMTO_NORMAL, milliseconds, &ignored) != 0;
}

// The texts of a message box the program's thread shows, to say why it is stuck.
std::wstring DialogText(DWORD thread)
{
    std::wstring text;
    for (HWND window : ThreadWindows(thread))
        if (ClassOf(window) == L"#32770" && IsWindowVisible(window))
            for (HWND child : Descendants(window)) text += L"[" + WindowText(child) + L"]";
    return text;
}

// Keys as the keyboard sends them, to the window in front: pressed in order,
// released in reverse.
void PressKeys(HWND front, const std::vector<WORD>& keys)
{
    SetForegroundWindow(front);
    std::vector<INPUT> inputs;
    const auto key = [&](WORD vk, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    for (WORD vk : keys) key(vk, 0);
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) key(*it, KEYEVENTF_KEYUP);
    SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
}

// The clipboard is opened on a window of the test's own, which stays its owner:
// emptied without one, the clipboard may refuse the data that follows.
void PutClipboardText(const std::wstring& text)
{
    static const UniqueWindow owner(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t)));
    std::memcpy(GlobalLock(memory.get()), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory.get());
    const ScopedClipboard clipboard(owner.get());
    ASSERT_TRUE(clipboard.opened());
    EmptyClipboard();
    ASSERT_TRUE(SetClipboardData(CF_UNICODETEXT, memory.get()));
    memory.release();
}

// A shell drop of these files: the drop block lies in the receiving program's
// memory, as the shell's drop does, and the receiver's DragFinish ends it.
void DropFiles(HANDLE process, HWND window, const std::vector<std::string>& paths)
{
    std::wstring names;
    for (const std::string& path : paths) names += Utf8ToWide(path) + L'\0';
    names += L'\0';
    std::vector<std::uint8_t> block(sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = TRUE;
    std::memcpy(block.data(), &header, sizeof header);
    std::memcpy(block.data() + sizeof header, names.data(), names.size() * sizeof(wchar_t));
    void* there = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(there, nullptr);
    ASSERT_TRUE(WriteProcessMemory(process, there, block.data(), block.size(), nullptr));
    ASSERT_TRUE(PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(there), 0));
}

int ListCount(HWND list) { return int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

// One column of the list as the list view holds it, each item's text read in the
// program's memory (the list view's messages do not cross processes).
std::vector<std::wstring> ListTexts(HANDLE process, HWND list, int column = 0)
{
    constexpr int kChars = 1024;
    struct Remote {
        LVITEMW item;
        wchar_t text[kChars];
    };
    auto* remote = static_cast<Remote*>(VirtualAllocEx(process, nullptr, sizeof(Remote), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    std::vector<std::wstring> texts;
    if (!remote) return texts;
    const ScopeExit freed([process, remote] { VirtualFreeEx(process, remote, 0, MEM_RELEASE); });
    for (int i = 0; i < ListCount(list); ++i) {
        Remote local{};
        local.item.iSubItem = column;
        local.item.pszText = remote->text;
        local.item.cchTextMax = kChars;
        WriteProcessMemory(process, remote, &local, sizeof local, nullptr);
        SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(i), reinterpret_cast<LPARAM>(&remote->item));
        ReadProcessMemory(process, remote->text, local.text, sizeof local.text, nullptr);
        local.text[kChars - 1] = L'\0';
        texts.push_back(local.text);
    }
    return texts;
}

// The texts sorted, as the list keeps them.
std::vector<std::wstring> Sorted(std::vector<std::wstring> texts)
{
    std::sort(texts.begin(), texts.end());
    return texts;
}
std::vector<std::wstring> SortedWide(const std::vector<std::string>& paths)
{
    std::vector<std::wstring> wide;
    for (const std::string& path : paths) wide.push_back(Utf8ToWide(path));
    return Sorted(wide);
}

// The crop rectangle typed: each edit takes its value with Enter.
void TypeRectangle(const RunningTalvern& talvern, const MainWindowControls& controls, int left, int top, int width,
                   int height)
{
    for (const auto& [edit, value] : {std::pair{controls.editLeft, left}, std::pair{controls.editTop, top},
                                      std::pair{controls.editWidth, width}, std::pair{controls.editHeight, height}}) {
        ASSERT_TRUE(Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(std::to_wstring(value).c_str())));
        ASSERT_TRUE(Send(edit, WM_CHAR, VK_RETURN, 0)) << DialogText(talvern.Thread());
    }
}

// The list's commands take their states when its menu opens (until then they are
// off): a right click, then Esc.
void OpenAndCloseMenu(const RunningTalvern& talvern, HWND list)
{
    POINT at{20, 40};
    ClientToScreen(list, &at);
    PostMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(at.x, at.y));
    const auto menuShown = [&] {
        const std::vector<HWND> windows = ThreadWindows(talvern.Thread());
        return std::any_of(windows.begin(), windows.end(),
                           [](HWND w) { return ClassOf(w) == L"#32768" && IsWindowVisible(w); });
    };
    ASSERT_TRUE(WaitFor(menuShown));
    PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(WaitFor([&] { return !menuShown(); }));
}

// The paths put on the clipboard and pasted into the empty list with Ctrl+V.
void PastePaths(const RunningTalvern& talvern, HWND list, const std::vector<std::string>& paths)
{
    std::wstring clipboard;
    for (const std::string& path : paths) clipboard += Utf8ToWide(path) + L"\r\n";
    PutClipboardText(clipboard);
    OpenAndCloseMenu(talvern, list);
    PressKeys(talvern.Window(), {VK_CONTROL, 'V'});
    ASSERT_TRUE(WaitFor([&] { return ListCount(list) == int(paths.size()); })) << ListCount(list);
}

// ---- the pictures

constexpr int kWidth = 40, kHeight = 30;
constexpr int kClipLeft = 5, kClipTop = 4, kClipWidth = 20, kClipHeight = 10;
const std::vector<std::uint32_t> kColors = {0xFF0000, 0x00FF00, 0x0000FF, 0x808000};

// The source pixel the crop's (x, y) shows, 0xRRGGBB, rows counted from the top.
using PixelAt = std::function<std::uint32_t(int x, int y)>;

std::uint32_t Checks(int x, int y) { return kColors[(x / 3 + y / 2) % 4]; }

// An 8-bit BMP with a 4-colour table.
std::vector<std::uint8_t> PalettedBmp()
{
    BmpLayout layout{.width = kWidth, .height = kHeight, .bitCount = 8, .colorsUsed = 4, .colors = kColors};
    for (int y = kHeight - 1; y >= 0; --y) {
        for (int x = 0; x < kWidth; ++x) layout.pixels.push_back(std::uint8_t((x / 3 + y / 2) % 4));
        layout.pixels.resize(layout.pixels.size() + BmpRowBytes(kWidth, 8) - kWidth);
    }
    return MakeBmp(layout);
}

// An animated GIF of two frames: the checks, then a block of the third colour
// over part of them, which the last picture shows.
constexpr RECT kBlock{8, 6, 18, 11};
std::uint32_t ChecksUnderBlock(int x, int y)
{
    const POINT at{x, y};
    return PtInRect(&kBlock, at) ? kColors[2] : Checks(x, y);
}

std::vector<std::uint8_t> AnimatedGif()
{
    GifImage image;
    image.width = kWidth;
    image.height = kHeight;
    image.globalRgb = Rgb({kColors[0], kColors[1], kColors[2], kColors[3]});
    image.frames.resize(2);
    GifFrame& first = image.frames[0];
    first.width = kWidth;
    first.height = kHeight;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) first.pixels.push_back(std::uint8_t((x / 3 + y / 2) % 4));
    GifFrame& block = image.frames[1];
    block.left = kBlock.left;
    block.top = kBlock.top;
    block.width = kBlock.right - kBlock.left;
    block.height = kBlock.bottom - kBlock.top;
    block.pixels.assign(std::size_t(block.width * block.height), 2);
    for (GifFrame& frame : image.frames) {
        frame.control = true;
        frame.delay = 1;
    }
    return EncodeGif(image);
}

std::uint32_t Gradient(int x, int y) { return std::uint32_t(x * 6) << 16 | std::uint32_t(y * 8) << 8 | std::uint32_t((x ^ y) * 4); }

// A 24-bit PNG, which only the shipped plug-in reads.
bool WritePng(const std::string& path)
{
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const std::uint32_t c = Gradient(x, y);
            pixels.insert(pixels.end(), {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16), 255});
        }
    return WriteWicImage(path, TWicContainer::Png, kWidth, kHeight, pixels, false);
}

// The paletted BMP in the stand-in GV's own format, which only GV reads.
std::vector<std::uint8_t> StandInGVFile()
{
    std::vector<std::uint8_t> bytes = PalettedBmp();
    bytes[0] = 'G';
    bytes[1] = 'V';
    return bytes;
}

// The registry value that tells the program where GV is, for the test's time.
class GVLocation {
public:
    explicit GVLocation(const std::wstring& path)
    {
        UniqueKey key;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr) ==
            ERROR_SUCCESS)
            RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                           DWORD((path.size() + 1) * sizeof(wchar_t)));
    }
    ~GVLocation() { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }

private:
    static constexpr const wchar_t* kKey = L"Software\\Ferrow\\GV\\Path";
};

struct Expected {
    int depth;
    std::vector<std::uint32_t> colors;  // the colour table's first entries, 0xRRGGBB
    PixelAt pixel;
};

void ExpectCrop(const std::string& path, const Expected& expected)
{
    SCOPED_TRACE(path);
    ASSERT_NE(GetFileAttributesW(Utf8ToWide(path).c_str()), INVALID_FILE_ATTRIBUTES) << "not written";
    const TBitmapHeaderInfo header = ReadBitmapHeader(path);
    EXPECT_EQ(header.ColorDepth, expected.depth);
    if (expected.colors.empty()) {
        EXPECT_EQ(header.Palette, nullptr);
    } else {
        ASSERT_NE(header.Palette, nullptr);
        ASSERT_GE(header.Palette->palNumEntries, expected.colors.size());
        for (std::size_t i = 0; i < expected.colors.size(); ++i) {
            const TPaletteEntry& e = header.Palette->palPalEntry[i];
            EXPECT_EQ(std::uint32_t(e.peRed << 16 | e.peGreen << 8 | e.peBlue), expected.colors[i]) << i;
        }
    }
    TBitmap crop;
    crop.LoadFromFile(path);
    ASSERT_EQ(crop.Width(), kClipWidth);
    ASSERT_EQ(crop.Height(), kClipHeight);
    for (int y = 0; y < kClipHeight; ++y)
        for (int x = 0; x < kClipWidth; ++x)
            ASSERT_EQ(crop.ScanLine(y)[x] & 0xFFFFFF, expected.pixel(kClipLeft + x, kClipTop + y)) << x << "," << y;
}

}  // namespace

TEST(TalvernEndToEnd, PastedAndDroppedFilesAreCutToTheTypedRectangleIntoTheTypedFolderThenEscCloses)
{
    InstallWin32Platform();
    const std::string dir = ScratchDir("end_to_end");
    const std::string out = dir + "\\出力";
    ASSERT_TRUE(CreateDirectoryW(Utf8ToWide(out).c_str(), nullptr));
    WriteAll(dir + "\\paletted.bmp", PalettedBmp());
    WriteAll(dir + "\\animated.gif", AnimatedGif());
    ASSERT_TRUE(WritePng(dir + "\\gradient.png"));
    WriteAll(dir + "\\viewer.gvf", StandInGVFile());
    const std::vector<std::string> pasted = {dir + "\\paletted.bmp", dir + "\\animated.gif"};
    const std::vector<std::string> dropped = {dir + "\\gradient.png", dir + "\\viewer.gvf"};
    const std::vector<std::pair<std::string, Expected>> outputs = {
        {"paletted.bmp", {8, kColors, Checks}},
        {"animated.bmp", {4, kColors, ChecksUnderBlock}},
        {"gradient.bmp", {24, {}, Gradient}},
        {"viewer.bmp", {8, kColors, Checks}},
    };
    const GVLocation gv(BuiltFile(STAND_IN_GV_EXE));

    RunningTalvern talvern(BuiltFile(TALVERN_EXE));
    const HWND window = talvern.Window();
    ASSERT_NE(window, nullptr);
    const MainWindowControls controls(window);
    ASSERT_TRUE(controls.AllFound());
    const HWND list = controls.list;
    ASSERT_EQ(WindowText(controls.buttonRun), L"実行");

    PastePaths(talvern, list, pasted);
    DropFiles(talvern.Process(), window, dropped);
    ASSERT_TRUE(WaitFor([&] { return ListCount(list) == int(pasted.size() + dropped.size()); })) << ListCount(list);

    TypeRectangle(talvern, controls, kClipLeft, kClipTop, kClipWidth, kClipHeight);
    EXPECT_EQ(WindowText(controls.editRight), std::to_wstring(kClipLeft + kClipWidth - 1));
    EXPECT_EQ(WindowText(controls.editBottom), std::to_wstring(kClipTop + kClipHeight - 1));
    ASSERT_TRUE(Send(controls.editSavePath, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Utf8ToWide(out).c_str())));

    // The run is the button's click: the press returns when it is over.
    ASSERT_TRUE(Send(controls.buttonRun, BM_CLICK, 0, 0, 60000)) << DialogText(talvern.Thread());
    for (const auto& [name, expected] : outputs) ExpectCrop(out + "\\" + name, expected);

    // Esc, with no run going, ends the program.
    PressKeys(window, {VK_ESCAPE});
    DWORD exitCode = 1;
    EXPECT_TRUE(talvern.Exited(10000, exitCode));
    EXPECT_EQ(exitCode, 0u);
}

namespace {

// A 24-bit picture with its own blue, so that a crop of another file shows: a
// BMP, or a PNG, which only the shipped plug-in reads.
std::uint32_t Tinted(int x, int y, int blue) { return std::uint32_t(x << 16 | y << 8 | blue); }
void WriteTinted(const std::string& path, int blue, bool png = false)
{
    if (png) {
        std::vector<std::uint8_t> pixels;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) pixels.insert(pixels.end(), {std::uint8_t(blue), std::uint8_t(y), std::uint8_t(x), 255});
        ASSERT_TRUE(WriteWicImage(path, TWicContainer::Png, kWidth, kHeight, pixels, false));
        return;
    }
    TBitmap bitmap;
    bitmap.SetSize(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) bitmap.ScanLine(y)[x] = Tinted(x, y, blue);
    ASSERT_TRUE(SaveBitmapFile(path, bitmap, 24, nullptr));
}

// The files chosen in the program's open dialog: its folder typed first, then the
// names, quoted, in the name box.
void ChooseInOpenDialog(const RunningTalvern& talvern, const std::string& folder, const std::vector<std::string>& names)
{
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (HWND w : ThreadWindows(talvern.Thread()))
            if (ClassOf(w) == L"#32770" && IsWindowVisible(w)) dialog = w;
        return dialog != nullptr;
    }));
    HWND nameBox = GetDlgItem(dialog, 0x47C);  // the name combo box of the explorer-style dialog
    if (!nameBox) nameBox = GetDlgItem(dialog, 0x480);
    ASSERT_NE(nameBox, nullptr);
    std::wstring quoted;
    for (const std::string& name : names) quoted += L"\"" + Utf8ToWide(name) + L"\" ";
    for (const std::wstring& text : {Utf8ToWide(folder), quoted}) {
        ASSERT_TRUE(Send(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())));
        ASSERT_TRUE(Send(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0));
    }
}

}  // namespace

// Each name that a code page would lose or change reaches the list exactly,
// pasted, dropped and chosen in the open dialog, as a BMP and as a PNG that the
// shipped plug-in reads: the list holds each name as given, and the run writes
// each crop, made from that very file, beside it under its own name;
// "x\y.bmp", which "x¥y.bmp" becomes in a best fit, is left alone.
TEST(TalvernEndToEnd, NamesOutsideCodePagesArePastedDroppedAndOpenedExactlyAndCropped)
{
    InstallWin32Platform();
    const std::string root = ScratchDir("end_to_end_names");
    const std::vector<std::string> ways = {"paste", "drop", "open"};
    std::vector<std::string> names = kUnicodeNames;
    const std::size_t bmps = names.size();
    for (const std::string& png : UnicodeNamesAs(".png")) names.push_back("png\\" + png);
    for (const std::string& way : ways) {
        MakeDir(root + "\\" + way + "\\x");
        MakeDir(root + "\\" + way + "\\png");
        WriteTinted(root + "\\" + way + "\\x\\y.bmp", 200);
        for (std::size_t i = 0; i < names.size(); ++i) WriteTinted(root + "\\" + way + "\\" + names[i], int(10 + i), i >= bmps);
    }
    const auto paths = [&](const std::string& way, std::size_t first, std::size_t end) {
        std::vector<std::string> chosen;
        for (std::size_t i = first; i < end; ++i) chosen.push_back(root + "\\" + way + "\\" + names[i]);
        return chosen;
    };

    RunningTalvern talvern(BuiltFile(TALVERN_EXE));
    const HWND window = talvern.Window();
    ASSERT_NE(window, nullptr);
    const MainWindowControls controls(window);
    ASSERT_TRUE(controls.AllFound());
    std::vector<std::string> listed = paths("paste", 0, names.size());
    PastePaths(talvern, controls.list, listed);
    EXPECT_EQ(Sorted(ListTexts(talvern.Process(), controls.list)), SortedWide(listed));

    const std::vector<std::string> dropped = paths("drop", 0, names.size());
    DropFiles(talvern.Process(), window, dropped);
    listed.insert(listed.end(), dropped.begin(), dropped.end());
    ASSERT_TRUE(WaitFor([&] { return ListCount(controls.list) == int(listed.size()); })) << ListCount(controls.list);
    EXPECT_EQ(Sorted(ListTexts(talvern.Process(), controls.list)), SortedWide(listed));

    // The dialog chooses in one folder: the BMP names, then the PNG names.
    for (const auto& [folder, chosen] : {std::pair{root + "\\open", kUnicodeNames}, std::pair{root + "\\open\\png", UnicodeNamesAs(".png")}}) {
        for (const std::string& name : chosen) listed.push_back(folder + "\\" + name);
        PressKeys(window, {VK_INSERT});
        ChooseInOpenDialog(talvern, folder, chosen);
        ASSERT_TRUE(WaitFor([&] { return ListCount(controls.list) == int(listed.size()); }))
            << ListCount(controls.list) << DialogText(talvern.Thread());
    }
    EXPECT_EQ(Sorted(ListTexts(talvern.Process(), controls.list)), SortedWide(listed));

    TypeRectangle(talvern, controls, kClipLeft, kClipTop, kClipWidth, kClipHeight);
    ASSERT_TRUE(Send(controls.buttonRun, BM_CLICK, 0, 0, 60000)) << DialogText(talvern.Thread());
    for (const std::string& way : ways) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            const int blue = int(10 + i);
            ExpectCrop(root + "\\" + way + "\\" + CropFileName(names[i]), {24, {}, [blue](int x, int y) { return Tinted(x, y, blue); }});
        }
        TBitmap untouched;
        untouched.LoadFromFile(root + "\\" + way + "\\x\\y.bmp");
        EXPECT_EQ(untouched.Width(), kWidth) << way;
    }
    EXPECT_EQ(ListTexts(talvern.Process(), controls.list, 1), std::vector<std::wstring>(listed.size(), L"OK"));
    PressKeys(window, {VK_ESCAPE});
    DWORD exitCode = 1;
    EXPECT_TRUE(talvern.Exited(10000, exitCode));
}

#ifdef _WIN64
namespace {

// Whether this machine runs 32-bit programs, found out by starting one: the
// 32-bit plug-in host, which without a pipe to serve ends at once with 2.
bool Runs32BitPrograms()
{
    std::wstring program = BuiltFile(TALVERN_EXE);
    program = program.substr(0, program.find_last_of(L'\\')) + L"\\talvern-spihost32.exe";
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started))
        return false;
    const UniqueHandle process(started.hProcess), thread(started.hThread);
    DWORD exitCode = 0;
    return WaitForSingleObject(process.get(), 10000) == WAIT_OBJECT_0 && GetExitCodeProcess(process.get(), &exitCode) &&
           exitCode == 2;
}

// A file that only the test plug-in of this pointer size ('4' or '8') takes.
std::string WriteWidthRequest(const std::string& dir, char size)
{
    const std::string path = dir + "\\width_" + std::string(1, size) + ".tvd";
    WriteAll(path, Bytes().str("TVDIBN").u8(std::uint8_t(size)).fill(10).data);
    return path;
}

}  // namespace

// The plug-in folder chosen with the Susie button holds a 32-bit ".spi" and a
// 64-bit ".sph": each crops the file only it takes, in the host of its width.
// Where 32-bit programs do not run, the ".sph" still crops and the ".spi" is
// left out, so that its file fails.
TEST(TalvernEndToEnd, The64BitWindowLoadsBothPluginWidthsInOneSetAndCropsThroughEach)
{
    InstallWin32Platform();
    const std::string dir = ScratchDir("end_to_end_widths");
    const std::string plugins = dir + "\\plugins", out = dir + "\\out";
    MakeDir(plugins);
    MakeDir(out);
    InstallPlugin(FixturePlugin32("fixture_dib"), plugins, "a32");
    InstallPlugin(FixturePlugin("fixture_dib"), plugins, "b64");
    const std::vector<std::string> files = {WriteWidthRequest(dir, '4'), WriteWidthRequest(dir, '8')};
    const bool both = Runs32BitPrograms();

    RunningTalvern talvern(BuiltFile(TALVERN_EXE));
    ASSERT_NE(talvern.Window(), nullptr);
    const MainWindowControls controls(talvern.Window());
    ASSERT_TRUE(controls.AllFound());
    // The box is ticked again once the chosen folder's set is in place.
    const auto ticked = [&] { return SendMessageW(controls.checkSusie, BM_GETCHECK, 0, 0) == BST_CHECKED; };
    ASSERT_TRUE(Send(controls.checkSusie, BM_CLICK, 0, 0));
    ASSERT_FALSE(ticked());
    ASSERT_TRUE(PostMessageW(controls.buttonSusie, BM_CLICK, 0, 0));
    ChooseInOpenDialog(talvern, plugins, {"b64.sph"});
    ASSERT_TRUE(WaitFor(ticked, 30000)) << DialogText(talvern.Thread());
    DropFiles(talvern.Process(), talvern.Window(), files);
    ASSERT_TRUE(WaitFor([&] { return ListCount(controls.list) == 2; })) << DialogText(talvern.Thread());
    TypeRectangle(talvern, controls, 0, 0, 2, 1);
    ASSERT_TRUE(Send(controls.editSavePath, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Utf8ToWide(out).c_str())));
    ASSERT_TRUE(Send(controls.buttonRun, BM_CLICK, 0, 0, 60000)) << DialogText(talvern.Thread());

    EXPECT_EQ(ListTexts(talvern.Process(), controls.list, 1), (std::vector<std::wstring>{both ? L"OK" : L"NG", L"OK"}));
    for (const auto& [name, size] : {std::pair{"width_4.bmp", 4}, std::pair{"width_8.bmp", 8}}) {
        SCOPED_TRACE(name);
        if (size == 4 && !both) {
            EXPECT_EQ(GetFileAttributesW(Utf8ToWide(out + "\\" + name).c_str()), INVALID_FILE_ATTRIBUTES);
            continue;
        }
        TBitmap crop;
        crop.LoadFromFile(out + "\\" + name);
        ASSERT_EQ(crop.Width(), 2);
        for (int x = 0; x < 2; ++x) EXPECT_EQ(crop.ScanLine(0)[x] & 0xFFFFFF, std::uint32_t(30 * size) << 16);
    }
    PressKeys(talvern.Window(), {VK_ESCAPE});
    DWORD exitCode = 1;
    EXPECT_TRUE(talvern.Exited(10000, exitCode));
}
#endif
