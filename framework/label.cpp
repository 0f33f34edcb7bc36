#include "framework/label.h"

void TLabel::SetCaption(const std::string& caption)
{
    if (caption == caption_) return;
    caption_ = caption;
    Invalidate();
}

void TLabel::Paint(TCanvas& canvas)
{
    if (Color != 0x1FFFFFFF) {
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
