#include "framework/label.h"

#include "framework/bitmap.h"

void TLabel::SetCaption(const std::string& caption)
{
    if (caption == caption_) return;
    caption_ = caption;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetAutoSize(bool autoSize)
{
    if (autoSize == autoSize_) return;
    autoSize_ = autoSize;
    AdjustBounds();
}

void TLabel::AdjustBounds()
{
    if (!autoSize_) return;
    TBitmap measure;
    TCanvas& canvas = measure.Canvas();
    canvas.Font = Font;
    SetBounds(Left(), Top(), canvas.TextWidth(caption_), canvas.TextHeight(caption_));
}

void TLabel::Paint(TCanvas& canvas)
{
    if (Color != clNone) {
        canvas.Brush.Color = Color;
        canvas.Brush.Style = bsSolid;
        canvas.FillRect(ClientRect());
    }
    canvas.Font = Font;
    int x = 0;
    if (Alignment != taLeftJustify) {
        const int free = Width() - canvas.TextWidth(caption_);
        x = Alignment == taCenter ? free / 2 : free;
    }
    canvas.TextOut(x, 0, caption_);
}
