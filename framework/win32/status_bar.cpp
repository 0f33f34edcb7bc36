#include "framework/win32/status_bar.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/bitmap.h"
#include "framework/win32/forms.h"

#include "framework/win32/wide.h"

void TStatusBar::CreateParams(TCreateParams& params)
{
    params.ClassName = STATUSCLASSNAMEW;
    params.Style |= CCS_BOTTOM;
    if (SizeGrip) params.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::CreateWnd()
{
    // A panel is never narrower than its starting text needs: where a
    // substituted font is wider than the designed one, the panel grows instead
    // of clipping it.
    TBitmap measure;
    TCanvas& canvas = measure.Canvas();
    if (TForm* form = ParentForm()) canvas.Font = form->Font;
    std::vector<int> edges;
    int right = 0;
    for (size_t i = 0; i < Panels.size(); ++i) {
        constexpr int kBorders = 8;
        right += std::max(Panels[i].Width, canvas.TextWidth(Panels[i].Text) + kBorders);
        edges.push_back(i + 1 == Panels.size() ? -1 : right);
    }
    SendMessageW(Handle(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (size_t i = 0; i < Panels.size(); ++i) SendPanel(static_cast<int>(i));
}

void TStatusBar::SetPanelText(int index, const std::string& text)
{
    TStatusPanel& panel = Panels.at(static_cast<size_t>(index));
    if (panel.Text == text) return;
    panel.Text = text;
    SendPanel(index);
}

void TStatusBar::SendPanel(int index)
{
    if (!HandleAllocated()) return;
    const TStatusPanel& panel = Panels.at(static_cast<size_t>(index));
    // A tab before the text centres it, two right-align it.
    std::string text = panel.Text;
    if (panel.Alignment == taCenter) text = "\t" + text;
    if (panel.Alignment == taRightJustify) text = "\t\t" + text;
    const std::wstring wide = Utf8ToWide(text);
    SendMessageW(Handle(), SB_SETTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide.c_str()));
}
