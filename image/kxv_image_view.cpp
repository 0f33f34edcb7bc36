// kxvImage's display half: zoom, alignment, tiling, background and the paint
// event. Portable: it draws on the canvas its parent hands it.
#include "framework/bitmap.h"
#include "image/kxv_image.h"

void kxvImage::SetAutoAlign(kxvAutoAlign value)
{
    if (value == autoAlign_) return;
    autoAlign_ = value;
    Invalidate();
}

void kxvImage::SetAutoZoom(kxvAutoZoom value)
{
    if (value == autoZoom_) return;
    autoZoom_ = value;
    if (value == azNone) {
        Zoom = 1.0;
        SetStretch(false);
    }
    Invalidate();
}

void kxvImage::SetZoom(double value)
{
    if (value == Zoom) return;
    Zoom = value;
    Invalidate();
}

void kxvImage::SetColor(TColor value)
{
    if (value == color_) return;
    color_ = value;
    Invalidate();
}

std::string kxvImage::GetFilter() { return "すべてのﾌｧｲﾙ(*.*)|*.*|ﾋﾞｯﾄﾏｯﾌﾟ|*.BMP;*.RLE;*.RGB;*.DIB"; }

void kxvImage::Paint(TCanvas& canvas)
{
    int w = Picture().Width();
    int h = Picture().Height();
    if (Stretch()) {
        w = Width();
        h = Height();
    }
    if (autoZoom_ != azNone) {
        const double zx = w != 0 ? static_cast<double>(Width()) / w : 0.0;
        const double zy = h != 0 ? static_cast<double>(Height()) / h : 0.0;
        double z = zx < zy ? zx : zy;
        if (z != 0) {
            if (autoZoom_ == azLarge && z > 1) z = 1;
            if (autoZoom_ == azSmall && z < 1) z = 1;
        }
        Zoom = z;
    }
    const int dw = static_cast<int>(w * Zoom);
    const int dh = static_cast<int>(h * Zoom);
    PaintAlign(canvas, dw, dh);
    if (OnPaint) OnPaint(*this, canvas);
}

void kxvImage::PaintAlign(TCanvas& canvas, int width, int height)
{
    if (color_ != clNone) {
        canvas.Brush.Color = color_;
        canvas.Brush.Style = bsSolid;
        canvas.FillRect(ClientRect());
    }
    if (autoAlign_ & aaTile) {
        DrawRect = TRect{0, 0, width, height};
        PaintTile(canvas, width, height);
        return;
    }
    int x = 0;
    int y = 0;
    switch (autoAlign_ & 3) {
    case 2: x = Width() - width; break;
    case 3: x = (Width() - width) / 2; break;
    default: break;
    }
    switch (autoAlign_ & 12) {
    case 8: y = Height() - height; break;
    case 12: y = (Height() - height) / 2; break;
    default: break;
    }
    if (Center()) {
        x = (Width() - width) / 2;
        y = (Height() - height) / 2;
    }
    DrawRect = TRect{x, y, x + width, y + height};
    if (width != 0 && height != 0 && !Picture().Bitmap().Empty())
        canvas.StretchDraw(DrawRect.ToTRect(), Picture().Bitmap());
}

void kxvImage::PaintTile(TCanvas& canvas, int width, int height)
{
    if (width <= 0 || height <= 0 || Picture().Bitmap().Empty()) return;
    for (int y = 0; y < Height(); y += height)
        for (int x = 0; x < Width(); x += width) canvas.StretchDraw(TRect{x, y, x + width, y + height}, Picture().Bitmap());
}
