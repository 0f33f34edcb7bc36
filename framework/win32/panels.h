#pragma once
// The framework's own containers, painted by our code: TPanel (colour and
// bevels) and TGroupBox (etched frame with its caption).
#include "framework/color.h"
#include "framework/system_colors.h"
#include "framework/win32/win_control.h"

enum TBevelCut { bvNone, bvLowered, bvRaised };

class TPanel : public TWinControl {
public:
    TColor Color = static_cast<TColor>(0x80000000 | 15);  // the button face
    TBevelCut BevelInner = bvNone;
    TBevelCut BevelOuter = bvRaised;

protected:
    void PaintBackground(TCanvas& canvas) override;
};

class TGroupBox : public TWinControl {
protected:
    void CreateParams(TCreateParams& params) override;
    void PaintBackground(TCanvas& canvas) override;
};
