#include "framework/canvas.h"

#include <algorithm>
#include <vector>

#include "framework/bitmap.h"

std::uint32_t ApplyRop3(TCopyMode rop, std::uint32_t p, std::uint32_t s, std::uint32_t d)
{
    switch (rop) {
    case cmSrcCopy: return s;
    case cmSrcAnd: return s & d;
    case cmSrcPaint: return s | d;
    case cmSrcInvert: return s ^ d;
    case cmPatCopy: return p;
    case cmBlackness: return 0;
    case cmWhiteness: return 0xFFFFFFFF;
    default: break;
    }
    // The truth table: bit (4p + 2s + d) of the operation's index byte.
    const unsigned table = (rop >> 16) & 0xFF;
    std::uint32_t result = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if (!((table >> i) & 1)) continue;
        result |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return result;
}

namespace {

TRect Intersect(const TRect& a, const TRect& b)
{
    return TRect{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                 std::min(a.Bottom, b.Bottom)};
}

bool IsEmpty(const TRect& r)
{
    return r.Right <= r.Left || r.Bottom <= r.Top;
}

TRect Normalized(const TRect& r)
{
    return TRect{std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
                 std::max(r.Top, r.Bottom)};
}

std::uint32_t PenPixel(TPenMode mode, std::uint32_t pen, std::uint32_t d)
{
    switch (mode) {
    case pmNot: return ~d & 0xFFFFFF;
    case pmXor: return (pen ^ d) & 0xFFFFFF;
    case pmNotXor: return ~(pen ^ d) & 0xFFFFFF;
    default: return pen;
    }
}

}  // namespace

TColor TCanvas::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= owner_.Width() || y >= owner_.Height()) return -1;
    return PixelToColor(owner_.ScanLine(y)[x]);
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    if (x < 0 || y < 0 || x >= owner_.Width() || y >= owner_.Height()) return;
    owner_.ScanLine(y)[x] = ColorToPixel(color);
}

void TCanvas::FillWithRop(const TRect& rect, std::uint32_t pattern, TCopyMode rop)
{
    if (owner_.Empty()) return;
    const TRect r = Intersect(Normalized(rect), TRect{0, 0, owner_.Width(), owner_.Height()});
    if (IsEmpty(r)) return;
    for (int y = r.Top; y < r.Bottom; ++y) {
        std::uint32_t* row = owner_.ScanLine(y);
        if (rop == cmPatCopy) {
            std::fill(row + r.Left, row + r.Right, pattern);
            continue;
        }
        for (int x = r.Left; x < r.Right; ++x) row[x] = ApplyRop3(rop, pattern, 0, row[x]);
    }
}

void TCanvas::FillRect(const TRect& rect)
{
    if (Brush.Style == bsClear) return;
    FillWithRop(rect, ColorToPixel(Brush.Color), cmPatCopy);
}

void TCanvas::FrameRect(const TRect& rect)
{
    const TRect r = Normalized(rect);
    if (IsEmpty(r) || Brush.Style == bsClear) return;
    const std::uint32_t c = ColorToPixel(Brush.Color);
    FillWithRop(TRect{r.Left, r.Top, r.Right, r.Top + 1}, c, cmPatCopy);
    FillWithRop(TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, c, cmPatCopy);
    FillWithRop(TRect{r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1}, c, cmPatCopy);
    FillWithRop(TRect{r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1}, c, cmPatCopy);
}

void TCanvas::DrawFocusRect(const TRect& rect)
{
    const TRect r = Normalized(rect);
    if (IsEmpty(r)) return;
    auto invert = [&](int x, int y) {
        if ((x - r.Left + y - r.Top) % 2 != 0 || x < 0 || y < 0 || x >= owner_.Width() || y >= owner_.Height()) return;
        owner_.ScanLine(y)[x] ^= 0x00FFFFFF;
    };
    for (int x = r.Left; x < r.Right; ++x) {
        invert(x, r.Top);
        if (r.Bottom - 1 > r.Top) invert(x, r.Bottom - 1);
    }
    for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
        invert(r.Left, y);
        if (r.Right - 1 > r.Left) invert(r.Right - 1, y);
    }
}

void TCanvas::Rectangle(int left, int top, int right, int bottom)
{
    const TRect r = Normalized(TRect{left, top, right, bottom});
    if (IsEmpty(r) || owner_.Empty()) return;
    const int w = std::max(Pen.Width, 1);
    FillRect(TRect{r.Left + w, r.Top + w, r.Right - w, r.Bottom - w});
    const std::uint32_t pen = ColorToPixel(Pen.Color);
    const TRect bounds{0, 0, owner_.Width(), owner_.Height()};
    // Each border pixel once, so an XOR outline leaves no doubled corners.
    for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, bounds.Bottom); ++y) {
        std::uint32_t* row = owner_.ScanLine(y);
        const bool edgeRow = y < r.Top + w || y >= r.Bottom - w;
        for (int x = std::max(r.Left, 0); x < std::min(r.Right, bounds.Right); ++x) {
            if (edgeRow || x < r.Left + w || x >= r.Right - w) row[x] = PenPixel(Pen.Mode, pen, row[x]);
        }
    }
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect)
{
    TBitmap& src = source.owner_;
    if (owner_.Empty() || src.Empty()) return;
    const int dw = dest.Right - dest.Left, dh = dest.Bottom - dest.Top;
    const int sw = sourceRect.Right - sourceRect.Left, sh = sourceRect.Bottom - sourceRect.Top;
    if (dw == 0 || dh == 0 || sw == 0 || sh == 0) return;
    const std::uint32_t pattern = ColorToPixel(Brush.Color);
    const TCopyMode rop = CopyMode;
    // Same size, in the same direction: a straight copy row by row.
    if (dw == sw && dh == sh && dw > 0 && dh > 0) {
        TRect d = Intersect(dest, TRect{0, 0, owner_.Width(), owner_.Height()});
        const int dx = sourceRect.Left - dest.Left, dy = sourceRect.Top - dest.Top;
        d = Intersect(d, TRect{-dx, -dy, src.Width() - dx, src.Height() - dy});
        if (IsEmpty(d)) return;
        std::vector<std::uint32_t> temp;
        const bool same = &src == &owner_;
        for (int i = 0; i < d.Bottom - d.Top; ++i) {
            // Overlapping copies within one bitmap walk rows so as not to read what
            // they have already written.
            const int y = (same && dy < 0) ? d.Bottom - 1 - i : d.Top + i;
            std::uint32_t* out = owner_.ScanLine(y) + d.Left;
            const std::uint32_t* in = src.ScanLine(y + dy) + d.Left + dx;
            const int n = d.Right - d.Left;
            if (same) {
                temp.assign(in, in + n);
                in = temp.data();
            }
            if (rop == cmSrcCopy) {
                std::copy(in, in + n, out);
            } else {
                for (int x = 0; x < n; ++x) out[x] = ApplyRop3(rop, pattern, in[x], out[x]);
            }
        }
        return;
    }
    // Stretched (or mirrored): nearest source pixel for every destination pixel.
    const TRect nd = Normalized(dest);
    const TRect d = Intersect(nd, TRect{0, 0, owner_.Width(), owner_.Height()});
    if (IsEmpty(d)) return;
    const bool mirrorX = (dw < 0) != (sw < 0), mirrorY = (dh < 0) != (sh < 0);
    const int adw = std::abs(dw), adh = std::abs(dh), asw = std::abs(sw), ash = std::abs(sh);
    const int sLeft = std::min(sourceRect.Left, sourceRect.Right), sTop = std::min(sourceRect.Top, sourceRect.Bottom);
    for (int y = d.Top; y < d.Bottom; ++y) {
        int oy = y - nd.Top;
        if (mirrorY) oy = adh - 1 - oy;
        const int syy = sTop + int(std::int64_t(oy) * ash / adh);
        if (syy < 0 || syy >= src.Height()) continue;
        const std::uint32_t* in = src.ScanLine(syy);
        std::uint32_t* out = owner_.ScanLine(y);
        for (int x = d.Left; x < d.Right; ++x) {
            int ox = x - nd.Left;
            if (mirrorX) ox = adw - 1 - ox;
            const int sx = sLeft + int(std::int64_t(ox) * asw / adw);
            if (sx < 0 || sx >= src.Width()) continue;
            out[x] = ApplyRop3(rop, pattern, in[sx], out[x]);
        }
    }
}

void TCanvas::Draw(int x, int y, TBitmap& bitmap)
{
    const TCopyMode saved = CopyMode;
    CopyMode = cmSrcCopy;
    CopyRect(TRect{x, y, x + bitmap.Width(), y + bitmap.Height()}, bitmap.Canvas(),
             TRect{0, 0, bitmap.Width(), bitmap.Height()});
    CopyMode = saved;
}

void TCanvas::StretchDraw(const TRect& dest, TBitmap& bitmap)
{
    const TCopyMode saved = CopyMode;
    CopyMode = cmSrcCopy;
    CopyRect(dest, bitmap.Canvas(), TRect{0, 0, bitmap.Width(), bitmap.Height()});
    CopyMode = saved;
}

namespace {

// Pixel (x, row) of a DIB as a 32-bit word; row counted from the DIB's top.
std::uint32_t DibPixel(const TDibView& dib, int x, int row)
{
    const int height = std::abs(dib.Height);
    const std::size_t stride = ((std::size_t(dib.Width) * dib.BitCount + 31) / 32) * 4;
    const int stored = dib.Height < 0 ? row : height - 1 - row;
    const std::uint8_t* line = dib.Bits + stride * std::size_t(stored);
    auto color = [&](unsigned index) -> std::uint32_t {
        return index < unsigned(dib.ColorCount) ? dib.Colors[index] & 0xFFFFFF : 0;
    };
    const std::size_t ux = std::size_t(x);
    switch (dib.BitCount) {
    case 1: return color((line[ux / 8] >> (7 - ux % 8)) & 1);
    case 4: return color((line[ux / 2] >> (ux % 2 ? 0 : 4)) & 0xF);
    case 8: return color(line[ux]);
    case 24: return std::uint32_t(line[3 * ux]) | std::uint32_t(line[3 * ux + 1]) << 8 | std::uint32_t(line[3 * ux + 2]) << 16;
    case 32: return (std::uint32_t(line[4 * ux]) | std::uint32_t(line[4 * ux + 1]) << 8 | std::uint32_t(line[4 * ux + 2]) << 16);
    default: return 0;
    }
}

}  // namespace

namespace {

// Source pixels [sx, sx + n) of DIB row `row` (counted from the DIB's top) as
// 32-bit words, as DibPixel gives them one by one.
void DibRow(const TDibView& dib, int row, int sx, int n, std::uint32_t* out)
{
    const int height = std::abs(dib.Height);
    const std::size_t stride = ((std::size_t(dib.Width) * dib.BitCount + 31) / 32) * 4;
    const int stored = dib.Height < 0 ? row : height - 1 - row;
    const std::uint8_t* line = dib.Bits + stride * std::size_t(stored);
    switch (dib.BitCount) {
    case 8:
        if (dib.ColorCount >= 256) {
            const std::uint32_t* colors = dib.Colors;
            const std::uint8_t* in = line + sx;
            for (int i = 0; i < n; ++i) out[i] = colors[in[i]] & 0xFFFFFF;
            return;
        }
        break;
    case 24: {
        const std::uint8_t* in = line + 3 * std::size_t(sx);
        for (int i = 0; i < n; ++i, in += 3)
            out[i] = std::uint32_t(in[0]) | std::uint32_t(in[1]) << 8 | std::uint32_t(in[2]) << 16;
        return;
    }
    default: break;
    }
    for (int i = 0; i < n; ++i) out[i] = DibPixel(dib, sx + i, row);
}

// dest[i] = rop(pattern, source[i], dest[i]) over a row, the common operations
// without the truth table.
void CombineRow(TCopyMode rop, std::uint32_t pattern, const std::uint32_t* s, std::uint32_t* d, int n)
{
    switch (rop) {
    case cmSrcCopy: std::copy(s, s + n, d); return;
    case cmSrcAnd: for (int i = 0; i < n; ++i) d[i] &= s[i]; return;
    case cmSrcPaint: for (int i = 0; i < n; ++i) d[i] |= s[i]; return;
    case cmSrcInvert: for (int i = 0; i < n; ++i) d[i] ^= s[i]; return;
    case 0x00220326: for (int i = 0; i < n; ++i) d[i] &= ~s[i]; return;  // DSna
    case cmNotSrcCopy: for (int i = 0; i < n; ++i) d[i] = ~s[i]; return;
    default: for (int i = 0; i < n; ++i) d[i] = ApplyRop3(rop, pattern, s[i], d[i]);
    }
}

}  // namespace

void TCanvas::StretchDIBits(const TRect& dest, int srcX, int srcY, int srcWidth, int srcHeight, const TDibView& dib,
                            TCopyMode rop)
{
    if (owner_.Empty() || !dib.Bits || dib.Width <= 0 || dib.Height == 0) return;
    const int dw = dest.Right - dest.Left, dh = dest.Bottom - dest.Top;
    if (dw <= 0 || dh <= 0 || srcWidth <= 0 || srcHeight <= 0) return;
    const TRect d = Intersect(dest, TRect{0, 0, owner_.Width(), owner_.Height()});
    const std::uint32_t pattern = ColorToPixel(Brush.Color);
    const int dibHeight = std::abs(dib.Height);
    if (dw == srcWidth && dh == srcHeight) {
        // Unstretched: whole rows at a time. The operations work on the whole
        // 32-bit word, as the GDI does on 32-bit surfaces; DIB sources bring 0 in
        // the top byte.
        const int x0 = std::max(d.Left, dest.Left - srcX), x1 = std::min(d.Right, dest.Left - srcX + dib.Width);
        if (x1 <= x0) return;
        const int n = x1 - x0, sx = srcX + (x0 - dest.Left);
        if (std::size_t(n) > scratch_.size()) scratch_.resize(std::size_t(n));
        for (int y = d.Top; y < d.Bottom; ++y) {
            const int sy = srcY + (y - dest.Top);
            if (sy < 0 || sy >= dibHeight) continue;
            std::uint32_t* out = owner_.ScanLine(y) + x0;
            if (rop == cmSrcCopy) {
                DibRow(dib, sy, sx, n, out);
            } else {
                DibRow(dib, sy, sx, n, scratch_.data());
                CombineRow(rop, pattern, scratch_.data(), out, n);
            }
        }
        return;
    }
    for (int y = d.Top; y < d.Bottom; ++y) {
        const int sy = srcY + int(std::int64_t(y - dest.Top) * srcHeight / dh);
        if (sy < 0 || sy >= dibHeight) continue;
        std::uint32_t* out = owner_.ScanLine(y);
        for (int x = d.Left; x < d.Right; ++x) {
            const int sx = srcX + int(std::int64_t(x - dest.Left) * srcWidth / dw);
            if (sx < 0 || sx >= dib.Width) continue;
            out[x] = ApplyRop3(rop, pattern, DibPixel(dib, sx, sy), out[x]);
        }
    }
}

void TCanvas::SetDIBitsToDevice(int x, int y, const TDibView& dib)
{
    const int h = std::abs(dib.Height);
    StretchDIBits(TRect{x, y, x + dib.Width, y + h}, 0, 0, dib.Width, h, dib, cmSrcCopy);
}
