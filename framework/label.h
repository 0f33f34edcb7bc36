#pragma once
// TLabel: static text painted by its parent.
#include <string>

#include "framework/canvas.h"
#include "framework/control.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TLabel : public TGraphicControl {
public:
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    TAlignment Alignment = taLeftJustify;
    TFont Font;
    // A colour fill behind the text, or clNone (the parent shows through).
    TColor Color = 0x1FFFFFFF;
    void Paint(TCanvas& canvas) override;

private:
    std::string caption_;
};
