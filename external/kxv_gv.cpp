#include "external/kxv_gv.h"

#include <cstring>
#include <new>
#include <optional>

#include "external/gv_window_rect.h"
#include "external/kxv_gv_stream.h"
#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/clock.h"
#include "framework/file_system.h"
#include "framework/win32/registry.h"
#include "framework/win32/wide.h"
#include "image/bmp_file.h"

// GV is outside code: every reply is read within the length DDEML reports for it,
// a GV that never reports its image ready is given up after DIBWaitLimitMs, and
// one that ends its conversation fails the load at once.

namespace {

constexpr DWORD kRequestTimeoutMs = 10000;
constexpr std::int64_t kPollPeriodMs = 20;
constexpr UINT kDibFormat = 18;
constexpr unsigned kGVCodePage = 932;

const char* OnOff(bool on) { return on ? "ON" : "OFF"; }

// The name GV is given for a file: the path itself where code page 932 holds it,
// else its short 8.3 form where the volume keeps one that the code page holds.
std::optional<std::string> NameForGV(const std::string& path)
{
    if (Utf8ToCodePage(path, kGVCodePage)) return path;
    std::optional<std::string> shortPath = ShortPathName(path);
    if (shortPath && Utf8ToCodePage(*shortPath, kGVCodePage)) return shortPath;
    return std::nullopt;
}

// A program path with blanks is quoted, so that the command line names it whole.
std::string CommandLinePath(const std::string& path)
{
    return path.find_first_of(" \t") == std::string::npos ? path : "\"" + path + "\"";
}

}  // namespace

const std::size_t kxvGV::MaxReplyBytes = std::size_t{TALVERN_GV_STACK_RESERVE} - (std::size_t{16} << 20);

kxvGV::kxvGV()
{
    ConnectMode = ddeAutomatic;
    SearchPathA();
}

kxvGV::kxvGV(const std::string& path)
{
    ConnectMode = ddeAutomatic;
    SetPath(path);
}

void kxvGV::CheckGV()
{
    enable_ = FileExists(path_);
}

void kxvGV::SetEnable(bool value)
{
    enable_ = value;
    if (value) CheckGV();
}

void kxvGV::SetPath(const std::string& path)
{
    path_ = path;
    ServiceApplication = CommandLinePath(path) + " /DDE ";
    CheckGV();
}

void kxvGV::SearchPathA()
{
    enable_ = false;
    try {
        TRegistry registry(HKEY_CURRENT_USER);
        if (registry.OpenKeyReadOnly("\\Software\\Ferrow\\GV\\Path")) SetPath(registry.ReadString(""));
    } catch (...) {
    }
}

std::string kxvGV::GetFilter()
{
    if (!enable_) return {};
    return "ﾋﾞｯﾄﾏｯﾌﾟ|*.BMP;*.RLE;*.RGB;*.DIB"
           "|GIF|*.GIF"
           "|JEIDAﾃﾞｼﾞﾀﾙｶﾒﾗ|*.J6I"
           "|JPEG|*.JPG;*.JPEG"
           "|MAG,MAKI|*.MAG"
           "|PhotoCD|*.PCD"
           "|Pi,PIC,PIC2|*.PI;*.PIC;*.P2"
           "|Mac PICT|*.PICT"
           "|Cyber-Shot|*.PMP"
           "|QLD|*.Q0;*.Q4"
           "|QVﾃﾞｼﾞﾙﾀﾙｶﾒﾗ|*.CAM"
           "|SunRaster|*.RAS"
           "|TIFF|*.TIF;*.TIFF"
           "|XBM|*.X;*.XBM"
           "|LZH|*.LZH"
           "|ZIP|*.ZIP";
}

bool kxvGV::Execute()
{
    if (!enable_) return false;
    if (Conv()) return true;
    return SetLink("GV", "System");
}

void kxvGV::Terminate()
{
    ExitGV();
    CloseLink();
}

// A load in progress processes window messages while it waits; a second load
// started from one of them would close the first one's conversation, so it is
// refused instead.
bool kxvGV::LoadFromFile(const std::string& fileName, TBitmap& bitmap)
{
    refusal_.clear();
    if (!enable_ || loading_ || !FileExists(fileName)) return false;
    const std::optional<std::string> name = NameForGV(fileName);
    if (!name) {
        refusal_ = "GV is not asked: code page 932 cannot hold the name, and it has no short name that it can";
        return false;
    }
    loading_ = true;
    bool result = false;
    try {
        Execute();
        if (FileOpen(*name)) result = WaitForDIB() && GetDIB(bitmap);
    } catch (...) {
        result = false;
    }
    Terminate();
    loading_ = false;
    return result;
}

// One request a poll period at most, whatever input is pending: a message that
// ends the pause early is handled, and the pause goes on for what is left of it.
bool kxvGV::WaitForDIB()
{
    const std::int64_t start = MonotonicMilliseconds();
    for (;;) {
        const std::int64_t polled = MonotonicMilliseconds();
        if (DIBRequest()) return true;
        if (!Connected() || polled - start >= std::int64_t{DIBWaitLimitMs}) return false;
        for (std::int64_t waited = 0; waited < kPollPeriodMs; waited = MonotonicMilliseconds() - polled) {
            Application().ProcessMessages();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(kPollPeriodMs - waited), QS_ALLINPUT);
        }
    }
}

std::vector<std::uint8_t> kxvGV::GVRequestData(const std::string& item, int format)
{
    const UniqueDdeData reply = Request(item, UINT(format), kRequestTimeoutMs);
    const ScopedDdeAccess access(reply.get());
    if (!access || access.size() > MaxReplyBytes) return {};
    try {
        std::vector<std::uint8_t> bytes(std::size_t(access.size()) + 1);
        std::memcpy(bytes.data(), access.data(), access.size());
        bytes.back() = 0;
        return bytes;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

bool kxvGV::DIBRequest()
{
    const std::vector<std::uint8_t> reply = GVRequestData("DIBRequest", CF_TEXT);
    return !reply.empty() && std::strcmp(reinterpret_cast<const char*>(reply.data()), "OK") == 0;
}

bool kxvGV::GetDIB(TBitmap& bitmap)
{
    const std::vector<std::uint8_t> reply = GVRequestData("DIB", kDibFormat);
    if (reply.size() < 5) return false;
    const std::size_t dibBytes = reply.size() - 1;
    const std::uint8_t* dib = reply.data();
    if ((dib[0] | dib[1] << 8 | dib[2] << 16 | std::uint32_t(dib[3]) << 24) != 40) return false;
    try {
        kxvGVStream stream(dib, dibBytes);
        SetPalette(MakeDIBPalette(dib, dibBytes));
        ColorDepth = stream.BitCount;
        bitmap.LoadFromStream(stream);
        return true;
    } catch (...) {
        return false;
    }
}

bool kxvGV::WindowRect(TRect& rect, int& value)
{
    const std::vector<std::uint8_t> reply = GVRequestData("WindowRect", CF_TEXT);
    return !reply.empty() && ParseWindowRect(reinterpret_cast<const char*>(reply.data()), rect, value);
}

// GV reads its commands in code page 932. Text that code page cannot hold is not
// sent at all: GV would be handed a look-alike.
bool kxvGV::Command(const std::string& text)
{
    const std::optional<std::string> bytes = Utf8ToCodePage(text, kGVCodePage);
    return bytes && ExecuteMacro(*bytes, false);
}

bool kxvGV::FileOpen(const std::string& file)
{
    return !file.empty() && Command("FileOpen(" + file + ")");
}

bool kxvGV::FileOpenEx(const std::string& file, kxvGVRotate rotation)
{
    return !file.empty() && Command("FileOpenEx(" + file + (rotation == grLeft ? ",L)" : ",R)"));
}

bool kxvGV::FileClose() { return Command("FileClose()"); }

bool kxvGV::FileSaveEx(const std::string& file, bool first, bool second)
{
    return Command("FileSaveEx(" + file + "," + OnOff(first) + "," + OnOff(second) + ")");
}

bool kxvGV::SetWindowPos(bool topmost, int a, int b, int c, int d, int e)
{
    std::string text = topmost ? "SetWindowPos(-1" : "SetWindowPos(1";
    for (int number : {a, b, c, d, e}) {
        text += ',';
        text += std::to_string(number);
    }
    return Command(text + ")");
}

bool kxvGV::ClipCopy() { return Command("ClipCopy()"); }
bool kxvGV::ClipCopyViewImage() { return Command("ClipCopyViewImage()"); }
bool kxvGV::ClipPaste() { return Command("ClipPaste()"); }

bool kxvGV::SetWallPaper(bool tile)
{
    return Command(tile ? "SetWallPaper(TILE)" : "SetWallPaper(CENTER)");
}

bool kxvGV::Quantize(kxvGVSwitch mode, int first, int second, bool flag)
{
    const char* switchText = mode == gsOn ? "ON," : mode == gsOff ? "OFF," : "AUTO,";
    return Command(std::string("Quantize(") + switchText + std::to_string(first) + "," + std::to_string(second) + "," +
                   OnOff(flag) + ")");
}

bool kxvGV::ZoomRate(int rate) { return Command("ZoomRate(" + std::to_string(rate) + ")"); }

bool kxvGV::Aspect(int value, kxvGVAspect kind)
{
    const char* kindText = kind == gaW ? ",W)" : kind == gaH ? ",H)" : kind == gaI ? ",I)" : kind == gaD ? ",D)" : ",Other)";
    return Command("Aspect(" + std::to_string(value) + kindText);
}

bool kxvGV::Rotate(kxvGVRotate rotation) { return Command(rotation == grLeft ? "Rotate(L)" : "Rotate(R)"); }
bool kxvGV::ShowGV(bool on) { return Command(std::string("ShowGV(") + OnOff(on) + ")"); }
bool kxvGV::IconGV(bool on) { return Command(std::string("IconGV(") + OnOff(on) + ")"); }
bool kxvGV::AutoAspect(bool on) { return Command(std::string("AutoAspect(") + OnOff(on) + ")"); }
bool kxvGV::AutoResize(bool on) { return Command(std::string("AutoResize(") + OnOff(on) + ")"); }

bool kxvGV::PartMAGCheck(kxvGVPartMAGMode mode)
{
    switch (mode) {
    case pmAuto: return Command("PartMAGCheck(AUTO)");
    case pmSemiAuto: return Command("PartMAGCheck(SemiAUTO)");
    case pmManual: return Command("PartMAGCheck(Manual)");
    case pmNoCheck: return Command("PartMAGCheck(NoCheck)");
    }
    return false;
}

bool kxvGV::ViewDraft() { return Command("ViewDraft()"); }
bool kxvGV::ExitGV() { return Command("ExitGV()"); }
