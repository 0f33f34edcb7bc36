#include "framework/image_control.h"

void TImage::SetStretch(bool stretch)
{
    if (stretch == stretch_) return;
    stretch_ = stretch;
    Invalidate();
}

void TImage::SetCenter(bool center)
{
    if (center == center_) return;
    center_ = center;
    Invalidate();
}

void TImage::Paint(TCanvas& canvas)
{
    TBitmap& bitmap = picture_.Bitmap();
    if (bitmap.Empty()) return;
    if (stretch_) {
        canvas.StretchDraw(ClientRect(), bitmap);
        return;
    }
    int x = 0;
    int y = 0;
    if (center_) {
        x = (Width() - bitmap.Width()) / 2;
        y = (Height() - bitmap.Height()) / 2;
    }
    canvas.StretchDraw(TRect{x, y, x + bitmap.Width(), y + bitmap.Height()}, bitmap);
}
