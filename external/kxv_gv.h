#pragma once
// kxvGV: the outside viewer GV as a decoder, driven over DDE (service "GV",
// topic "System"). A load starts GV, has it open the file, polls until its
// decoded image is ready, fetches it as a packed DIB and tells GV to exit. GV's
// other macro commands are one method each.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/palette.h"
#include "framework/rect.h"
#include "framework/win32/dde_client_conv.h"
#include "image/external_reader.h"

class TBitmap;

enum kxvGVRotate { grLeft, grRight };
enum kxvGVSwitch { gsOn, gsOff, gsAuto };
enum kxvGVAspect { gaW, gaH, gaI, gaD, gaOther };
enum kxvGVPartMAGMode { pmAuto, pmSemiAuto, pmManual, pmNoCheck };

class kxvGV : public TDdeClientConv, public TExternalReader {
public:
    // Finds GV through the registry.
    kxvGV();
    explicit kxvGV(const std::string& path);
    ~kxvGV() override = default;

    // How long a load waits for GV to report its image ready; GV is then told
    // to exit and the load fails.
    DWORD DIBWaitLimitMs = 60000;
    // The largest reply taken: what the stack of a program linking the bridge
    // holds (Wine receives a reply there), less room for the program's own use.
    static const std::size_t MaxReplyBytes;
    // Bits per pixel of the last DIB fetched.
    std::int32_t ColorDepth = 0;

    // TExternalReader.
    bool Enable() const override { return enable_; }
    void SetEnable(bool value) override;
    std::string Path() const override { return path_; }
    void SetPath(const std::string& path) override;
    std::string GetFilter() override;
    bool LoadFromFile(const std::string& fileName, TBitmap& bitmap) override;
    int SourceColorDepth() const override { return ColorDepth; }
    std::string Refusal() const override { return refusal_; }
    const TLogPalette* SourcePalette() const override { return palette_.get(); }
    void SetPalette(PaletteHandle palette) override { palette_ = std::move(palette); }

    const TLogPalette* Palette() const { return palette_.get(); }
    void CheckGV();
    void SearchPathA();

    bool Execute();
    void Terminate();
    bool WindowRect(TRect& rect, int& value);
    bool DIBRequest();
    bool GetDIB(TBitmap& bitmap);
    // The item's data followed by one zero byte; empty when there is no reply.
    std::vector<std::uint8_t> GVRequestData(const std::string& item, int format);

    bool FileOpen(const std::string& file);
    bool FileOpenEx(const std::string& file, kxvGVRotate rotation);
    bool FileClose();
    bool FileSaveEx(const std::string& file, bool first, bool second);
    bool SetWindowPos(bool topmost, int a, int b, int c, int d, int e);
    bool ClipCopy();
    bool ClipCopyViewImage();
    bool ClipPaste();
    bool SetWallPaper(bool tile);
    bool Quantize(kxvGVSwitch mode, int first, int second, bool flag);
    bool ZoomRate(int rate);
    bool Aspect(int value, kxvGVAspect kind);
    bool Rotate(kxvGVRotate rotation);
    bool ShowGV(bool on);
    bool IconGV(bool on);
    bool AutoAspect(bool on);
    bool AutoResize(bool on);
    bool PartMAGCheck(kxvGVPartMAGMode mode);
    bool ViewDraft();
    bool ExitGV();

private:
    bool Command(const std::string& text);
    bool WaitForDIB();

    std::string path_;
    bool enable_ = false;
    PaletteHandle palette_;
    bool loading_ = false;
    std::string refusal_;
};
