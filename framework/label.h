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
    // The label takes the size of its text whenever the text changes.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    TFont Font;
    // A colour fill behind the text, or clNone (the parent shows through).
    TColor Color = clNone;
    void Paint(TCanvas& canvas) override;

private:
    void AdjustBounds();
    std::string caption_;
    bool autoSize_ = false;
};
