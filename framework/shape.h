#pragma once
// TShape: a rectangle drawn with the control's pen and brush. With a hollow
// brush and an XOR pen it outlines whatever lies beneath it, visibly on any
// picture.
#include "framework/canvas.h"
#include "framework/control.h"

class TShape : public TGraphicControl {
public:
    TBrush Brush;
    TPen Pen;
    void Paint(TCanvas& canvas) override;
};
