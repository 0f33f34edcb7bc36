#include "framework/shape.h"

void TShape::Paint(TCanvas& canvas)
{
    canvas.Brush = Brush;
    canvas.Pen = Pen;
    // The pen lies inside the bounds, as the framework draws a shape.
    const int inset = Pen.Width / 2;
    canvas.Rectangle(inset, inset, Width() - inset, Height() - inset);
}
