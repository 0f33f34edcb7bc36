#pragma once
// TStatusBar: the status bar common control with panels of fixed width (the
// last one takes the rest).
#include <string>
#include <vector>

#include "framework/label.h"
#include "framework/win32/win_control.h"

struct TStatusPanel {
    int Width = 50;
    TAlignment Alignment = taLeftJustify;
    std::string Text;
};

class TStatusBar : public TWinControl {
public:
    std::vector<TStatusPanel> Panels;
    bool SizeGrip = true;

    const std::string& PanelText(int index) const { return Panels.at(static_cast<size_t>(index)).Text; }
    void SetPanelText(int index, const std::string& text);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    void SendPanel(int index);
};
