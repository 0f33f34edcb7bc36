// Text output through GDI, drawn straight into the bitmap's DIB section.
#include <windows.h>
#undef TextOut  // the framework's method, not the ANSI/wide macro

#include <cstdlib>

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/win32/handles.h"
#include "framework/win32/pixel_buffer_win32.h"
#include "framework/win32/wide.h"

namespace {

// A memory DC with the bitmap and the canvas font selected, for one text call.
class TextDC {
public:
    TextDC(TBitmap* bitmap, const TFont& font)
        : dc_(CreateCompatibleDC(nullptr)),
          font_(CreateFontW(font.Height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, static_cast<BYTE>(font.Charset),
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                            Utf8ToWide(font.Name).c_str())),
          fontSelection_(dc_.get(), font_.get()),
          bitmapSelection_(dc_.get(), bitmap && !bitmap->Empty()
                                          ? static_cast<DibSectionBuffer*>(bitmap->Buffer())->Handle()
                                          : nullptr)
    {
    }
    HDC Get() const { return dc_.get(); }

private:
    UniqueDC dc_;
    UniqueGdiObject font_;
    ScopedSelect fontSelection_;
    ScopedSelect bitmapSelection_;
};

}  // namespace

void TCanvas::TextOut(int x, int y, const std::string& text)
{
    if (Bitmap().Empty()) return;
    TextDC dc(&Bitmap(), Font);
    SetBkMode(dc.Get(), TRANSPARENT);
    SetTextColor(dc.Get(), static_cast<COLORREF>(Font.Color));
    const std::wstring wide = Utf8ToWide(text);
    TextOutW(dc.Get(), x, y, wide.c_str(), static_cast<int>(wide.size()));
    GdiFlush();
}

int TCanvas::TextWidth(const std::string& text)
{
    TextDC dc(nullptr, Font);
    const std::wstring wide = Utf8ToWide(text);
    SIZE size{};
    GetTextExtentPoint32W(dc.Get(), wide.c_str(), static_cast<int>(wide.size()), &size);
    return size.cx;
}

int TCanvas::TextHeight(const std::string& text)
{
    TextDC dc(nullptr, Font);
    const std::wstring wide = Utf8ToWide(text.empty() ? std::string("W") : text);
    SIZE size{};
    GetTextExtentPoint32W(dc.Get(), wide.c_str(), static_cast<int>(wide.size()), &size);
    return size.cy;
}
