#pragma once
// TImage: a graphic control that shows a picture, at its top-left corner,
// centred, or stretched to the control.
#include "framework/canvas.h"
#include "framework/control.h"
#include "framework/picture.h"

class TImage : public TGraphicControl {
public:
    TPicture& Picture() { return picture_; }
    const TPicture& Picture() const { return picture_; }

    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);
    bool Center() const { return center_; }
    void SetCenter(bool center);

    void Paint(TCanvas& canvas) override;

protected:
    TPicture picture_;

private:
    bool stretch_ = false;
    bool center_ = false;
};
